#include "skin/draw/SkinPaint.h"

#include "skin/draw/Pixels.h"

#include <algorithm>
#include <cmath>

namespace skin {

using namespace pixels;

const Bitmap* MaskImage(const TsMaskData& mask) {
    if (mask.OwnImage)
        return &*mask.OwnImage;
    return mask.Owner ? &mask.Owner->MasterImage() : nullptr;
}

void FillRect(Bitmap& b, QRect r, RgbColor color) {
    platform::FillPixels(b, r, PixelOf(color));
}

void CopyFrom(Bitmap& b, QRect r, const Bitmap& source, int sx, int sy) {
    platform::CopyPixels(b, r, source, QPoint(sx, sy));
}

CHAROLIST_WIDE_LOOPS void BlendBitmap(Bitmap& lower, QPoint at, const Bitmap& upper, int a) {
    a = std::clamp(a, 0, 255);
    const uint16_t ua = static_cast<uint16_t>(a), ub = static_cast<uint16_t>(255 - a);
    const QRect dst = Clip(lower, QRect(at, upper.Rect().size()));
    const int bytes = dst.width() * 4;
    for (int y = dst.top(); y <= dst.bottom(); ++y) {
        // All four bytes alike, as bytes: a loop the compiler vectorises.
        auto* row = reinterpret_cast<uint8_t*>(lower.ScanLine(y) + dst.left());
        const auto* up =
            reinterpret_cast<const uint8_t*>(upper.ScanLine(y - at.y()) + (dst.left() - at.x()));
        for (int i = 0; i < bytes; ++i)
            row[i] = static_cast<uint8_t>(uint16_t(row[i] * ua + up[i] * ub + 127) >> 8);
    }
}

void BlendColorRect(Bitmap& b, QRect r, int percent, RgbColor color) {
    r = Clip(b, r);
    const uint32_t c = PixelOf(color);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint32_t* row = b.ScanLine(y);
        for (int x = r.left(); x <= r.right(); ++x) {
            uint32_t out = row[x] & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8)
                out |= uint32_t(std::clamp(PercentMix(Byte(row[x], shift), Byte(c, shift), percent),
                                           0, 255))
                       << shift;
            row[x] = out;
        }
    }
}

void MakeGrey(Bitmap& b) {
    for (int y = 0; y < b.Height(); ++y) {
        uint32_t* row = b.ScanLine(y);
        for (int x = 0; x < b.Width(); ++x) {
            const uint32_t v = (Byte(row[x], 16) + Byte(row[x], 8) + Byte(row[x], 0)) / 3;
            row[x] = (row[x] & 0xFF000000u) | (v << 16) | (v << 8) | v;
        }
    }
}

void BlendOverPicture(Bitmap& dst, QPoint origin, uint32_t key, double x, QRect r,
                      const Bitmap& picture) {
    // r is in the destination; origin is where r's top-left lies in the picture.
    const QRect target = Clip(dst, r);
    const QRect src(origin + (target.topLeft() - r.topLeft()), target.size());
    WalkPiece(
        dst, target.topLeft(), picture, src, [&](uint32_t& d, uint32_t s, int, int, int, int) {
            if ((s & kRgbMask) == key)
                return;
            uint32_t out = d & 0xFF000000u;
            for (int shift = 0; shift < 24; shift += 8) {
                const double sc = Byte(s, shift), dc = Byte(d, shift);
                out |= uint32_t(std::clamp(std::lround(sc - (sc - dc) * x), 0L, 255L)) << shift;
            }
            d = out;
        });
}

void DrawDisabledLook(Bitmap& b, unsigned kind, QPoint q, const ParentCacheInfo& p,
                      RgbColor parentColor) {
    if (kind & dkGrayed)
        MakeGrey(b);
    if (!(kind & dkBlended))
        return;
    DimOverParent(b, p.Moved(q), parentColor);
}

