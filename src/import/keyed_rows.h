// The key rows of keyed text: a key of four characters (the rest of the word
// is ignored), then one TAB-separated cell per curve. Each reader starts
// right after the key, skips to the key's first TAB and walks the cells.
// A line feed before that TAB means the row has no values; an empty cell
// ends the row's values early. Neither is a fault. The readers never move
// past the row's line feed.
#pragma once

#include <span>
#include <string>
#include <vector>

#include "import/text_input.h"
#include "model/curve_info.h"

namespace kelvaris {

// Up to `count` numbers (ParseNumber); value i goes to destination[i] when
// it is not zero and destination has that entry. An empty destination
// checks the values and drops them. False when the text ends where a value
// should start.
bool ReadKeyedValues(TextCursor& in, int count, std::span<double> destination);

// Up to `count` whole numbers (sign and digits; anything after the digits
// up to the next TAB is ignored), each stored even when it is zero. False
// when the text ends where a value should start, when a cell does not start
// with a number, or when a number lies outside lowest..highest.
bool ReadKeyedWholeNumbers(TextCursor& in, int count, std::span<int> destination, int lowest,
                           int highest);

// Up to one name per curve, running to the next TAB or line feed (names may
// hold blanks). Name i names flow cell F = curves[i].FlowCell when
// 0 < F < entries (the entries of the ligand list); it is stored as
// names[F], names growing to `entries` when needed. Other names are
// dropped. False when the text ends where a name should start.
bool ReadKeyedNames(TextCursor& in, std::span<const TCurveInfo> curves, int entries,
                    std::vector<std::string>& names);

}  // namespace kelvaris
