#include "skin/draw/SkinPaint.h"

#include "skin/data/Blend.h"
#include "skin/data/ImageDecoders.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace skin {

using platform::Bitmap;

namespace {

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
uint32_t PixelOf(RgbColor c) {
    return Value(ToPixel(c));
}
bool IsKey(uint32_t px) {
    return (px & kRgbMask) == kTransparentKey; // the key reads the same both ways
}

// Row y of a picture from its first row's address and the pitch, fetched
// once per call instead of once per row.
struct RowsOf {
    explicit RowsOf(Bitmap& b)
        : Base(reinterpret_cast<uint8_t*>(b.ScanLine(0))), Pitch(b.Pitch()) {}
    uint32_t* operator[](int y) const {
        return reinterpret_cast<uint32_t*>(Base + qsizetype(y) * Pitch);
    }
    uint8_t* Base;
    qsizetype Pitch;
};
struct ConstRowsOf {
    explicit ConstRowsOf(const Bitmap& b)
        : Base(reinterpret_cast<const uint8_t*>(b.ScanLine(0))), Pitch(b.Pitch()) {}
    const uint32_t* operator[](int y) const {
        return reinterpret_cast<const uint32_t*>(Base + qsizetype(y) * Pitch);
    }
    const uint8_t* Base;
    qsizetype Pitch;
};

int Byte(uint32_t v, int shift) {
    return (v >> shift) & 0xFF;
}

// r limited to the bitmap.
QRect Clip(const Bitmap& b, QRect r) {
    return r.intersected(b.Rect());
}

bool FitsInside(const Bitmap& b, QRect r) {
    return !b.Empty() && !r.isEmpty() && r.left() >= 0 && r.top() >= 0 && r.right() < b.Width() &&
           r.bottom() < b.Height();
}

// The parent's pixel behind (dx, dy) of a piece that p addresses; none when
// the parent has no picture there.
const uint32_t* ParentPixel(const ParentCacheInfo& p, int dx, int dy) {
    return p.PixelAt(dx, dy);
}

// What a see-through pixel of a piece becomes when the parent shows: the
// parent's pixel (made opaque), or its colour; the target's pixel otherwise.
uint32_t ParentShowing(const ParentCacheInfo& p, int dx, int dy, uint32_t target) {
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
    const RowsOf rows(b);
    const ConstRowsOf pictureRows(picture);
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

// One copy of `area` resized to dst, nearest pixel (no smoothing).
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

} // namespace

const Bitmap* MaskImage(const TsMaskData& mask) {
    if (mask.OwnImage)
        return &*mask.OwnImage;
    return mask.Owner ? &mask.Owner->MasterImage() : nullptr;
}

// ---------------------------------------------------------------------------
// Plain pixel work
// ---------------------------------------------------------------------------

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

namespace {

// BlendBitmap with the lower picture read from `source` at (sx, sy) rather
// than from the target: the parent's picture and the control's own laid in
// one pass. `r` lies inside b, and its counterpart inside source.
CHAROLIST_WIDE_LOOPS void BlendFrom(Bitmap& b, QRect r, const Bitmap& source, int sx, int sy,
                                    const Bitmap& upper, int a) {
    const uint16_t ua = static_cast<uint16_t>(a), ub = static_cast<uint16_t>(255 - a);
    const int bytes = r.width() * 4;
    const RowsOf rows(b);
    const ConstRowsOf lows(source), ups(upper);
    for (int y = 0; y < r.height(); ++y) {
        uint8_t* __restrict row = reinterpret_cast<uint8_t*>(rows[r.top() + y] + r.left());
        const uint8_t* __restrict low = reinterpret_cast<const uint8_t*>(lows[sy + y] + sx);
        const uint8_t* __restrict up = reinterpret_cast<const uint8_t*>(ups[y]);
        for (int i = 0; i < bytes; ++i)
            row[i] = static_cast<uint8_t>(uint16_t(low[i] * ua + up[i] * ub + 127) >> 8);
    }
}

} // namespace

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

// ---------------------------------------------------------------------------
// Gradients
// ---------------------------------------------------------------------------

namespace {

// Channel by channel s + (e − s) × i / n, the division truncating.
uint32_t Interpolate(uint32_t start, uint32_t end, int i, int n) {
    if (start == end || n <= 0)
        return start;
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        const int s = Byte(start, shift), e = Byte(end, shift);
        out |= uint32_t(std::clamp(s + (e - s) * i / n, 0, 255)) << shift;
    }
    return out;
}

// Runs of rows (vertical) or columns: step k covers `Percent` of the length,
// the last step reaches the end.
template <typename Line>
void GradientRuns(const TsGradArray& steps, int length, bool roundRuns, Line line) {
    int at = 0;
    for (qsizetype k = 0; k < steps.size() && at < length; ++k) {
        const GradientStep& s = steps[k];
        int n = roundRuns ? int(std::lround(s.Percent * length / 100.0)) : s.Percent * length / 100;
        if (k + 1 == steps.size() || at + n > length)
            n = length - at;
        for (int i = 0; i < n; ++i)
            line(at + i, Interpolate(uint32_t(s.StartColor), uint32_t(s.EndColor), i, n));
        at += n;
    }
}

// The four triangles of mode 2: corners and middle take the start colours
// of steps 0 to 4 (top-left, middle, top-right, bottom-right, bottom-left).
void PaintTriangles(Bitmap& b, QRect r, const TsGradArray& steps) {
    uint32_t c[5];
    for (int i = 0; i < 5; ++i)
        c[i] = uint32_t(steps[std::min<size_t>(i, steps.size() - 1)].StartColor);
    const double l = r.left(), t = r.top(), rr = r.left() + r.width(), bb = r.top() + r.height();
    const QPointF tl(l, t), mid((l + rr) / 2, (t + bb) / 2), tr(rr, t), br(rr, bb), bl(l, bb);
    struct Tri {
        QPointF a, b;
        uint32_t ca, cb;
    };
    const Tri tris[4] = {
        {tl, tr, c[0], c[2]}, {tr, br, c[2], c[3]}, {br, bl, c[3], c[4]}, {bl, tl, c[4], c[0]}};
    const QRect clipped = Clip(b, r);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        uint32_t* row = b.ScanLine(y);
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const QPointF p(x + 0.5, y + 0.5);
            for (const Tri& tri : tris) {
                // Barycentric weights of p in (a, b, middle).
                const double det = (tri.b.y() - mid.y()) * (tri.a.x() - mid.x()) +
                                   (mid.x() - tri.b.x()) * (tri.a.y() - mid.y());
                const double wa = ((tri.b.y() - mid.y()) * (p.x() - mid.x()) +
                                   (mid.x() - tri.b.x()) * (p.y() - mid.y())) /
                                  det;
                const double wb = ((mid.y() - tri.a.y()) * (p.x() - mid.x()) +
                                   (tri.a.x() - mid.x()) * (p.y() - mid.y())) /
                                  det;
                const double wm = 1.0 - wa - wb;
                if (wa < -1e-9 || wb < -1e-9 || wm < -1e-9)
                    continue;
                uint32_t out = 0;
                for (int shift = 0; shift < 24; shift += 8)
                    out |= uint32_t(std::clamp(std::lround(wa * Byte(tri.ca, shift) +
                                                           wb * Byte(tri.cb, shift) +
                                                           wm * Byte(c[1], shift)),
                                               0L, 255L))
                           << shift;
                row[x] = PixelOf(RgbColor{out});
                break;
            }
        }
    }
}

} // namespace

