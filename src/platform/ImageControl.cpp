#include "platform/ImageControl.h"

#include "platform/Accessible.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/DrawBitmap.h"

#include <QEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QRegion>

namespace platform {

namespace {

// A slot is pressed like a button; a screen reader's press is a left click
// at its middle.
void RegisterImageAccessibility() {
    static const bool registered = [] {
        AccessibleParts parts;
        parts.Role = QAccessible::Button;
        parts.Press = [](QWidget* w) { static_cast<TImage*>(w)->Press(); };
        parts.Focused = [](QWidget* w) { return static_cast<TImage*>(w)->KeyboardCurrent(); };
        parts.SetFocus = [](QWidget* w) {
            auto* image = static_cast<TImage*>(w);
            if (image->OnFocusRequest)
                image->OnFocusRequest(image);
        };
        RegisterAccessible("platform::TImage", std::move(parts));
        return true;
    }();
    (void)registered;
}

} // namespace

TImage::TImage(QWidget* parent) : QWidget(parent) {
    RegisterImageAccessibility();
    setFocusPolicy(Qt::NoFocus);
    setAttribute(Qt::WA_OpaquePaintEvent);
    UpdateCursor();
}

void TImage::Press() {
    if (isEnabled() && OnMouseDown)
        RunCommand([this] { OnMouseDown(this, Qt::LeftButton, rect().center()); });
}

void TImage::SetKeyboardCurrent(bool current) {
    if (current == keyboardCurrent_)
        return;
    keyboardCurrent_ = current;
    AnnounceFocus(this, current);
}

void TImage::DrawPicture(const Bitmap& src, int w, int h) {
    picture_.SetSize(w, h);
    Canvas(picture_).Draw(0, 0, src);
    update();
}

void TImage::paintEvent(QPaintEvent*) {
    QPainter p(this);
    platform::DrawBitmap(p, QPoint(0, 0), picture_);
    // Whatever the picture does not cover shows the parent's background.
    const QRegion rest = QRegion(rect()).subtracted(QRegion(picture_.Rect()));
    for (const QRect& r : rest)
        p.fillRect(r, palette().window());
}

void TImage::mousePressEvent(QMouseEvent* event) {
    if (OnMouseDown)
        RunCommand([&] { OnMouseDown(this, event->button(), event->position().toPoint()); });
    event->accept();
}

void TImage::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange)
        UpdateCursor();
    QWidget::changeEvent(event);
}

void TImage::UpdateCursor() {
    setCursor(isEnabled() ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

} // namespace platform
