#include "platform/DrawBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

namespace platform {

namespace {

// A pixel painted over kept text after it was drawn, with its value.
struct PaintedOver {
    QPoint At;
    QRgb Pixel;
};

// Takes the text off where its area still holds what the text left there;
// what was painted over it since stays, and is noted to go over it again.
// False when nothing of the text is left.
bool TakeOff(QImage& plain, const TextStamp& t, std::vector<PaintedOver>& over) {
    const QRect& a = t.Area;
    if (t.Before.size() != a.size() || t.After.size() != a.size() ||
        t.After.format() != plain.format())
        return false;
    const size_t bytes = size_t(a.width()) * 4;
    bool left = false;
    for (int y = 0; y < a.height(); ++y) {
        auto* now = reinterpret_cast<QRgb*>(plain.scanLine(a.top() + y)) + a.left();
        const auto* after = reinterpret_cast<const QRgb*>(t.After.constScanLine(y));
        const auto* before = reinterpret_cast<const QRgb*>(t.Before.constScanLine(y));
        if (std::memcmp(now, after, bytes) == 0) {
            std::memcpy(now, before, bytes);
            left = true;
            continue;
        }
        for (int x = 0; x < a.width(); ++x) {
            if (now[x] == after[x]) {
                now[x] = before[x];
                left = true;
            } else {
                over.push_back({QPoint(a.left() + x, a.top() + y), now[x]});
            }
        }
    }
    return left;
}

void DrawAgain(QPainter& p, const TextStamp& t) {
    p.setClipRect(t.Area);
    if (!t.Picture.isNull()) {
        p.drawImage(QRectF(t.Rect), t.Picture);
        return;
    }
    if (t.Background.isValid())
        p.fillRect(t.Rect, t.Background);
    p.setFont(t.Font);
    p.setPen(t.Color);
    p.drawText(t.Rect, t.QtFlags, t.Text);
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
    // Newest first, each text comes off the picture where it still shows.
    QImage plain = picture.Image();
    std::vector<bool> redraw(texts.size(), false);
    std::vector<std::vector<PaintedOver>> over(texts.size());
    for (size_t i = texts.size(); i-- > 0;)
        redraw[i] = TakeOff(plain, texts[i], over[i]);
    QImage out = Blocks(plain, scale);
    out.setDevicePixelRatio(scale);
    if (texts.empty())
        return out;
    // Oldest first, each text drawn again, then what went over it.
    QPainter p(&out);
    for (size_t i = 0; i < texts.size(); ++i) {
        if (!redraw[i])
            continue;
        DrawAgain(p, texts[i]);
        if (over[i].empty())
            continue;
        p.setClipping(false);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        for (const PaintedOver& o : over[i])
            p.fillRect(QRect(o.At, QSize(1, 1)), QColor::fromRgba(o.Pixel));
        p.setCompositionMode(QPainter::CompositionMode_SourceOver);
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
