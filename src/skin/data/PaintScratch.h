// Working memory that painting reuses from one paint to the next, so that
// painting a control allocates nothing once the buffers have grown: runs
// of pixel words for blending a row, and temporary pictures. The manager
// keeps one for all painting with its skin, since painting runs on one
// thread; each place that needs memory has its own slot, and no place
// calls itself while it holds its slot.
#pragma once

#include "platform/Bitmap.h"

#include <array>
#include <cstdint>
#include <vector>

namespace skin {

class PaintScratch {
public:
    enum Run { PieceRow, PieceMask, BlendedRow, kRuns };
    enum Picture { GradientOver, BackgroundOver, kPictures };

    // A run of at least n words; its contents are left from earlier use.
    uint32_t* RunOf(Run slot, int n) {
        std::vector<uint32_t>& run = runs_[slot];
        if (run.size() < static_cast<size_t>(n))
            run.resize(static_cast<size_t>(n));
        return run.data();
    }

    // A picture of w × h. `covered` says the caller paints every pixel;
    // otherwise it starts black, as a new picture would.
    platform::Bitmap& PictureOf(Picture slot, int w, int h, bool covered = false) {
        platform::Bitmap& b = pictures_[slot];
        if (b.Width() != w || b.Height() != h)
            b.SetSize(w, h);
        else if (!covered)
            b.Image().fill(0xFF000000u);
        return b;
    }

private:
    std::array<std::vector<uint32_t>, kRuns> runs_;
    std::array<platform::Bitmap, kPictures> pictures_;
};

} // namespace skin
