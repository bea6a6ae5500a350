// The pixel work of the Win32 table surface on its 0x00RRGGBB image: fills and glyph blending.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/win32/Win32TableGlyphs.h"

namespace norvale {

// Coverage a (0 to 255, exact at 0 and 255) of colour c over the pixel d, red and blue in one
// word; the same rounding as on Linux, so that equal coverage gives equal pixels. A colour over
// a pixel of that colour keeps it.
std::uint32_t Blend(std::uint32_t d, std::uint32_t c, std::uint32_t a);

// Blends a glyph's box, wholly inside the image, with its cell's top left at origin in rows
// stride pixels apart: four pixels at a time where the processor allows, the same as Blend.
void BlendBox(std::uint32_t* origin, std::ptrdiff_t stride, const DeviceGlyph& g, std::uint32_t pixel);

// n pixels from p in one colour.
void FillRow(std::uint32_t* p, std::size_t n, std::uint32_t pixel);

}  // namespace norvale