void PaintGradient(Bitmap& b, QRect r, const TsGradArray& steps, int startOffset) {
    r = Clip(b, r);
    if (steps.empty() || r.isEmpty())
        return;
    switch (GradientMode{steps.front().Mode}) {
    case GradientMode::Vertical:
        GradientRuns(steps, r.height() + startOffset, false, [&](int i, uint32_t c) {
            const int y = r.top() + i - startOffset;
            if (y >= r.top() && y <= r.bottom())
                std::fill_n(b.ScanLine(y) + r.left(), r.width(), PixelOf(RgbColor{c}));
        });
        break;
    case GradientMode::Horizontal:
        GradientRuns(steps, r.width(), true, [&](int i, uint32_t c) {
            for (int y = r.top(); y <= r.bottom(); ++y)
                b.ScanLine(y)[r.left() + i] = PixelOf(RgbColor{c});
        });
        break;
    case GradientMode::Triangles:
        PaintTriangles(b, r, steps);
        break;
    }
}

CHAROLIST_WIDE_LOOPS void PaintGradientWithTexture(Bitmap& b, QRect r, const TsGradArray& steps,
                                                   int a, const Bitmap& image, QRect area) {
    r = Clip(b, r);
    area = area.intersected(image.Rect());
    if (steps.empty() || r.isEmpty() || area.isEmpty() || steps.front().Mode > 1)
        return;
    PaintGradient(b, r, steps);
    const int tw = area.width(), th = area.height();
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint32_t* row = b.ScanLine(y) + r.left();
        const uint32_t* tex = image.ScanLine(area.top() + (y - r.top()) % th) + area.left();
        // g + ((t − g) × a) >> 8 is (g × (256 − a) + t × a) >> 8, below 65536:
        // byte by byte over runs of the tile's row, the fourth byte put back.
        const uint16_t ua = static_cast<uint16_t>(std::clamp(a, 0, 255)), ug = 256 - ua;
        int x = 0, tx = 0;
        while (x < r.width()) {
            const int n = std::min(tw - tx, r.width() - x);
            uint8_t* __restrict out = reinterpret_cast<uint8_t*>(row + x);
            const uint8_t* __restrict in = reinterpret_cast<const uint8_t*>(tex + tx);
            for (int i = 0; i < n * 4; ++i) {
                const uint16_t g = out[i], t = in[i];
                out[i] = static_cast<uint8_t>(uint16_t(g * ug + t * ua) >> 8);
            }
            x += n;
            tx = 0;
        }
        // The gradient's pixels were opaque; so they stay.
        for (int i = 0; i < r.width(); ++i)
            row[i] |= 0xFF000000u;
    }
}

