// The shape check the headed, flow-cell-labelled, version-3 and two-channel
// readers share: one line of the file (the column line) fixes the number of
// curves, and the line feeds after it count the rows.
#pragma once

#include <cstddef>
#include <string_view>

#include "import/raw_run.h"

namespace kelvaris {

struct PairShape {
  long long curves = 0;
  long long rows = 0;
  std::size_t lineEnd = 0;  // index of the column line's line feed
};

// Counts the columns of the column line (given without its line feed).
using ColumnCounter = long long (*)(std::string_view line);

// Every TAB of the line plus the line feed that ends it.
long long CountSeparators(std::string_view line);

// Measures the column line that starts at `from`: "Unreadable format" when
// the text ends before its line feed or the column count is odd, "Poorly
// formated file" when there is no curve or fewer than 2 rows after it.
bool MeasurePairShape(std::string_view text, std::size_t from, ColumnCounter columns,
                      PairShape& shape, ReadMessage& message);

void SetUnreadableFormat(ReadMessage& message);

}  // namespace kelvaris
