// The one place where a cached picture reaches the screen: every control
// that paints from a Bitmap calls this from its paintEvent. Device pixel
// ratios are handled here and nowhere else: at a ratio of 2 every picture
// pixel becomes a 2 × 2 block (never smoothed), and the text kept with the
// picture is drawn again at the device's resolution.
#pragma once

#include "platform/Bitmap.h"

#include <QPainter>
#include <QRect>

namespace platform {

// Draws `source` of the picture (all of it when empty) with its top-left
// at `at`, in the painter's logical pixels, one picture pixel a pixel.
void DrawBitmap(QPainter& painter, QPoint at, const Bitmap& picture, QRect source = QRect());

// Device pixels per logical pixel of what the painter paints on: its
// device's ratio rounded to a whole number, at least 1.
int DeviceScale(const QPainter& painter);

// The picture at `scale` device pixels per pixel (its ratio set to `scale`):
// each pixel as a scale × scale block, with the kept text taken off and drawn
// again at that resolution. Kept with the picture until its pixels change.
const QImage& DeviceImage(const Bitmap& picture, int scale);

} // namespace platform