// ---------------------------------------------------------------------------
// Textures
// ---------------------------------------------------------------------------

void FillWithPicture(Bitmap& b, QRect& r, const Bitmap& picture) {
    TileArea(b, r, picture, picture.Rect(), false);
    r = QRect();
}

void FillWithTexture(Bitmap& b, QRect& r, const TsMaskData& mask) {
    if (mask.OwnImage) {
        FillWithPicture(b, r, *mask.OwnImage);
        return;
    }
    const Bitmap* image = MaskImage(mask);
    const QRect area(mask.Area.Left, mask.Area.Top, mask.Area.Width(), mask.Area.Height());
    if (!image || area.isEmpty() || r.isEmpty())
        return;
    const int tw = std::min(area.width(), r.width()), th = std::min(area.height(), r.height());
    switch (FillOf(mask)) {
    case TextureFill::Tile:
        TileArea(b, r, *image, area, false);
        r = QRect();
        break;
    case TextureFill::Stretch:
        StretchArea(b, r, *image, area);
        r = QRect();
        break;
    case TextureFill::TileTop:
        TileArea(b, QRect(r.left(), r.top(), r.width(), th), *image, area, false);
        r.setTop(r.top() + th);
        break;
    case TextureFill::TileLeft:
        TileArea(b, QRect(r.left(), r.top(), tw, r.height()), *image, area, false);
        r.setLeft(r.left() + tw);
        break;
    case TextureFill::StretchTop:
        StretchArea(b, QRect(r.left(), r.top(), r.width(), th), *image,
                    QRect(area.topLeft(), QSize(area.width(), th)));
        r.setTop(r.top() + th);
        break;
    case TextureFill::StretchLeft:
        StretchArea(b, QRect(r.left(), r.top(), tw, r.height()), *image,
                    QRect(area.topLeft(), QSize(tw, area.height())));
        r.setLeft(r.left() + tw);
        break;
    case TextureFill::TileBottom:
        TileArea(b, QRect(r.left(), r.bottom() + 1 - th, r.width(), th), *image, area, false);
        r.setBottom(r.bottom() - th);
        break;
    case TextureFill::WholeTiles:
        TileArea(b, r, *image, area, true);
        r = QRect();
        break;
    default: // TileRight, and any mode not named
        TileArea(b, QRect(r.right() + 1 - tw, r.top(), tw, r.height()), *image, area, false);
        r.setRight(r.right() - tw);
        break;
    }
}

void FillWithMaskedTexture(Bitmap& b, QRect r, const ParentCacheInfo& p, TextureFill mode,
                           const TsMaskData& mask) {
    const Bitmap* image = MaskImage(mask);
    const int w = mask.FrameWidth(), h = mask.FrameHeight();
    const bool whole = mode == TextureFill::WholeTiles;
    if (!image || w <= 0 || h <= 0 || (mode != TextureFill::Tile && !whole))
        return;
    const int maskRows = mask.Area.Height() / 2;
    const QRect clipped = Clip(b, r);
    const int endX = whole ? r.left() + r.width() / w * w : r.left() + r.width();
    const int endY = whole ? r.top() + r.height() / h * h : r.top() + r.height();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        uint32_t* row = b.ScanLine(y);
        const int sy = mask.Area.Top + (y - r.top()) % h;
        const bool inTiles = y < endY && sy < image->Height() && sy + maskRows < image->Height();
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const int sx = mask.Area.Left + (x - r.left()) % w;
            const bool inTile = inTiles && x < endX && sx < image->Width();
            // The strips no whole tile covers, and the key, show the parent.
            if (!inTile || IsKey(image->ScanLine(sy)[sx])) {
                if (const uint32_t* parent = ParentPixel(p, x - r.left(), y - r.top()))
                    row[x] = *parent;
                else if (p.HasColor())
                    row[x] = PixelOf(p.FillColor);
                continue;
            }
            row[x] =
                BlendByMask(row[x], image->ScanLine(sy)[sx], image->ScanLine(sy + maskRows)[sx]);
        }
    }
}

// ---------------------------------------------------------------------------
// Border pieces
// ---------------------------------------------------------------------------

namespace {

// MaskBlend of a run of n pixels, byte by byte: (dst × m + src × (256 − m))
// >> 8 stays below 65536, so the compiler can use 16-bit lanes.
CHAROLIST_WIDE_LOOPS void BlendRun(const uint32_t* dst, const uint32_t* src, const uint32_t* mask,
                                   uint32_t* out, int n) {
    const uint8_t* __restrict d = reinterpret_cast<const uint8_t*>(dst);
    const uint8_t* __restrict sp = reinterpret_cast<const uint8_t*>(src);
    const uint8_t* __restrict mp = reinterpret_cast<const uint8_t*>(mask);
    uint8_t* __restrict o = reinterpret_cast<uint8_t*>(out);
    for (int i = 0; i < n * 4; ++i) {
        const uint16_t dv = d[i], sv = sp[i], m = mp[i];
        o[i] = static_cast<uint8_t>(uint16_t(dv * m + sv * (256 - m)) >> 8);
    }
}

std::vector<uint32_t>& RunBuffer(int n) {
    static std::vector<uint32_t> buffer; // painting runs on one thread
    if (buffer.size() < static_cast<size_t>(n))
        buffer.resize(static_cast<size_t>(n));
    return buffer;
}

} // namespace

