#pragma once

#include <string_view>

#include "import/data_readers.h"

namespace kelvaris {

// Two-channel text: a "_Data" line, then rows of time TAB response pairs.
// Curves come in pairs per injection, the first on flow cell 1 and the
// second on flow cell 2: curve c is injection c / 2 + 1.
bool ReadTwoChannelText(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                        ReadMessage& message, const ReadProgress& progress);

}  // namespace kelvaris
