#include "skin/draw/SkinPaint.h"

#include "skin/draw/Pixels.h"

#include <algorithm>
#include <optional>
#include <vector>

namespace skin {

using namespace pixels;

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

} // namespace

void CopyMaskedPiece(Bitmap& b, QRect dst, QRect src, const TsMaskData& mask, const Bitmap& image,
                     KeyPixels keys, const ParentCacheInfo& p, PaintScratch& scratch) {
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
    if (y1 <= y0)
        return;
    uint32_t* blended = scratch.RunOf(PaintScratch::BlendedRow, x1 - x0);
    const Rows rows(b);
    const Rows pictureRows(image);
    for (int y = y0; y < y1; ++y) {
        const int sy = src.top() + y;
        uint32_t* row = rows[dst.top() + y] + dst.left();
        const uint32_t* pic = pictureRows[sy] + src.left();
        const uint32_t* msk = pictureRows[std::min(sy + maskRows, ih - 1)] + src.left();
        BlendRun(row + x0, pic + x0, msk + x0, blended, x1 - x0);
        for (int x = x0; x < x1; ++x) {
            const uint32_t mixed = (blended[x - x0] & kRgbMask) | (row[x] & 0xFF000000u);
            if (!IsKey(pic[x]) || (picture && !corners)) {
                // With a picture behind and the corners flag, the piece is opaque.
                row[x] = picture && corners ? mixed | 0xFF000000u : mixed;
            } else if (picture) {
                const uint32_t* parent = p.PixelAt(x, y);
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
                                     const Bitmap& image, PaintScratch& scratch) {
    const int maskRows = mask.Area.Height() / 2;
    piece = piece.intersected(image.Rect());
    const QRect clipped = Clip(b, dst);
    if (piece.isEmpty() || clipped.isEmpty())
        return;
    const int pw = piece.width(), ph = piece.height(), ih = image.Height();
    const int n = clipped.width();
    // The piece's row repeated along the run, picture and mask, so that one
    // long loop blends the whole run.
    uint32_t* pics = scratch.RunOf(PaintScratch::PieceRow, n);
    uint32_t* masks = scratch.RunOf(PaintScratch::PieceMask, n);
    uint32_t* blended = scratch.RunOf(PaintScratch::BlendedRow, n);
    const Rows rows(b);
    const Rows pictureRows(image);
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
            std::copy_n(pics, count, pics + filled);
            std::copy_n(masks, count, masks + filled);
        }
        uint32_t* row = rows[y] + clipped.left();
        BlendRun(row, pics, masks, blended, n);
        // Key pixels leave the destination; the fourth byte is the destination's.
        for (int x = 0; x < n; ++x)
            row[x] = IsKey(pics[x]) ? row[x] : (blended[x] & kRgbMask) | (row[x] & 0xFF000000u);
    }
}

// Draws the pieces of one frame: masked pieces blend by their mask; plain
// corners are keyed, plain edges copied as they are (stretched once with
// StretchEdges, else tiled).
class BorderPainter {
public:
    BorderPainter(Bitmap& b, QRect r, KeyPixels keys, const TsMaskData& mask, const Bitmap& image,
                  const ParentCacheInfo& p)
        : b_(b), r_(r), keys_(keys), mask_(mask), image_(image), p_(p), masked_(mask.MaskKind != 0),
          stretch_(!masked_ && HasBorderFill(mask, StretchEdges)), scratch_(mask.Owner->Scratch()) {
    }

    void Corner(int dx, int dy, int sx, int sy, int w, int h) const {
        if (w <= 0 || h <= 0)
            return;
        const ParentCacheInfo at = p_.Moved(dx - r_.left(), dy - r_.top());
        if (masked_)
            CopyMaskedPiece(b_, QRect(dx, dy, w, h), QRect(sx, sy, w, h), mask_, image_, keys_, at,
                            scratch_);
        else
            CopyKeyedPiece(b_, QPoint(dx, dy), image_, QRect(sx, sy, w, h), keys_, at);
    }
    void Run(QRect dst, QRect src) const {
        if (dst.isEmpty() || src.isEmpty())
            return;
        if (masked_)
            TileMasked(b_, dst, src, mask_, image_, scratch_);
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
    PaintScratch& scratch_;
};

} // namespace

void DrawBorderMask(Bitmap& b, QRect r, KeyPixels keys, VisualState state, const TsMaskData& mask,
                    const ParentCacheInfo& p) {
    if ((state == VisualState::Normal && HasBorderFill(mask, NoneWhenNormal)) || r.width() < 2 ||
        r.height() < 2 || !mask.Owner)
        return;
    const Bitmap* image = MaskImage(mask);
    const BorderFrame& frame = mask.Border();
    if (!image || frame.Empty())
        return;
    const QMargins sides = frame.FittedTo(r.size());
    const int wl = sides.left(), wt = sides.top(), wr = sides.right(), wb = sides.bottom();
    const int fw = frame.Frame.width(), fh = frame.Frame.height();
    const int mw = fw - wl - wr, mh = fh - wt - wb;
    if (mw < 0 || mh < 0)
        return;
    const QPoint origin = frame.Origin(FrameIndex(mask, state));
    const int ox = origin.x(), oy = origin.y();
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
        const Rows rows(*image);
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

} // namespace skin