void CopyMaskedPiece(Bitmap& b, QRect dst, QRect src, const TsMaskData& mask, const Bitmap& image,
                     KeyPixels keys, const ParentCacheInfo& p) {
    const bool corners = keys == KeyPixels::ShowParent;
    const int maskRows = mask.Area.Height() / 2;
    const int bw = b.Width(), bh = b.Height(), iw = image.Width(), ih = image.Height();
    // The piece's columns and rows that lie inside both pictures.
    const int x0 = std::max({0, -dst.left(), -src.left()});
    const int x1 = std::min({dst.width(), src.width(), bw - dst.left(), iw - src.left()});
    const int y0 = std::max({0, -dst.top(), -src.top()});
    const int y1 = std::min({dst.height(), src.height(), bh - dst.top(), ih - src.top()});
    if (x1 <= x0)
        return;
    const bool picture = p.HasPicture(), color = p.HasColor();
    const uint32_t fill = PixelOf(p.FillColor);
    std::vector<uint32_t>& blended = RunBuffer(x1 - x0);
    if (y1 <= y0)
        return;
    const RowsOf rows(b);
    const ConstRowsOf pictureRows(image);
    for (int y = y0; y < y1; ++y) {
        const int sy = src.top() + y;
        uint32_t* row = rows[dst.top() + y] + dst.left();
        const uint32_t* pic = pictureRows[sy] + src.left();
        const uint32_t* msk = pictureRows[std::min(sy + maskRows, ih - 1)] + src.left();
        BlendRun(row + x0, pic + x0, msk + x0, blended.data(), x1 - x0);
        for (int x = x0; x < x1; ++x) {
            const uint32_t mixed = (blended[x - x0] & kRgbMask) | (row[x] & 0xFF000000u);
            if (!IsKey(pic[x]) || (picture && !corners)) {
                // With a picture behind and the corners flag, the piece is opaque.
                row[x] = picture && corners ? mixed | 0xFF000000u : mixed;
            } else if (picture) {
                const uint32_t* parent = ParentPixel(p, x, y);
                row[x] = (parent ? *parent : row[x]) | 0xFF000000u;
            } else if (corners && color) {
                row[x] = fill;
            }
        }
    }
}

void CopyKeyedPiece(Bitmap& b, QPoint dst, const Bitmap& image, QRect src, KeyPixels keys,
                    const ParentCacheInfo& p) {
    const bool showParent = keys == KeyPixels::ShowParent;
    // With a picture behind and the parent showing, the piece is opaque.
    const uint32_t opaque = showParent && p.HasPicture() ? 0xFF000000u : 0;
    WalkPiece(b, dst, image, src, [&](uint32_t& d, uint32_t s, int, int, int px, int py) {
        if (!IsKey(s))
            d = s | opaque;
        else if (showParent)
            d = ParentShowing(p, px, py, d);
    });
}

namespace {

// Masked pieces repeated over dst from its top-left (edges and the middle of
// masked frames): blended by their mask, never taking the parent.
CHAROLIST_WIDE_LOOPS void TileMasked(Bitmap& b, QRect dst, QRect piece, const TsMaskData& mask,
                                     const Bitmap& image) {
    const int maskRows = mask.Area.Height() / 2;
    piece = piece.intersected(image.Rect());
    const QRect clipped = Clip(b, dst);
    if (piece.isEmpty() || clipped.isEmpty())
        return;
    const int pw = piece.width(), ph = piece.height(), ih = image.Height();
    const int n = clipped.width();
    // The piece's row repeated along the run, picture and mask, so that one
    // long loop blends the whole run.
    // Painting happens on one thread; the buffers are kept between calls.
    static std::vector<uint32_t> pics, masks, blended;
    for (auto* v : {&pics, &masks, &blended})
        if (v->size() < static_cast<size_t>(n))
            v->resize(static_cast<size_t>(n));
    const RowsOf rows(b);
    const ConstRowsOf pictureRows(image);
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        const int sy = piece.top() + (y - dst.top()) % ph;
        const uint32_t* pic = pictureRows[sy] + piece.left();
        const uint32_t* msk = pictureRows[std::min(sy + maskRows, ih - 1)] + piece.left();
        // One period of the piece from where the run starts, then the
        // filled part copied after itself, doubling each time.
        const int tx = (clipped.left() - dst.left()) % pw;
        const int first = std::min(n, pw);
        for (int x = 0; x < first; ++x) {
            const int sx = (tx + x) % pw;
            pics[x] = pic[sx];
            masks[x] = msk[sx];
        }
        for (int filled = first; filled < n; filled *= 2) {
            const int count = std::min(filled, n - filled);
            std::copy_n(pics.data(), count, pics.data() + filled);
            std::copy_n(masks.data(), count, masks.data() + filled);
        }
        uint32_t* row = rows[y] + clipped.left();
        BlendRun(row, pics.data(), masks.data(), blended.data(), n);
        // Key pixels leave the destination; the fourth byte is the destination's.
        for (int x = 0; x < n; ++x)
            row[x] = IsKey(pics[x]) ? row[x] : (blended[x] & kRgbMask) | (row[x] & 0xFF000000u);
    }
}

