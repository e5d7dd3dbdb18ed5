// What lies behind a control that is being painted: its parent's picture
// and where the control sits in it, or a plain colour, or nothing.
#pragma once

#include "platform/Bitmap.h"

#include <cstdint>

namespace skin {

constexpr uint32_t kTransparentKey = 0xFF00FF; // also "no colour"

struct ParentCacheInfo {
    const platform::Bitmap* Bitmap = nullptr;
    int OffsetX = 0, OffsetY = 0; // where the control's top-left lies in Bitmap
    uint32_t FillColor = 0;       // RGB; kTransparentKey for none
    bool Ready = false;           // Bitmap holds a usable picture

    static ParentCacheInfo Picture(const platform::Bitmap* bitmap, int x, int y) {
        return ParentCacheInfo{bitmap, x, y, kTransparentKey, bitmap != nullptr};
    }
    static ParentCacheInfo Color(uint32_t rgb) {
        return ParentCacheInfo{nullptr, 0, 0, rgb, false};
    }

    bool HasPicture() const { return Ready && Bitmap && !Bitmap->Empty(); }
    bool HasColor() const { return !HasPicture() && FillColor != kTransparentKey; }
    // The same background, addressed from a point dx, dy further on.
    ParentCacheInfo Moved(int dx, int dy) const {
        ParentCacheInfo p = *this;
        p.OffsetX += dx;
        p.OffsetY += dy;
        return p;
    }
};

} // namespace skin
