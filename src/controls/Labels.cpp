#include "controls/Labels.h"

#include "platform/Canvas.h"

#include <QPainter>

namespace controls {

namespace {

// Labels keep their caption's line breaks and expand tabs; '&' marks an
// accelerator letter.
constexpr uint32_t kLabelFormat = platform::DT_EXPANDTABS | platform::DT_LEFT;

} // namespace

TsCustomLabel::TsCustomLabel(QWidget* parent) : QWidget(parent) {
    color_ = platform::clBtnFace;
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    FontChanged();
}

void TsCustomLabel::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    AdjustToText();
    update();
}

void TsCustomLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    AdjustToText();
}

QSize TsCustomLabel::TextSize() const {
    platform::Bitmap none;
    platform::Canvas canvas(none);
    canvas.Font = font_;
    QRect r(0, 0, 0, 0);
    canvas.DrawText(caption_, r, kLabelFormat | platform::DT_CALCRECT);
    return r.size();
}

void TsCustomLabel::AdjustToText() {
    if (autoSize_)
        resize(TextSize());
}

void TsCustomLabel::FontChanged() {
    WidgetControl::FontChanged();
    AdjustToText();
    update();
}

void TsCustomLabel::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setFont(font_.ToQFont());
    p.setPen(platform::ToQColor(font_.Color));
    QString shown = platform::StripPrefix(caption_);
    shown.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    p.drawText(rect(), Qt::AlignLeft | Qt::AlignTop | Qt::TextExpandTabs, shown);
}

} // namespace controls
