// A soft shadow under a text, as the labels draw it: the coverage worked
// out from a picture of the text, then the shadow's colour laid by that
// coverage over what lies under the label, or over its colour.
#pragma once

#include "platform/Bitmap.h"

#include <array>
#include <cstdint>
#include <vector>

namespace skin {

// Coverage of a shadow: `mask` holds (w + 2) × (h + 2) cells, one cell of
// border on every side, row by row. Each pass stamps 255 under every pixel
// of `picture` whose blue byte is set, then sets every inner cell, top row
// first and left to right, to the sum of its four neighbours div 4, in
// place (the left and upper neighbours already hold this pass's values).
// `partial` is scratch space of the caller's, kept between calls.
void BlurShadowMask(const platform::Bitmap& picture, int passes, uint8_t* mask,
                    std::vector<uint16_t>& partial);

// Lays the shadow colour (red, green, blue) over each pixel by its
// coverage a: over what is there, channel (c × (255 − a) + s × a) / 255;
// over a plain background b, (s × a + (255 − a) × b) / 255, rounded.
// (Dividing by 256 would darken the whole label by one level where it casts
// no shadow: a faint box.)
void LayShadowOver(platform::Bitmap& picture, const uint8_t* mask, std::array<int, 3> rgb);
void LayShadowOnColor(platform::Bitmap& picture, const uint8_t* mask, std::array<int, 3> rgb,
                      uint32_t back);

} // namespace skin
