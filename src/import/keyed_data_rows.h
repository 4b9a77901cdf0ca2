// The data block of keyed text, after the column header. Every row gives
// each curve at most one point, appended at the curve's PointCount; cells
// beyond the last curve of a row are ignored. Both readers fail only on a
// field of 79 characters or more ("Unreadable format" / "File Read Error"),
// keeping the points read until then. Progress goes out in tenths of the rows.
#pragma once

#include "import/raw_run.h"
#include "import/text_input.h"

namespace kelvaris {

// One response column: per curve a time, a TAB and a response, the pairs
// separated by TAB. A pair that does not hold two tokens gives no point; a
// row that ends early leaves the later curves without a point. A byte 255
// ends the data.
bool ReadKeyedPairRows(TextCursor& in, RawRun& run, long long rows, ReadMessage& message,
                       const ReadProgress& progress);

// Several columns per curve: a time column, then one column for each bit
// 1, 2, 4 set in `mask`. The response comes from the column of the lowest
// set bit. A cell without a token gives no point.
bool ReadKeyedColumnRows(TextCursor& in, RawRun& run, int mask, long long rows,
                         ReadMessage& message, const ReadProgress& progress);

// The bit of `mask` whose column holds the response (0 when none is set).
int ResponseBit(int mask);

}  // namespace kelvaris
