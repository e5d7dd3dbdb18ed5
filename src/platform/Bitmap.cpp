#include "platform/Bitmap.h"

#include <algorithm>

#include <QFile>
#include <QFileInfo>
#include <QImageReader>
#include <cstring>
#include <stdexcept>

namespace platform {

Bitmap::Bitmap(int width, int height) {
    SetSize(width, height);
}

Bitmap::Bitmap(QImage image) {
    sourceBits_ = image.depth() == 32 ? 32 : 24;
    image_ = image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_ARGB32)
                                     : image.convertToFormat(QImage::Format_RGB32);
}

void Bitmap::SetSize(int width, int height) {
    width = std::max(width, 0);
    height = std::max(height, 0);
    if (width == Width() && height == Height() && !image_.isNull())
        return;
    texts_.clear();
    if (width == 0 || height == 0) {
        image_ = QImage();
        return;
    }
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(0xFF000000u);
}

Bitmap Bitmap::Unfilled(int width, int height) {
    Bitmap b;
    if (width > 0 && height > 0)
        b.image_ = QImage(width, height, QImage::Format_RGB32);
    return b;
}

TColor Bitmap::Pixel(int x, int y) const {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return clNone;
    return static_cast<TColor>(ColorFromPixel(ScanLine(y)[x]));
}

void Bitmap::SetPixel(int x, int y, TColor c) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    ScanLine(y)[x] = PixelFromColor(ColorToRGB(c));
}

namespace {

// The bits per pixel a BMP file declares; 0 for anything else.
int BmpBitsPerPixel(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray head = f.read(30);
    if (head.size() < 30 || !head.startsWith("BM"))
        return 0;
    return static_cast<uint8_t>(head[28]) | (static_cast<uint8_t>(head[29]) << 8);
}

} // namespace

Bitmap Bitmap::Load(const QString& path) {
    // The format is taken from the name's suffix; guessing it from the
    // content would load every image plugin Qt has.
    QImageReader reader(path, QFileInfo(path).suffix().toLatin1());
    reader.setAutoDetectImageFormat(false);
    QImage img = reader.read();
    if (img.isNull())
        throw std::runtime_error("Cannot load picture \"" + path.toStdString() +
                                 "\": " + reader.errorString().toStdString());
    Bitmap b(std::move(img));
    if (const int bits = BmpBitsPerPixel(path))
        b.sourceBits_ = bits;
    return b;
}

bool Bitmap::operator==(const Bitmap& other) const {
    if (Width() != other.Width() || Height() != other.Height())
        return false;
    for (int y = 0; y < Height(); ++y) {
        const uint32_t* a = ScanLine(y);
        const uint32_t* b = other.ScanLine(y);
        for (int x = 0; x < Width(); ++x)
            if ((a[x] & 0xFFFFFF) != (b[x] & 0xFFFFFF))
                return false;
    }
    return true;
}

namespace {

// Kept text is bounded: a cache painted over and over without a fill that
// covers its text would otherwise grow without end.
constexpr size_t kMostTexts = 64;

// Whether any pixel of `area` still holds what `patch` has there.
bool AnyPixelSame(const QImage& image, const QRect& area, const QImage& patch) {
    if (patch.size() != area.size())
        return false;
    for (int y = 0; y < area.height(); ++y) {
        const auto* now = reinterpret_cast<const uint32_t*>(image.constScanLine(area.top() + y));
        const auto* kept = reinterpret_cast<const uint32_t*>(patch.constScanLine(y));
        for (int x = 0; x < area.width(); ++x)
            if (now[area.left() + x] == kept[x])
                return true;
    }
    return false;
}

} // namespace

void Bitmap::AddText(TextStamp stamp) {
    // Text painted over entirely that no later text covers can never be
    // taken off again: let it go.
    for (size_t i = texts_.size(); i-- > 0;) {
        const QRect area = texts_[i].Area;
        if (AnyPixelSame(image_, area, texts_[i].After))
            continue;
        bool covered = false;
        for (size_t j = i + 1; j < texts_.size() && !covered; ++j)
            covered = texts_[j].Area.intersects(area);
        if (!covered)
            texts_.erase(texts_.begin() + qsizetype(i));
    }
    if (texts_.size() >= kMostTexts)
        texts_.erase(texts_.begin());
    texts_.push_back(std::move(stamp));
}

void Bitmap::ForgetTextsIn(const QRect& area) {
    std::erase_if(texts_, [&](const TextStamp& t) { return area.contains(t.Area); });
}

void Bitmap::TakeTextsFrom(const Bitmap& source, const QRect& area, QPoint delta) {
    if (&source == this)
        return;
    for (const TextStamp& t : source.texts_) {
        const QRect at = t.Area.translated(-delta);
        if (!area.contains(at))
            continue;
        TextStamp moved = t;
        moved.Area = at;
        moved.Rect = t.Rect.translated(-delta);
        texts_.push_back(std::move(moved));
    }
    if (texts_.size() > kMostTexts)
        texts_.erase(texts_.begin(), texts_.end() - qsizetype(kMostTexts));
}

LaidTexts::LaidTexts(Bitmap& target, const Bitmap& layer, QPoint shift) : target_(target) {
    for (const TextStamp& t : layer.Texts()) {
        TextStamp moved = t;
        moved.Area = t.Area.translated(shift).intersected(target.Rect());
        if (moved.Area.isEmpty())
            continue;
        moved.Rect = t.Rect.translated(shift);
        moved.Before = target.Image().copy(moved.Area);
        texts_.push_back(std::move(moved));
    }
}

LaidTexts::~LaidTexts() {
    for (TextStamp& t : texts_) {
        t.After = target_.Image().copy(t.Area);
        target_.AddText(std::move(t));
    }
}

void FillPixels(Bitmap& b, QRect area, uint32_t pixel) {
    area = area.intersected(b.Rect());
    b.ForgetTexts(area);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::fill_n(b.ScanLine(y) + area.left(), area.width(), pixel);
}

void CopyPixels(Bitmap& b, QRect area, const Bitmap& source, QPoint from) {
    const QPoint delta = from - area.topLeft();
    area = area.intersected(b.Rect()).intersected(source.Rect().translated(-delta));
    b.ForgetTexts(area);
    b.TakeTexts(source, area, delta);
    for (int y = area.top(); y <= area.bottom(); ++y)
        std::copy_n(source.ScanLine(y + delta.y()) + area.left() + delta.x(), area.width(),
                    b.ScanLine(y) + area.left());
}

} // namespace platform
