#pragma once

#include <string_view>

#include "import/data_readers.h"

namespace kelvaris {

// Headed pair-column text: a header line naming the columns, then rows of
// time TAB response pairs. Only header cells holding a letter or a digit
// count as columns, two per curve; curve c is injection c + 1 on flow cell 1.
bool ReadHeadedPairText(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                        ReadMessage& message, const ReadProgress& progress);

}  // namespace kelvaris
