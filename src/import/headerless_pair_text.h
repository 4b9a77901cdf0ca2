#pragma once

#include <string_view>

#include "import/raw_run.h"

namespace kelvaris {

// Headerless pair-column text: every line is a row of time TAB response
// pairs, one pair per curve; curve c is injection c + 1 on flow cell 1.
bool ReadHeaderlessPairText(std::string_view bytes, RawRun& run, ReadMessage& message,
                            const ReadProgress& progress);

}  // namespace kelvaris