// Shrinks two opposite widths that do not fit a length of `length`.
void FitWidths(int& first, int& second, int length) {
    if (length >= first + second)
        return;
    const int d = (first + second - length) / 2;
    first -= d;
    second -= d;
    if (length % 2 != 0)
        second -= 1;
    first = std::max(first, 0);
    second = std::max(second, 0);
}

} // namespace

namespace {

// Where the nine parts of a border frame lie: the widths of its sides
// (fitted to the rectangle), the frame's size, the middle's size and the
// frame's top-left in its picture.
//
//   +----+-------------+----+
//   | wl |     wt      | wr |      corners are copied once;
//   +----+-------------+----+      edges repeat (or stretch)
//   |    |  mw × mh    |    |      along the rectangle
//   +----+-------------+----+
//   |    |     wb      |    |
//   +----+-------------+----+
struct FrameLayout {
    int wl, wt, wr, wb;
    int fw, fh, mw, mh;
    int ox, oy;
};

std::optional<FrameLayout> LayoutFrame(const TsMaskData& mask, QRect r, VisualState state) {
    FrameLayout f{LeftWidthOf(mask),
                  TopWidthOf(mask),
                  RightWidthOf(mask),
                  BottomWidthOf(mask),
                  mask.FrameWidth(),
                  mask.FrameHeight(),
                  0,
                  0,
                  0,
                  0};
    FitWidths(f.wl, f.wr, r.width());
    FitWidths(f.wt, f.wb, r.height());
    f.mw = f.fw - f.wl - f.wr;
    f.mh = f.fh - f.wt - f.wb;
    if (f.mw < 0 || f.mh < 0)
        return std::nullopt;
    const int k = FrameIndex(mask, state);
    f.ox = mask.Area.Left + k * f.fw;
    f.oy = mask.Area.Top;
    return f;
}

// Draws the pieces of one frame: masked pieces blend by their mask; plain
// corners are keyed, plain edges copied as they are (stretched once with
// StretchEdges, else tiled).
class BorderPainter {
public:
    BorderPainter(Bitmap& b, QRect r, KeyPixels keys, const TsMaskData& mask, const Bitmap& image,
                  const ParentCacheInfo& p)
        : b_(b), r_(r), keys_(keys), mask_(mask), image_(image), p_(p), masked_(mask.MaskKind != 0),
          stretch_(!masked_ && HasBorderFill(mask, StretchEdges)) {}

    void Corner(int dx, int dy, int sx, int sy, int w, int h) const {
        if (w <= 0 || h <= 0)
            return;
        const ParentCacheInfo at = p_.Moved(dx - r_.left(), dy - r_.top());
        if (masked_)
            CopyMaskedPiece(b_, QRect(dx, dy, w, h), QRect(sx, sy, w, h), mask_, image_, keys_, at);
        else
            CopyKeyedPiece(b_, QPoint(dx, dy), image_, QRect(sx, sy, w, h), keys_, at);
    }
    void Run(QRect dst, QRect src) const {
        if (dst.isEmpty() || src.isEmpty())
            return;
        if (masked_)
            TileMasked(b_, dst, src, mask_, image_);
        else if (stretch_)
            StretchArea(b_, dst, image_, src);
        else
            TileArea(b_, dst, image_, src, false);
    }

private:
    Bitmap& b_;
    QRect r_;
    KeyPixels keys_;
    const TsMaskData& mask_;
    const Bitmap& image_;
    const ParentCacheInfo& p_;
    bool masked_, stretch_;
};

} // namespace

