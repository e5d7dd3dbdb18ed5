// Drawing on a Bitmap: block and stretch copies, fills, single pixels, a clip
// rectangle and a movable origin, and text output and measuring with the
// format flags the program uses. Coordinates given to drawing calls are
// relative to the origin; the clip rectangle is in bitmap coordinates.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Fonts.h"

#include <QFontMetrics>
#include <QPoint>
#include <QRect>
#include <QString>
#include <cstdint>

namespace platform {

// Text format flags.
enum TextFormat : uint32_t {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_NOCLIP = 0x100,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_END_ELLIPSIS = 0x8000
};

class Canvas {
public:
    explicit Canvas(Bitmap& target);

    Bitmap& Target() { return target_; }

    // Drawing is limited to the clip rectangle (always inside the bitmap).
    void SetClipRect(const QRect& r) { clip_ = r.intersected(target_.Rect()); }
    void ResetClip() { clip_ = target_.Rect(); }
    QRect ClipRect() const { return clip_; }

    void SetOrigin(QPoint p) { origin_ = p; }
    void MoveOrigin(int dx, int dy) { origin_ += QPoint(dx, dy); }
    QPoint Origin() const { return origin_; }

    TFont Font;
    // Text is drawn over what is there unless a background colour is set.
    TColor TextBackground = clNone;

    void FillRect(const QRect& r, TColor color);
    // Copies the whole of src with its top-left corner at (x, y).
    void Draw(int x, int y, const Bitmap& src);
    // Copies srcRect of src to dst; stretches (nearest pixel) when the sizes differ.
    void CopyRect(const QRect& dst, const Bitmap& src, const QRect& srcRect);
    void StretchDraw(const QRect& dst, const Bitmap& src) { CopyRect(dst, src, src.Rect()); }
    // Draws a picture that is not ours (an icon) scaled into dst, never
    // smoothed; on a dense screen it is drawn again from its own pixels.
    void DrawPicture(const QRect& dst, const QImage& picture);

    TColor Pixel(int x, int y) const;
    void SetPixel(int x, int y, TColor c);

    // Draws text in r with the given flags and returns the text's height.
    // With DT_CALCRECT nothing is drawn and r is widened or narrowed to the
    // text (its width is kept for word-wrapped text).
    int DrawText(const QString& text, QRect& r, uint32_t flags);
    void TextOut(int x, int y, const QString& text);
    QSize TextExtent(const QString& text) const;
    int TextWidth(const QString& text) const { return TextExtent(text).width(); }
    int TextHeight(const QString& text) const { return TextExtent(text).height(); }

private:
    TextStamp StampFor(const QString& shown, const QRect& r, int qflags, const QFont& font,
                       const QFontMetrics& fm) const;
    QRect ToTarget(const QRect& r) const { return r.translated(origin_); }

    Bitmap& target_;
    QRect clip_;
    QPoint origin_;
};

// While a screen of a device pixel ratio above 1 is present, text drawn on a
// canvas is also kept with its picture (Bitmap::Texts), so that DrawBitmap can
// draw it again at the device's resolution. Off, text costs nothing more.
void SetKeepTexts(bool keep);
bool KeepsTexts();

// Removes the '&' markers of accelerator letters ("&&" stands for '&').
QString StripPrefix(const QString& text);

} // namespace platform
