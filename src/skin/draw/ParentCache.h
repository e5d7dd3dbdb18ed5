// What lies behind a control that is being painted: its parent's picture
// and where the control sits in it, or a plain colour, or nothing.
#pragma once

#include "platform/Bitmap.h"
#include "skin/data/SkinColors.h"

#include <QPoint>
#include <algorithm>
#include <cstdint>

namespace skin {

struct ParentCacheInfo {
    const platform::Bitmap* Bitmap = nullptr;
    int OffsetX = 0, OffsetY = 0; // where the control's top-left lies in Bitmap
    RgbColor FillColor = kNoColor;
    bool Ready = false; // Bitmap holds a usable picture

    // Offsets are kept within this bound: any point so far off lies outside
    // every picture, and sums of a few such offsets cannot overflow.
    static constexpr int kOffsetLimit = 1 << 29;

    static ParentCacheInfo Picture(const platform::Bitmap* bitmap, int x, int y) {
        return ParentCacheInfo{bitmap, Limited(x), Limited(y), kNoColor, bitmap != nullptr};
    }
    static ParentCacheInfo Color(RgbColor rgb) {
        return ParentCacheInfo{nullptr, 0, 0, rgb, false};
    }

    bool HasPicture() const { return Ready && Bitmap && !Bitmap->Empty(); }
    bool HasColor() const { return !HasPicture() && FillColor != kNoColor; }
    // The same background, addressed from a point dx, dy further on.
    ParentCacheInfo Moved(int dx, int dy) const {
        ParentCacheInfo p = *this;
        p.OffsetX = Limited(int64_t(OffsetX) + dx);
        p.OffsetY = Limited(int64_t(OffsetY) + dy);
        return p;
    }
    ParentCacheInfo Moved(QPoint d) const { return Moved(d.x(), d.y()); }

    // The parent's pixel behind (dx, dy) of the piece addressed; null when
    // the parent has no picture there.
    const uint32_t* PixelAt(int dx, int dy) const {
        if (!HasPicture())
            return nullptr;
        const int64_t x = int64_t(OffsetX) + dx, y = int64_t(OffsetY) + dy;
        if (x < 0 || y < 0 || x >= Bitmap->Width() || y >= Bitmap->Height())
            return nullptr;
        return Bitmap->ScanLine(int(y)) + x;
    }

private:
    static int Limited(int64_t v) {
        return int(std::clamp<int64_t>(v, -kOffsetLimit, kOffsetLimit));
    }
};

} // namespace skin
