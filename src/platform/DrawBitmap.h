// The one place where a cached picture reaches the screen: every control
// that paints from a Bitmap calls this from its paintEvent. Device pixel
// ratios are handled here and nowhere else.
#pragma once

#include "platform/Bitmap.h"

#include <QPainter>
#include <QRect>

namespace platform {

// Draws `source` of the picture (all of it when empty) with its top-left
// at `at`, in the painter's logical pixels, one picture pixel a pixel.
void DrawBitmap(QPainter& painter, QPoint at, const Bitmap& picture, QRect source = QRect());

} // namespace platform
