#pragma once

#include <string_view>

#include "import/data_readers.h"

namespace kelvaris {

// ROI block text: after a "Beta 2" line, blocks that each begin with a
// "Time<TAB>ROI..." header and hold rows of a time in minutes and one
// response per ROI column, one block per flow cell. Lines end with LF CR;
// the CRs are read as characters. ROI column k of block b is injection
// k + 1 on flow cell b.
//
// The raw stage has room for every block: block b's curves follow those of
// all earlier blocks, and there are at least twice as many curves as the
// first block has ROI columns, so a single block leaves room for a second
// of its size and two equal blocks of r columns use curves (b - 1) * r + k.
// A file without a block loads with no curves.
bool ReadRoiBlockText(std::string_view bytes, const ReaderOptions& options, RawRun& run,
                      ReadMessage& message, const ReadProgress& progress);

}  // namespace kelvaris
