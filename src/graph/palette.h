// The graph palette: the colour of each colour index of the curve flags.
#pragma once

#include "platform/canvas.h"

namespace kelvaris {

constexpr int kPaletteSize = 16;

// Index 0 is white (an entry with colour index 0 is never drawn); the index
// is taken modulo the palette size.
Colour PaletteColour(int index);

}  // namespace kelvaris