void DrawBorderMask(Bitmap& b, QRect r, KeyPixels keys, VisualState state, const TsMaskData& mask,
                    const ParentCacheInfo& p) {
    if ((state == VisualState::Normal && HasBorderFill(mask, NoneWhenNormal)) || r.width() < 2 ||
        r.height() < 2 || !mask.Owner)
        return;
    const Bitmap* image = MaskImage(mask);
    if (!image || mask.FrameCount <= 0)
        return;
    const std::optional<FrameLayout> layout = LayoutFrame(mask, r, state);
    if (!layout)
        return;
    const auto [wl, wt, wr, wb, fw, fh, mw, mh, ox, oy] = *layout;
    const int left = r.left(), top = r.top(), right = r.left() + r.width(),
              bottom = r.top() + r.height();
    const BorderPainter paint(b, r, keys, mask, *image, p);
    auto vertical = [&](int dx, int sx, int w) {
        if (w > 0 && mh > 0)
            paint.Run(QRect(dx, top + wt, w, bottom - wb - (top + wt)), QRect(sx, oy + wt, w, mh));
    };
    auto horizontal = [&](int dy, int sy, int h) {
        if (h > 0 && mw > 0)
            paint.Run(QRect(left + wl, dy, right - wr - (left + wl), h), QRect(ox + wl, sy, mw, h));
    };

    paint.Corner(left, top, ox, oy, wl, wt);
    vertical(left, ox, wl);
    horizontal(top, oy, wt);
    paint.Corner(left, bottom - wb, ox, oy + fh - wb, wl, wb);
    horizontal(bottom - wb, oy + fh - wb, wb);
    paint.Corner(right - wr, bottom - wb, ox + fw - wr, oy + fh - wb, wr, wb);
    paint.Corner(right - wr, top, ox + fw - wr, oy, wr, wt);
    vertical(right - wr, ox + fw - wr, wr);
    if (HasBorderFill(mask, FillMiddle) && mw > 0 && mh > 0)
        paint.Run(QRect(left + wl, top + wt, right - wr - (left + wl), bottom - wb - (top + wt)),
                  QRect(ox + wl, oy + wt, mw, mh));
}

void DrawCornerImage(Bitmap& b, QPoint at, VisualState state, const TsMaskData& mask,
                     CornerLook look, const ParentCacheInfo& p) {
    const Bitmap* image = MaskImage(mask);
    if (!image || mask.FrameCount <= 0)
        return;
    const int k = FrameIndex(mask, state);
    const int w = mask.FrameWidth(), h = mask.FrameHeight();
    const QRect src(mask.Area.Left + k * w, mask.Area.Top, w, h);
    if (mask.MaskKind != 0) {
        // Only the rows whose mask row lies in the picture too.
        const int maskRows = mask.Area.Height() / 2;
        const int firstRow = std::max(0, -maskRows);
        const QRect withMask(0, firstRow, image->Width(), image->Height() - maskRows - firstRow);
        const ConstRowsOf rows(*image);
        WalkPiece(
            b, at + (src.intersected(withMask).topLeft() - src.topLeft()), *image,
            src.intersected(withMask), [&](uint32_t& d, uint32_t s, int sx, int sy, int, int) {
                const int m = Byte(rows[sy + maskRows][sx], 16); // the red byte
                if (IsKey(s) || m == 255)
                    return;
                uint32_t out = 0;
                for (int shift = 0; shift < 24; shift += 8)
                    out |=
                        uint32_t(std::clamp(MaskBlend(Byte(d, shift), Byte(s, shift), m), 0, 255))
                        << shift;
                const int fourth = Byte(d, 24);
                out |= uint32_t(std::min(255, fourth + (255 - m) * (255 - fourth) / 255)) << 24;
                d = out;
            });
        return;
    }
    if (look == CornerLook::SeeThrough) {
        CopyKeyedPiece(b, at, *image, src, KeyPixels::ShowParent, p);
        return;
    }
    BlendOverPicture(b, src.topLeft(), kTransparentKey, 0.5, QRect(at, QSize(w, h)), *image);
}

// ---------------------------------------------------------------------------
// Sections
// ---------------------------------------------------------------------------

