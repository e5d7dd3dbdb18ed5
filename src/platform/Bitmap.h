// A 32-bit picture: rows of blue, green, red and a fourth byte. A QImage sits
// underneath so that Qt can draw text into it and show it; pixel work goes
// through row pointers (ScanLine), never per-pixel calls in loops.
#pragma once

#include "platform/Colors.h"

#include <QColor>
#include <QFont>
#include <QImage>
#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

namespace platform {

// Text (or a small picture of finer pixels than ours, an icon) drawn into a
// picture while a high-density screen is present, kept so that it can be
// drawn again at the device's resolution: what was drawn, and the pixels of
// its area before and after, so that it can be taken off again while its
// area still holds exactly what it left there.
struct TextStamp {
    QString Text;
    QImage Picture; // when set, drawn into Rect in place of text
    QRect Rect;     // the text's rectangle, in picture pixels
    QRect Area;     // the pixels the text may touch (its clip), in picture pixels
    int QtFlags = 0;
    QFont Font;
    QColor Color;
    QColor Background; // invalid: drawn over what was there
    QImage Before, After;
};

class Bitmap {
public:
    Bitmap() = default;
    Bitmap(int width, int height);
    explicit Bitmap(QImage image);

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }
    bool Empty() const { return image_.isNull(); }
    QRect Rect() const { return QRect(0, 0, Width(), Height()); }
    // Bytes from one row to the next.
    int Pitch() const { return static_cast<int>(image_.bytesPerLine()); }

    // Resizes; a new picture is black. Asking for the current size keeps it.
    void SetSize(int width, int height);

    // Row y as pixels 0xXXRRGGBB (bytes blue, green, red, fourth in memory).
    uint32_t* ScanLine(int y) { return reinterpret_cast<uint32_t*>(image_.scanLine(y)); }
    const uint32_t* ScanLine(int y) const {
        return reinterpret_cast<const uint32_t*>(image_.constScanLine(y));
    }

    // Single pixels as TColor (0x00BBGGRR); outside the picture reads clNone.
    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

    // The bits per pixel of the picture this bitmap was loaded from (24 or
    // 32; 32 for a bitmap made in memory). Pixels are always stored 32-bit.
    int SourceBitsPerPixel() const { return sourceBits_; }
    void SetSourceBitsPerPixel(int bits) { sourceBits_ = bits; }

    QImage& Image() { return image_; }
    const QImage& Image() const { return image_; }

    // A picture whose pixels are not set yet, for code that writes every one.
    static Bitmap Unfilled(int width, int height);

    // Loads a picture from a file or a Qt resource path; throws on failure.
    static Bitmap Load(const QString& path);

    bool operator==(const Bitmap& other) const;

    // Text kept for high-density screens, oldest first (empty at ratio 1).
    const std::vector<TextStamp>& Texts() const { return texts_; }
    void AddText(TextStamp stamp);
    // Forgets the kept text lying wholly inside `area`: its pixels are gone.
    void ForgetTexts(const QRect& area) {
        if (!texts_.empty())
            ForgetTextsIn(area);
    }
    // Takes over the kept text of `source` that lies wholly in `area` of
    // this picture, where source pixel p + delta lands on p.
    void TakeTexts(const Bitmap& source, const QRect& area, QPoint delta) {
        if (!source.texts_.empty())
            TakeTextsFrom(source, area, delta);
    }

    // The picture at `scale` device pixels per pixel, made by DrawBitmap and
    // kept while the pixels stay the same.
    struct DevicePicture {
        qint64 Key = 0;
        int Scale = 0;
        QImage Image;
    };
    DevicePicture& DeviceCache() const { return device_; }

private:
    void ForgetTextsIn(const QRect& area);
    void TakeTextsFrom(const Bitmap& source, const QRect& area, QPoint delta);

    QImage image_;
    int sourceBits_ = 32;
    std::vector<TextStamp> texts_;
    mutable DevicePicture device_;
};

// Pixel work that lays a picture holding text over another (blending, say)
// takes the text along: made before the work, it notes the target's pixels
// under the layer's text; its end keeps the text with the target.
class LaidTexts {
public:
    LaidTexts(Bitmap& target, const Bitmap& layer, QPoint shift);
    ~LaidTexts();
    LaidTexts(const LaidTexts&) = delete;
    LaidTexts& operator=(const LaidTexts&) = delete;

private:
    Bitmap& target_;
    std::vector<TextStamp> texts_;
};

// The two pixel loops that the canvas and the skin painting share. Both
// clip to the picture first and take each row's pointer once.
// Sets every pixel of `area` (clipped to the picture) to `pixel`.
void FillPixels(Bitmap& b, QRect area, uint32_t pixel);
// Copies pixels so that source pixel p + (from − area.topLeft()) lands on
// target pixel p, for the p of `area` that lie in both pictures.
void CopyPixels(Bitmap& b, QRect area, const Bitmap& source, QPoint from);

// Converts between a TColor and the in-memory pixel word.
constexpr uint32_t PixelFromColor(uint32_t rgb) {
    return 0xFF000000u | ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}
constexpr uint32_t ColorFromPixel(uint32_t px) {
    return ((px >> 16) & 0xFF) | (px & 0xFF00) | ((px & 0xFF) << 16);
}

} // namespace platform