void LayParent(Bitmap& b, QRect r, const ParentCacheInfo& behind, RgbColor otherwise) {
    if (behind.HasPicture()) {
        if (behind.Bitmap != &b)
            CopyFrom(b, r, *behind.Bitmap, behind.OffsetX, behind.OffsetY);
        return;
    }
    const RgbColor colour = behind.FillColor != kNoColor ? behind.FillColor : otherwise;
    if (colour != kNoColor)
        FillRect(b, r, colour);
}

void DimOverParent(Bitmap& b, const ParentCacheInfo& behind, RgbColor otherwise) {
    if (behind.HasPicture()) {
        BlendOverPicture(b, QPoint(behind.OffsetX, behind.OffsetY), kTransparentKey,
                         kDimmedKeeps / 100.0, b.Rect(), *behind.Bitmap);
        return;
    }
    const RgbColor colour = behind.FillColor != kNoColor ? behind.FillColor : otherwise;
    if (colour != kNoColor)
        BlendColorRect(b, b.Rect(), kDimmedKeeps, colour);
}

void DrawDottedFocus(Bitmap& b, QRect r, RgbColor light, RgbColor dark) {
    // Right and bottom edges one pixel inside the last column and row.
    const int right = r.left() + r.width() - 2, bottom = r.top() + r.height() - 2;
    auto set = [&](int x, int y, RgbColor c) {
        if (x >= 0 && y >= 0 && x < b.Width() && y < b.Height())
            b.ScanLine(y)[x] = PixelOf(c);
    };
    for (int i = 0; i <= r.width() / 3; ++i) {
        const int x = r.left() + 3 * i;
        for (int y : {r.top(), bottom}) {
            set(x - 1, y, light);
            set(x, y, dark);
        }
    }
    for (int i = 0; i <= r.height() / 3; ++i) {
        const int y = r.top() + 3 * i;
        for (int x : {r.left(), right}) {
            set(x, y - 1, light);
            set(x, y, dark);
        }
    }
}

namespace pixels {

void TileArea(Bitmap& b, QRect dst, const Bitmap& image, QRect area, bool wholeOnly) {
    area = area.intersected(image.Rect());
    if (area.isEmpty())
        return;
    const QRect clipped = Clip(b, dst);
    const int tw = area.width(), th = area.height();
    const int endX =
        std::min(wholeOnly ? dst.left() + dst.width() / tw * tw : dst.left() + dst.width(),
                 clipped.left() + clipped.width());
    const int endY =
        std::min(wholeOnly ? dst.top() + dst.height() / th * th : dst.top() + dst.height(),
                 clipped.top() + clipped.height());
    const int startX = std::max(dst.left(), clipped.left());
    for (int y = std::max(dst.top(), clipped.top()); y < endY; ++y) {
        const uint32_t* src = image.ScanLine(area.top() + (y - dst.top()) % th) + area.left();
        uint32_t* row = b.ScanLine(y);
        // Runs of the tile's row: the first one may start inside the tile.
        int x = startX, tx = (x - dst.left()) % tw;
        while (x < endX) {
            const int n = std::min(tw - tx, endX - x);
            std::copy_n(src + tx, n, row + x);
            x += n;
            tx = 0;
        }
    }
}

void StretchArea(Bitmap& b, QRect dst, const Bitmap& image, QRect area) {
    area = area.intersected(image.Rect());
    if (area.isEmpty() || dst.isEmpty())
        return;
    const QRect clipped = Clip(b, dst);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const uint32_t* src =
            image.ScanLine(area.top() + int(qint64(y - dst.top()) * area.height() / dst.height()));
        uint32_t* row = b.ScanLine(y);
        for (int x = clipped.left(); x <= clipped.right(); ++x)
            row[x] = src[area.left() + int(qint64(x - dst.left()) * area.width() / dst.width())];
    }
}

} // namespace pixels

} // namespace skin
