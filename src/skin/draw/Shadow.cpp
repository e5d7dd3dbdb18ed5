#include "skin/draw/Shadow.h"

#include "platform/Colors.h"
#include "skin/data/Blend.h"
#include "skin/draw/SkinPaint.h"

#include <algorithm>

namespace skin {

using platform::Bitmap;

void BlurShadowMask(const Bitmap& picture, int passes, uint8_t* mask,
                    std::vector<uint16_t>& partial) {
    const int w = picture.Width(), h = picture.Height(), stride = w + 2;
    // Per row, the part of each sum that does not wait for the cell to the
    // left (the upper cell already blurred, the lower and right ones not
    // yet); then the left neighbours, one after another.
    partial.resize(size_t(std::max(w, 0)) + 2);
    for (int pass = 0; pass < passes; ++pass) {
        for (int y = 0; y < h; ++y) {
            const uint32_t* row = picture.ScanLine(y);
            uint8_t* cell = mask + (y + 1) * stride + 1;
            for (int x = 0; x < w; ++x)
                cell[x] = (row[x] & 0xFF) ? 255 : cell[x];
        }
        for (int y = 1; y <= h; ++y) {
            uint8_t* cell = mask + y * stride;
            const uint8_t* up = cell - stride;
            const uint8_t* down = cell + stride;
            for (int x = 1; x <= w; ++x)
                partial[x] = uint16_t(up[x] + down[x] + cell[x + 1]);
            unsigned left = cell[0];
            for (int x = 1; x <= w; ++x) {
                left = (partial[x] + left) >> 2;
                cell[x] = static_cast<uint8_t>(left);
            }
        }
    }
}

void LayShadowOver(Bitmap& picture, const uint8_t* mask, std::array<int, 3> rgb) {
    const int w = picture.Width(), stride = w + 2;
    // Bytes in memory: blue, green, red, fourth.
    const uint16_t s[4] = {uint16_t(rgb[2]), uint16_t(rgb[1]), uint16_t(rgb[0]), 0};
    for (int y = 0; y < picture.Height(); ++y) {
        auto* px = reinterpret_cast<uint8_t*>(picture.ScanLine(y));
        const uint8_t* cover = mask + (y + 1) * stride + 1;
        for (int x = 0; x < w; ++x) {
            const uint16_t a = cover[x];
            for (int i = 0; i < 3; ++i)
                px[4 * x + i] = static_cast<uint8_t>(CoverBlend(px[4 * x + i], s[i], a));
            px[4 * x + 3] = 0xFF;
        }
    }
}

void LayShadowOnColor(Bitmap& picture, const uint8_t* mask, std::array<int, 3> rgb, uint32_t back) {
    FillRect(picture, picture.Rect(), RgbColor{back});
    LayShadowOver(picture, mask, rgb);
}

} // namespace skin
