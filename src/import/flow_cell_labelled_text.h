#pragma once

#include <string_view>

#include "import/data_readers.h"
#include "import/text_input.h"

namespace kelvaris {

// Flow-cell-labelled text, as the export's "Biosensor data files" filter
// writes it: a header line with an X and a Y label per curve, such as
// "201231a Fc=2 - 7_X\t201231a Fc=2 - 7_Y", then rows of time TAB response
// pairs. The number after the second "=" of a curve's labels is its flow
// cell; its injection is the rank of the cycle number (7 above) among the
// distinct cycle numbers of the header, by first appearance.
bool ReadFlowCellLabelledText(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                              ReadMessage& message, const ReadProgress& progress);

// The same data read from the cursor's position on (data embedded in a
// method file); the rows run to the end of the cursor's text.
bool ReadFlowCellLabelledStream(TextCursor& in, RawRun& run, ReadMessage& message,
                                const ReadProgress& progress);

// Flow-cell numbers above this are refused: no instrument has that many,
// and the ligand list would have to grow to cover them.
constexpr int kMaxLabelledFlowCell = 9999;

}  // namespace kelvaris
