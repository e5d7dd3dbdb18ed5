#include "skin/data/BorderFrame.h"

#include "skin/data/SkinColors.h"

#include <algorithm>
#include <array>

namespace skin {

namespace {

// Shrinks two opposite widths that do not fit a length.
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

// The four corner pieces in a frame's coordinates, and where each lies over
// a rectangle of `size` (top-left, top-right, bottom-left, bottom-right).
struct Corner {
    QRect Piece;
    QPoint At;
};
std::array<Corner, 4> CornersOf(QMargins s, QSize frame, QSize size) {
    const int fw = frame.width(), fh = frame.height();
    return {{
        {QRect(0, 0, s.left(), s.top()), QPoint(0, 0)},
        {QRect(fw - s.right(), 0, s.right(), s.top()), QPoint(size.width() - s.right(), 0)},
        {QRect(0, fh - s.bottom(), s.left(), s.bottom()), QPoint(0, size.height() - s.bottom())},
        {QRect(fw - s.right(), fh - s.bottom(), s.right(), s.bottom()),
         QPoint(size.width() - s.right(), size.height() - s.bottom())},
    }};
}

} // namespace

BorderFrame BorderFrame::Measure(QMargins sides, QSize frame, QPoint first, int frameCount,
                                 const platform::Bitmap& picture) {
    BorderFrame f;
    if (frameCount <= 0 || frame.isEmpty())
        return f;
    // Sides wider than the frame leave no middle: such a border paints
    // nothing (see FittedTo's callers); they are kept as the skin says.
    f.Sides = QMargins(std::max(sides.left(), 0), std::max(sides.top(), 0),
                       std::max(sides.right(), 0), std::max(sides.bottom(), 0));
    f.Frame = frame;
    f.FirstFrame = first;
    f.FrameCount = frameCount;
    // Frames past the picture's right edge show nothing and need no runs.
    const QRect inPicture = picture.Rect();
    for (int k = 0; k < frameCount && f.Origin(k).x() < inPicture.width(); ++k) {
        const QPoint origin = f.Origin(k);
        const QRect visible = QRect(origin, frame).intersected(inPicture);
        std::vector<QRect> runs;
        for (const Corner& c : CornersOf(f.Sides, frame, frame)) {
            const QRect src = c.Piece.translated(origin).intersected(visible);
            for (int y = src.top(); y <= src.bottom(); ++y) {
                const uint32_t* row = picture.ScanLine(y);
                for (int x = src.left(); x <= src.right();) {
                    if ((row[x] & 0xFFFFFF) != kTransparentKey) {
                        ++x;
                        continue;
                    }
                    const int start = x;
                    while (x <= src.right() && (row[x] & 0xFFFFFF) == kTransparentKey)
                        ++x;
                    runs.push_back(QRect(start - origin.x(), y - origin.y(), x - start, 1));
                }
            }
        }
        f.SeeThrough.push_back(std::move(runs));
    }
    return f;
}

QMargins BorderFrame::FittedTo(QSize size) const {
    int l = Sides.left(), t = Sides.top(), r = Sides.right(), b = Sides.bottom();
    FitWidths(l, r, size.width());
    FitWidths(t, b, size.height());
    return QMargins(l, t, r, b);
}

std::vector<QRect> BorderFrame::SeeThroughOver(int frame, QSize size) const {
    std::vector<QRect> out;
    if (frame < 0 || frame >= int(SeeThrough.size()))
        return out;
    for (const Corner& c : CornersOf(FittedTo(size), Frame, size))
        for (const QRect& run : SeeThrough[size_t(frame)])
            if (const QRect part = run.intersected(c.Piece); !part.isEmpty())
                out.push_back(part.translated(c.At - c.Piece.topLeft()));
    return out;
}

} // namespace skin
