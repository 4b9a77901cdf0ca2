// Synthetic runs written in the plain-text instrument formats, each one a
// file the matching reader loads with the shape's curves: curve k of the
// shape is curve k of the file, its points at times i * step.
#pragma once

#include <string>

#include "synthetic_run.h"

namespace kelvaris::synth {

// A "Time k" / "Response k" header line, then the headerless rows.
std::string HeadedPairText(const RunShape& shape);

// The export's labelled form, dated 201231: every curve on flow cell 1, curve
// k in cycle k + 1, so its injection is k + 1. Like the export, the rows end
// with one empty line.
std::string FlowCellLabelledText(const RunShape& shape);

// A "Version 3" line, two comment lines, the column line, a concentration
// line giving curve k ConcentrationOf(shape, k), then the rows.
std::string Version3Text(const RunShape& shape);

// A "_Data" column line, then the rows. The reader pairs the curves into
// injections on flow cells 1 and 2, so the shape's curves 2j and 2j + 1
// land on injection j + 1.
std::string TwoChannelText(const RunShape& shape);

// A "Beta 2" line and one block (flow cell 1) with an ROI column per curve,
// times in minutes, lines ended by LF CR and the block by an empty line.
// The reader keeps room for a second block, so it allocates twice as many
// curves as the shape has.
std::string RoiBlockText(const RunShape& shape);

}  // namespace kelvaris::synth
