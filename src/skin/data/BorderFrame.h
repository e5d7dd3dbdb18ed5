// The nine-part geometry of a border mask, worked out once per skin load (at
// the mask's first use) and read by everyone who needs it: painting the
// border, the window's outline and the drop-downs' rounded corners.
//
//   one frame of the mask's picture         the frame laid over a rectangle
//   +----+-----------+----+                 +----+-------------------+----+
//   | TL |    top    | TR |                 | TL |  top, repeated    | TR |
//   +----+-----------+----+                 +----+-------------------+----+
//   |left|  middle   |rght|     --->        |left|                   |rght|
//   +----+-----------+----+                 +----+-------------------+----+
//   | BL |  bottom   | BR |                 | BL |  bottom, repeated | BR |
//   +----+-----------+----+                 +----+-------------------+----+
//
// The frames of the states lie side by side in the picture. Sides wider
// than the rectangle are fitted into it: two opposite sides give up
// equally, the second one pixel more when the length is odd. Magenta
// pixels of the corner pieces are see-through: the parent shows there, and
// the window's outline leaves them out.
#pragma once

#include "platform/Bitmap.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <vector>

namespace skin {

struct BorderFrame {
    QMargins Sides;    // the border's widths: left, top, right, bottom
    QSize Frame;       // one frame
    QPoint FirstFrame; // the first frame's top-left in the picture
    int FrameCount = 0;
    // Of each frame that lies in the picture: its see-through runs (one
    // row high) in the four corner pieces, in the frame's coordinates.
    std::vector<std::vector<QRect>> SeeThrough;

    // A border with `frameCount` frames of `frame` side by side from `first`
    // in `picture`, its sides clamped to the frame.
    static BorderFrame Measure(QMargins sides, QSize frame, QPoint first, int frameCount,
                               const platform::Bitmap& picture);

    bool Empty() const { return FrameCount <= 0 || Frame.isEmpty(); }
    // Frame k's top-left in the picture.
    QPoint Origin(int frame) const { return FirstFrame + QPoint(frame * Frame.width(), 0); }
    // The sides fitted into a rectangle of this size.
    QMargins FittedTo(QSize size) const;
    // The see-through pixels of frame k laid over a rectangle of this size,
    // as rectangles in the rectangle's coordinates.
    std::vector<QRect> SeeThroughOver(int frame, QSize size) const;
};

} // namespace skin
