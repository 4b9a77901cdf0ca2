#pragma once

#include <string_view>

#include "import/data_readers.h"

namespace kelvaris {

// Version-3 text: a version line, two lines of no interest, the column
// line, a concentration line with a label and a value per curve, then rows
// of time TAB response pairs. Curve c is injection c + 1 on flow cell 1 at
// the concentration the fifth line gives it.
bool ReadVersion3Text(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                      ReadMessage& message, const ReadProgress& progress);

}  // namespace kelvaris
