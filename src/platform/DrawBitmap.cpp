#include "platform/DrawBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform {

namespace {

bool Holds(const QImage& image, const QRect& area, const QImage& patch) {
    if (patch.size() != area.size() || patch.format() != image.format())
        return false;
    const size_t bytes = size_t(area.width()) * 4;
    for (int y = 0; y < area.height(); ++y)
        if (std::memcmp(image.constScanLine(area.top() + y) + area.left() * 4,
                        patch.constScanLine(y), bytes) != 0)
            return false;
    return true;
}

void Put(QImage& image, const QRect& area, const QImage& patch) {
    const size_t bytes = size_t(area.width()) * 4;
    for (int y = 0; y < area.height(); ++y)
        std::memcpy(image.scanLine(area.top() + y) + area.left() * 4, patch.constScanLine(y),
                    bytes);
}

// Each pixel as a scale × scale block.
QImage Blocks(const QImage& image, int scale) {
    QImage out(image.width() * scale, image.height() * scale, image.format());
    for (int y = 0; y < image.height(); ++y) {
        const auto* in = reinterpret_cast<const uint32_t*>(image.constScanLine(y));
        auto* row = reinterpret_cast<uint32_t*>(out.scanLine(y * scale));
        for (int x = 0; x < image.width(); ++x)
            std::fill_n(row + x * scale, scale, in[x]);
        for (int k = 1; k < scale; ++k)
            std::memcpy(out.scanLine(y * scale + k), row, size_t(out.bytesPerLine()));
    }
    return out;
}

QImage MakeDeviceImage(const Bitmap& picture, int scale) {
    const std::vector<TextStamp>& texts = picture.Texts();
    // Take the text off, newest first, where its area still holds what the
    // text left there; text painted over since stays as it is.
    QImage plain = picture.Image();
    std::vector<bool> redraw(texts.size(), false);
    for (size_t i = texts.size(); i-- > 0;) {
        const TextStamp& t = texts[i];
        if (!Holds(plain, t.Area, t.After) || t.Before.size() != t.Area.size())
            continue;
        Put(plain, t.Area, t.Before);
        redraw[i] = true;
    }
    QImage out = Blocks(plain, scale);
    out.setDevicePixelRatio(scale);
    if (texts.empty())
        return out;
    QPainter p(&out);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (!redraw[i])
            continue;
        const TextStamp& t = texts[i];
        p.setClipRect(t.Area);
        if (!t.Picture.isNull()) {
            p.drawImage(QRectF(t.Rect), t.Picture);
            continue;
        }
        if (t.Background.isValid())
            p.fillRect(t.Rect, t.Background);
        p.setFont(t.Font);
        p.setPen(t.Color);
        p.drawText(t.Rect, t.QtFlags, t.Text);
    }
    return out;
}

} // namespace

int DeviceScale(const QPainter& painter) {
    const QPaintDevice* device = painter.device();
    if (!device)
        return 1;
    return std::max(1, int(std::lround(device->devicePixelRatio())));
}

const QImage& DeviceImage(const Bitmap& picture, int scale) {
    Bitmap::DevicePicture& kept = picture.DeviceCache();
    const qint64 key = picture.Image().cacheKey();
    if (kept.Scale != scale || kept.Key != key || kept.Image.isNull()) {
        kept.Image = MakeDeviceImage(picture, scale);
        kept.Scale = scale;
        kept.Key = key;
    }
    return kept.Image;
}

void DrawBitmap(QPainter& painter, QPoint at, const Bitmap& picture, QRect source) {
    if (picture.Empty())
        return;
    // Skin pixels are never smoothed when a device scales them.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    if (source.isEmpty())
        source = picture.Rect();
    const int scale = DeviceScale(painter);
    if (scale == 1) {
        painter.drawImage(at, picture.Image(), source);
        return;
    }
    // One device pixel for one device pixel: Qt has nothing to scale.
    painter.drawImage(QRectF(at, source.size()), DeviceImage(picture, scale),
                      QRectF(source.topLeft() * scale, source.size() * scale));
}

} // namespace platform
