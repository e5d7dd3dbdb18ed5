// The pixel walking that every painting of skin sections shares: row
// pointers, clipping, the one clip-and-walk loop of pieces, the mask blend
// and tiling. Each loop clips first, fetches its row pointers once per row
// and has no branch per pixel beyond the rule it is given.
//
// For the painting files of skin/draw; callers outside use SkinPaint.h.
#pragma once

#include "platform/Bitmap.h"
#include "skin/data/Blend.h"
#include "skin/data/SkinColors.h"
#include "skin/draw/ParentCache.h"

#include <QRect>
#include <algorithm>
#include <cstdint>
#include <type_traits>

namespace skin::pixels {

using platform::Bitmap;

constexpr uint32_t kRgbMask = 0xFFFFFF;

// The few loops that blend whole pictures are built twice, for processors
// with AVX2 and for any other, and the right one is chosen when the program
// starts (not under the address sanitizer, whose start-up comes later than
// that choice).
#if defined(__x86_64__) && defined(__GNUC__) && !defined(__clang__) &&                             \
    !defined(__SANITIZE_ADDRESS__)
#define CHAROLIST_WIDE_LOOPS __attribute__((target_clones("avx2", "default")))
#else
#define CHAROLIST_WIDE_LOOPS
#endif

// The row word of an opaque pixel of a colour.
inline uint32_t PixelOf(RgbColor c) {
    return Value(ToPixel(c));
}
inline bool IsKey(uint32_t px) {
    return (px & kRgbMask) == kTransparentKey; // the key reads the same both ways
}

// Row y of a picture from its first row's address and the pitch, fetched
// once per call instead of once per row; rows of a const picture are const.
template <typename Picture> class Rows {
    static constexpr bool kConst = std::is_const_v<Picture>;
    using Bytes = std::conditional_t<kConst, const uint8_t, uint8_t>;
    using Word = std::conditional_t<kConst, const uint32_t, uint32_t>;

public:
    explicit Rows(Picture& b) : base_(reinterpret_cast<Bytes*>(b.ScanLine(0))), pitch_(b.Pitch()) {}
    Word* operator[](int y) const { return reinterpret_cast<Word*>(base_ + qsizetype(y) * pitch_); }

private:
    Bytes* base_;
    qsizetype pitch_;
};
template <typename Picture> Rows(Picture&) -> Rows<Picture>;

inline int Byte(uint32_t v, int shift) {
    return (v >> shift) & 0xFF;
}

// r limited to the bitmap.
inline QRect Clip(const Bitmap& b, QRect r) {
    return r.intersected(b.Rect());
}

inline bool FitsInside(const Bitmap& b, QRect r) {
    return !b.Empty() && !r.isEmpty() && r.left() >= 0 && r.top() >= 0 && r.right() < b.Width() &&
           r.bottom() < b.Height();
}

// What a see-through pixel of a piece becomes when the parent shows: the
// parent's pixel (made opaque), or its colour; the target's pixel otherwise.
inline uint32_t ParentShowing(const ParentCacheInfo& p, int dx, int dy, uint32_t target) {
    if (const uint32_t* parent = p.PixelAt(dx, dy))
        return *parent | 0xFF000000u;
    return p.HasColor() ? PixelOf(p.FillColor) : target;
}

// The one clip-and-walk loop of pieces: `src` of `picture` placed with its
// top-left at `at` in b, limited to both pictures, row pointers fetched once
// per row. rule(target, source, sx, sy, px, py) decides each pixel; (sx,
// sy) is in the picture, (px, py) in the piece.
template <typename Rule>
void WalkPiece(Bitmap& b, QPoint at, const Bitmap& picture, QRect src, Rule rule) {
    const QRect inPicture = src.intersected(picture.Rect());
    const QPoint shift = at - src.topLeft();
    const QRect dst = inPicture.translated(shift).intersected(b.Rect());
    if (dst.isEmpty())
        return;
    const QRect from = dst.translated(-shift);
    const Rows rows(b);
    const Rows pictureRows(picture);
    for (int y = 0; y < dst.height(); ++y) {
        uint32_t* row = rows[dst.top() + y] + dst.left();
        const uint32_t* pic = pictureRows[from.top() + y] + from.left();
        const int sy = from.top() + y, py = dst.top() + y - at.y();
        for (int x = 0; x < dst.width(); ++x)
            rule(row[x], pic[x], from.left() + x, sy, dst.left() + x - at.x(), py);
    }
}

// MaskBlend on the three colour bytes, the destination's fourth byte kept.
// The result lies between src and dst, so no limiting is needed. A grey
// mask (the usual kind) weights all channels alike, which lets two channels
// share one multiplication: dst × m + src × (256 − m) is MaskBlend's
// numerator and stays below 65536 in each lane.
inline uint32_t BlendByMask(uint32_t dst, uint32_t src, uint32_t mask) {
    const uint32_t m = mask & 0xFF;
    if (((mask >> 8) & 0xFF) == m && ((mask >> 16) & 0xFF) == m) {
        if (m == 0)
            return (dst & 0xFF000000u) | (src & kRgbMask);
        const uint32_t rb =
            (((dst & 0x00FF00FFu) * m + (src & 0x00FF00FFu) * (256 - m)) >> 8) & 0x00FF00FFu;
        const uint32_t g =
            (((dst & 0x0000FF00u) * m + (src & 0x0000FF00u) * (256 - m)) >> 8) & 0x0000FF00u;
        return (dst & 0xFF000000u) | rb | g;
    }
    uint32_t out = dst & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8)
        out |= uint32_t(MaskBlend(Byte(dst, shift), Byte(src, shift), Byte(mask, shift))) << shift;
    return out;
}

// Copies `area` of `image` repeatedly over dst from its top-left, cutting
// the last row and column at dst's edge (or leaving them out).
void TileArea(Bitmap& b, QRect dst, const Bitmap& image, QRect area, bool wholeOnly);
// One copy of `area` resized to dst, nearest pixel (no smoothing).
void StretchArea(Bitmap& b, QRect dst, const Bitmap& image, QRect area);

} // namespace skin::pixels
