#include "platform/DrawBitmap.h"

namespace platform {

void DrawBitmap(QPainter& painter, QPoint at, const Bitmap& picture, QRect source) {
    if (picture.Empty())
        return;
    // Skin pixels are never smoothed when a device scales them.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(at, picture.Image(), source.isEmpty() ? picture.Rect() : source);
}

} // namespace platform
