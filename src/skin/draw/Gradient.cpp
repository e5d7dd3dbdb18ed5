#include "skin/draw/SkinPaint.h"

#include "skin/draw/Pixels.h"

#include <algorithm>
#include <cmath>

namespace skin {

using namespace pixels;

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
            line(at + i,
                 Interpolate(uint32_t(Value(s.StartColor)), uint32_t(Value(s.EndColor)), i, n));
        at += n;
    }
}

// The four triangles of mode 2: corners and middle take the start colours
// of steps 0 to 4 (top-left, middle, top-right, bottom-right, bottom-left).
void PaintTriangles(Bitmap& b, QRect r, const TsGradArray& steps) {
    uint32_t c[5];
    for (int i = 0; i < 5; ++i)
        c[i] = uint32_t(Value(steps[std::min<size_t>(i, steps.size() - 1)].StartColor));
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

} // namespace skin
