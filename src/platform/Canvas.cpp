#include "platform/Canvas.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cstring>

namespace platform {

namespace {
bool keepTexts = false;
} // namespace

void SetKeepTexts(bool keep) {
    keepTexts = keep;
}

bool KeepsTexts() {
    return keepTexts;
}

Canvas::Canvas(Bitmap& target) : target_(target), clip_(target.Rect()) {}

void Canvas::FillRect(const QRect& r, TColor color) {
    FillPixels(target_, ToTarget(r).intersected(clip_), PixelFromColor(ColorToRGB(color)));
}

void Canvas::Draw(int x, int y, const Bitmap& src) {
    CopyRect(QRect(x, y, src.Width(), src.Height()), src, src.Rect());
}

void Canvas::CopyRect(const QRect& dst, const Bitmap& src, const QRect& srcRect) {
    if (dst.isEmpty() || srcRect.isEmpty() || src.Empty())
        return;
    const QRect to = ToTarget(dst);
    const QRect area = to.intersected(clip_);
    if (area.isEmpty())
        return;
    if (dst.size() == srcRect.size()) {
        // Block copy, never reading outside the source rectangle.
        const QRect part = area.intersected(srcRect.translated(to.topLeft() - srcRect.topLeft()));
        CopyPixels(target_, part, src, part.topLeft() + (srcRect.topLeft() - to.topLeft()));
        return;
    }
    // Stretch: each target pixel takes the source pixel it falls on.
    target_.ForgetTexts(area);
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const int sy = srcRect.top() + (y - to.top()) * srcRect.height() / to.height();
        if (sy < 0 || sy >= src.Height())
            continue;
        const uint32_t* in = src.ScanLine(sy);
        uint32_t* out = target_.ScanLine(y);
        for (int x = area.left(); x <= area.right(); ++x) {
            const int sx = srcRect.left() + (x - to.left()) * srcRect.width() / to.width();
            if (sx >= 0 && sx < src.Width())
                out[x] = in[sx];
        }
    }
}

void Canvas::DrawPicture(const QRect& dst, const QImage& picture) {
    if (picture.isNull() || dst.isEmpty() || target_.Empty())
        return;
    TextStamp stamp;
    if (keepTexts) {
        stamp.Area = ToTarget(dst).intersected(clip_);
        stamp.Rect = ToTarget(dst);
        stamp.Picture = picture;
        if (!stamp.Area.isEmpty())
            stamp.Before = target_.Image().copy(stamp.Area);
    }
    {
        QPainter p(&target_.Image());
        p.setRenderHint(QPainter::SmoothPixmapTransform, false);
        p.setClipRect(clip_);
        p.translate(origin_);
        p.drawImage(dst, picture);
    }
    if (!stamp.Area.isEmpty()) {
        stamp.After = target_.Image().copy(stamp.Area);
        target_.AddText(std::move(stamp));
    }
}

TColor Canvas::Pixel(int x, int y) const {
    return target_.Pixel(x + origin_.x(), y + origin_.y());
}

void Canvas::SetPixel(int x, int y, TColor c) {
    const QPoint p(x + origin_.x(), y + origin_.y());
    if (clip_.contains(p))
        target_.SetPixel(p.x(), p.y(), c);
}

QString StripPrefix(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'&' && i + 1 < text.size())
            ++i;
        else if (text[i] == u'&')
            continue;
        out += text[i];
    }
    return out;
}

namespace {

int QtFlags(uint32_t flags) {
    int q = 0;
    q |= (flags & DT_CENTER)  ? Qt::AlignHCenter
         : (flags & DT_RIGHT) ? Qt::AlignRight
                              : Qt::AlignLeft;
    // Vertical placement applies to single lines only, as text boxes expect.
    if (flags & DT_SINGLELINE)
        q |= (flags & DT_VCENTER)  ? Qt::AlignVCenter
             : (flags & DT_BOTTOM) ? Qt::AlignBottom
                                   : Qt::AlignTop;
    else
        q |= Qt::AlignTop;
    if (flags & DT_SINGLELINE)
        q |= Qt::TextSingleLine;
    else if (flags & DT_WORDBREAK)
        q |= Qt::TextWordWrap;
    if (flags & DT_EXPANDTABS)
        q |= Qt::TextExpandTabs;
    if (flags & DT_NOCLIP)
        q |= Qt::TextDontClip;
    return q;
}

} // namespace