namespace {

// The values of a state's look: the section's own, or a control's colour
// alone.
OpaqueLayers LayersOf(const TsGenState& look, RgbColor ownColor, int& transparency) {
    static const TsGradArray kNoSteps;
    if (ownColor != kNoColor) {
        transparency = 0;
        return OpaqueLayers{ownColor, 0, 0, &kNoSteps};
    }
    transparency = std::clamp(look.Transparency, 0, 100);
    OpaqueLayers layers{StoredToRgb(look.Color), look.ImagePercent, look.GradientPercent,
                        &look.Gradient};
    if (transparency == 100)
        layers.ImagePercent = layers.GradientPercent = 0;
    return layers;
}

// Temporary pictures, kept between calls so that painting a control does
// not allocate: one per place that needs one (painting runs on one thread
// and none of these places calls itself).
enum ScratchSlot { ScratchGradient, ScratchBackground, kScratchSlots };
// `covered` says the caller paints every pixel anyway; otherwise the
// picture starts black, as a new one would.
Bitmap& Scratch(ScratchSlot slot, int w, int h, bool covered = false) {
    static Bitmap pictures[kScratchSlots];
    Bitmap& b = pictures[slot];
    if (b.Width() != w || b.Height() != h)
        b.SetSize(w, h);
    else if (!covered)
        b.Image().fill(0xFF000000u);
    return b;
}

// A gradient alone (or a flat colour) paints every pixel of its rectangle.
bool CoversAll(const OpaqueLayers& l) {
    return l.ImagePercent == 0 && (l.GradientPercent == 0 || ModeOf(*l.Gradient).has_value());
}

bool IsMaskedTexture(const TsSkinManager& m, int index) {
    return m.IsValidMask(index) && m.MaskTable()[index].MaskKind != 0;
}

const QString kPattern = QStringLiteral("PATTERN"), kHotPattern = QStringLiteral("HOTPATTERN");

int Percent255(int percent) {
    return std::clamp(percent * 255 / 100, 0, 255);
}

// Gradient and texture in equal measure, in one pass; false when the
// layers do not allow it.
bool FillGradientAndTexture(Bitmap& b, QRect r, const TsMaskData* tex, const OpaqueLayers& l) {
    const int i = l.ImagePercent, g = l.GradientPercent;
    // A negative mode paints no gradient but still takes this path.
    if (i + g != 100 || g <= 0 || g >= 100 || !tex || FillOf(*tex) != TextureFill::Tile ||
        tex->OwnImage || l.Gradient->empty() || l.Gradient->front().Mode > 1)
        return false;
    const Bitmap* image = MaskImage(*tex);
    if (!image)
        return false;
    PaintGradientWithTexture(
        b, r, *l.Gradient, Percent255(i), *image,
        QRect(tex->Area.Left, tex->Area.Top, tex->Area.Width(), tex->Area.Height()));
    return true;
}

// The texture (or pattern picture) with the colour where it leaves room;
// answers whether a picture was laid.
bool FillTextureLayer(Bitmap& b, QRect r, const TsSkinManager& manager, const TsMaskData* tex,
                      const OpaqueLayers& l) {
    QRect left = r;
    bool laid = true;
    if (tex && tex->MaskKind != 0) {
        FillWithMaskedTexture(b, r, ParentCacheInfo(), FillOf(*tex), *tex);
        const TextureFill mode = FillOf(*tex);
        left = mode == TextureFill::Tile || mode == TextureFill::WholeTiles ? QRect() : r;
    } else if (tex) {
        FillWithTexture(b, left, *tex);
    } else if (l.Picture >= 0 && l.Picture < int(manager.PatternTable().size())) {
        const Bitmap picture = PatternPicture(manager.PatternTable()[l.Picture]);
        FillWithPicture(b, left, picture);
    } else {
        laid = false;
    }
    FillRect(b, left, l.Color);
    return laid;
}

} // namespace

void FillOpaqueBackground(Bitmap& b, QRect r, const TsSkinManager& manager, const OpaqueLayers& l) {
    r = Clip(b, r);
    if (r.isEmpty())
        return;
    const int i = l.ImagePercent, g = l.GradientPercent;
    const TsMaskData* tex =
        manager.IsValidMask(l.Texture) ? &manager.MaskTable()[l.Texture] : nullptr;
    if (FillGradientAndTexture(b, r, tex, l))
        return;
    const bool laid = i > 0 && FillTextureLayer(b, r, manager, tex, l);
    if (g > 0) {
        if (laid) {
            Bitmap& over = Scratch(ScratchGradient, r.width(), r.height());
            PaintGradient(over, over.Rect(), *l.Gradient);
            BlendBitmap(b, r.topLeft(), over, Percent255(i));
        } else {
            PaintGradient(b, r, *l.Gradient);
        }
    }
    if (i + g == 0)
        FillRect(b, r, l.Color);
    else if (i + g < 100)
        BlendColorRect(b, r, i + g, l.Color);
}

namespace {

// The state's colour, gradient and texture mixed with the parent by the
// state's transparency t, into r. `p` addresses the pixel behind the
// control's top-left, q is the control's place in its parent.
void LayBackground(Bitmap& b, QRect r, const TsSkinManager& manager, const OpaqueLayers& layers,
                   int t, const ParentCacheInfo& p, QPoint q) {
    // Where the parent's picture lies behind r.
    const ParentCacheInfo behind = p.Moved(q).Moved(r.topLeft());
    const int px = behind.OffsetX, py = behind.OffsetY;
    // Text kept for dense screens is painted over, unless the picture shows
    // itself through unchanged.
    if (!(t == 100 && p.HasPicture() && p.Bitmap == &b))
        b.ForgetTexts(r);
    auto putParent = [&]() {
        if (p.HasPicture()) {
            if (p.Bitmap != &b)
                CopyFrom(b, r, *p.Bitmap, px, py);
        } else {
            FillRect(b, r, p.FillColor);
        }
    };
    if ((!p.HasPicture() && p.FillColor == kNoColor) || t == 0) {
        FillOpaqueBackground(b, r, manager, layers);
    } else if (t == 100) {
        putParent();
    } else if (p.HasPicture() || layers.GradientPercent + layers.ImagePercent != 0) {
        Bitmap& over = Scratch(ScratchBackground, r.width(), r.height(), CoversAll(layers));
        FillOpaqueBackground(over, over.Rect(), manager, layers);
        const int a = Percent255(t);
        if (p.HasPicture() && p.Bitmap != &b &&
            p.Bitmap->Rect().contains(QRect(QPoint(px, py), r.size()))) {
            BlendFrom(b, r, *p.Bitmap, px, py, over, a);
        } else {
            putParent();
            BlendBitmap(b, r.topLeft(), over, a);
        }
    } else {
        FillRect(b, r, MixColors(p.FillColor, layers.Color, t / 100.0));
    }
}

const SectionTextures& TexturesOf(const TsSkinManager& manager, const PaintRequest& request,
                                  SectionTextures& found) {
    if (request.Textures)
        return *request.Textures;
    found = BindSectionTextures(manager, request.Section,
                                manager.SectionTable()[request.Section].SectionName);
    return found;
}

void PaintBackground(const TsSkinManager& manager, const PaintRequest& request,
                     const SectionTextures& textures) {
    const TsGeneralData& d = manager.SectionTable()[request.Section];
    const QRect r = request.Area();
    const bool hot = ShowsHotLook(d, request.State);
    int t = 0;
    OpaqueLayers layers = LayersOf(LookFor(d, request.State), request.OwnColor, t);
    // The texture of this state; one with a mask half is laid at the end.
    if (layers.ImagePercent > 0) {
        layers.Texture = hot ? textures.HotPattern : textures.Pattern;
        if (IsMaskedTexture(manager, layers.Texture) || !manager.IsValidMask(layers.Texture)) {
            layers.Texture = -1;
            layers.Picture = hot ? textures.HotPatternPicture : textures.PatternPicture;
        }
    }
    LayBackground(request.Target, r, manager, layers, t, request.Parent, request.Position);
    if (request.State != VisualState::Normal)
        return;
    // The normal texture, when it has a mask half and lays whole tiles only,
    // goes over everything.
    const int masked = textures.Pattern;
    if (IsMaskedTexture(manager, masked) &&
        FillOf(manager.MaskTable()[masked]) == TextureFill::WholeTiles)
        FillWithMaskedTexture(request.Target, r, request.ParentBehindArea(),
                              TextureFill::WholeTiles, manager.MaskTable()[masked]);
}

bool Paintable(const TsSkinManager& manager, const PaintRequest& request) {
    return manager.IsValidSection(request.Section) && FitsInside(request.Target, request.Area());
}

} // namespace

