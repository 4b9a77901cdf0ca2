// The pair-column row grammar shared by the plain-text readers: each row
// holds, for curve after curve, a time, a TAB and a response, pairs
// separated by TAB. A response may carry ":flags" (a whole number that
// becomes the point's flag word).
#pragma once

#include "import/raw_run.h"
#include "import/text_input.h"

namespace kelvaris {

// Reads `rows` rows from the cursor into the first `curves` curves of
// run.curves, appending each point at the curve's PointCount. Fails only on
// a field pair of 79 characters or more ("Unreadable format"); the rows read
// until then stay. Progress goes out in tenths of the rows.
bool ReadPairRows(TextCursor& in, RawRun& run, int curves, long long rows, ReadMessage& message,
                  const ReadProgress& progress);

}  // namespace kelvaris