int Canvas::DrawText(const QString& text, QRect& r, uint32_t flags) {
    QString shown = (flags & DT_NOPREFIX) ? text : StripPrefix(text);
    if (flags & DT_SINGLELINE)
        shown.replace(u'\r', u' ').replace(u'\n', u' ');
    else
        shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    const QFont font = Font.ToQFont();
    const QFontMetrics fm(font);
    if ((flags & DT_END_ELLIPSIS) && !(flags & DT_CALCRECT))
        shown = fm.elidedText(shown, Qt::ElideRight, r.width());
    const int qflags = QtFlags(flags);
    const QRect bounds =
        fm.boundingRect(QRect(r.left(), r.top(), (flags & DT_WORDBREAK) ? r.width() : 0, 0),
                        qflags & ~(Qt::AlignHCenter | Qt::AlignRight), shown);
    if (flags & DT_CALCRECT) {
        if (!(flags & DT_WORDBREAK) || (flags & DT_SINGLELINE))
            r.setWidth(bounds.width());
        r.setHeight(std::max(bounds.height(), fm.height()));
        return r.height();
    }
    if (target_.Empty())
        return bounds.height();
    TextStamp stamp;
    if (keepTexts)
        stamp = StampFor(shown, r, qflags, font, fm);
    {
        QPainter p(&target_.Image());
        p.setClipRect(clip_);
        p.translate(origin_);
        p.setFont(font);
        if (TextBackground != clNone)
            p.fillRect(r, ToQColor(TextBackground));
        p.setPen(ToQColor(Font.Color));
        p.drawText(r, qflags, shown);
    }
    if (!stamp.Area.isEmpty()) {
        stamp.After = target_.Image().copy(stamp.Area);
        target_.AddText(std::move(stamp));
    }
    return std::max(bounds.height(), fm.height());
}

TextStamp Canvas::StampFor(const QString& shown, const QRect& r, int qflags, const QFont& font,
                           const QFontMetrics& fm) const {
    // The pixels the text can reach: its box, with room for overhangs and
    // smoothed edges, or its whole rectangle when it fills a background.
    QRect reach = fm.boundingRect(r, qflags, shown);
    const int overhang = std::max(2, fm.height() / 4);
    reach.adjust(-overhang, -2, overhang, 2);
    if (!(qflags & Qt::TextDontClip))
        reach = reach.intersected(r);
    if (TextBackground != clNone)
        reach = reach.united(r);
    TextStamp stamp;
    stamp.Area = ToTarget(reach).intersected(clip_);
    if (stamp.Area.isEmpty())
        return stamp;
    stamp.Text = shown;
    stamp.Rect = ToTarget(r);
    stamp.QtFlags = qflags;
    stamp.Font = font;
    stamp.Color = ToQColor(Font.Color);
    if (TextBackground != clNone)
        stamp.Background = ToQColor(TextBackground);
    stamp.Before = target_.Image().copy(stamp.Area);
    return stamp;
}

void Canvas::TextOut(int x, int y, const QString& text) {
    const QSize size = TextExtent(text);
    QRect r(x, y, size.width(), size.height());
    DrawText(text, r, DT_SINGLELINE | DT_NOPREFIX | DT_NOCLIP);
}

QSize Canvas::TextExtent(const QString& text) const {
    const QFontMetrics fm(Font.ToQFont());
    return QSize(fm.horizontalAdvance(text), fm.height());
}

} // namespace platform