SectionTextures BindSectionTextures(const TsSkinManager& manager, int section,
                                    const QString& sectionName) {
    if (!manager.IsValidSection(section))
        return {};
    return SectionTextures{
        .Pattern = manager.FindTexture(section, sectionName, kPattern),
        .HotPattern = manager.FindTexture(section, sectionName, kHotPattern),
        .PatternPicture = manager.FindPattern(section, sectionName, kPattern),
        .HotPatternPicture = manager.FindPattern(section, sectionName, kHotPattern),
    };
}

void RenderSectionBackground(const TsSkinManager& manager, const PaintRequest& request) {
    if (!Paintable(manager, request))
        return;
    SectionTextures found;
    PaintBackground(manager, request, TexturesOf(manager, request, found));
}

void DrawSectionCorners(Bitmap& b, QRect r, VisualState state, const TsSkinManager& manager,
                        const TsGeneralData& d) {
    const int corners[4] = {d.CornerTopLeft, d.CornerTopRight, d.CornerBottomLeft,
                            d.CornerBottomRight};
    for (int c = 0; c < 4; ++c) {
        if (!manager.IsValidMask(corners[c]))
            continue;
        const TsMaskData& m = manager.MaskTable()[corners[c]];
        const int x = c % 2 == 0 ? r.left() : r.left() + r.width() - m.FrameWidth();
        const int y = c < 2 ? r.top() : r.top() + r.height() - m.FrameHeight();
        // Their see-through pixels keep what the background put there.
        DrawCornerImage(b, QPoint(x, y), state, m, CornerLook::SeeThrough,
                        ParentCacheInfo::Picture(&b, x, y));
    }
}

void RenderSectionByIndex(const TsSkinManager& manager, const PaintRequest& request) {
    if (!Paintable(manager, request))
        return;
    const TsGeneralData& d = manager.SectionTable()[request.Section];
    PaintRequest clamped = request;
    clamped.State = ClampState(d, request.State);
    SectionTextures found;
    PaintBackground(manager, clamped, TexturesOf(manager, request, found));
    const QRect r = request.Area();
    DrawSectionCorners(request.Target, r, clamped.State, manager, d);
    if (manager.IsValidMask(d.BordersMask))
        DrawBorderMask(request.Target, r, KeyPixels::ShowParent, clamped.State,
                       manager.MaskTable()[d.BordersMask], request.ParentBehindArea());
}

void RenderSectionFast(const TsSkinManager& manager, const PaintRequest& request, int borderMask) {
    if (!Paintable(manager, request))
        return;
    const TsGeneralData& d = manager.SectionTable()[request.Section];
    const VisualState state = ClampState(d, request.State);
    // The background without a texture.
    int t = 0;
    OpaqueLayers layers = LayersOf(LookFor(d, state), kNoColor, t);
    layers.ImagePercent = 0;
    LayBackground(request.Target, request.Area(), manager, layers, t, request.Parent,
                  request.Position);
    if (manager.IsValidMask(borderMask))
        DrawBorderMask(request.Target, request.Area(), KeyPixels::ShowParent, state,
                       manager.MaskTable()[borderMask], request.ParentBehindArea());
}

} // namespace skin
