#include "graph/palette.h"

namespace kelvaris {

namespace {

// 0x00BBGGRR values.
constexpr Colour kPalette[kPaletteSize] = {
    0xFFFFFF, 0x000000, 0xFF0000, 0x0000FF, 0x00FF00, 0x0080FF, 0x800000, 0x000080,
    0x006000, 0xFF00FF, 0xFFC000, 0x008080, 0x808080, 0xFF60C0, 0x606000, 0x606080,
};

}  // namespace

Colour PaletteColour(int index) { return kPalette[static_cast<unsigned>(index) % kPaletteSize]; }

}  // namespace kelvaris
