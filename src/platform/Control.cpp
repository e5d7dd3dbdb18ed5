#include "platform/Control.h"

#include <QPalette>
#include <QWidget>

namespace platform {

void Control::WndProc(Message&) {}

QString Control::Name() const {
    return Widget()->objectName();
}

QRect Control::BoundsRect() const {
    return Widget()->geometry();
}

Control* Control::Parent() const {
    for (QWidget* w = Widget()->parentWidget(); w; w = w->parentWidget())
        if (Control* c = AsControl(w))
            return c;
    return nullptr;
}

namespace {

// The nearest Controls below a widget: plain widgets in between (a form's
// client area, say) are looked through.
void CollectControls(const QWidget* widget, std::vector<Control*>& out) {
    for (QObject* child : widget->children())
        if (auto* w = qobject_cast<QWidget*>(child)) {
            if (Control* c = AsControl(w))
                out.push_back(c);
            else if (!w->isWindow())
                CollectControls(w, out);
        }
}

} // namespace

std::vector<Control*> Control::Controls() const {
    std::vector<Control*> out;
    CollectControls(Widget(), out);
    return out;
}

QString Control::ClassName() const {
    const QString name = QString::fromLatin1(Widget()->metaObject()->className());
    return name.mid(name.lastIndexOf(u':') + 1);
}

bool Control::Focused() const {
    return Widget()->hasFocus();
}

void Control::Invalidate() {
    Widget()->update();
}

bool Control::Visible() const {
    return !Widget()->isHidden();
}

void Control::SetVisible(bool visible) {
    Widget()->setVisible(visible);
}

bool Control::Enabled() const {
    return Widget()->isEnabled();
}

void Control::SetEnabled(bool enabled) {
    Widget()->setEnabled(enabled);
}

void Control::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    ColorChanged();
}

void Control::SetFont(const TFont& font) {
    if (font == font_)
        return;
    font_ = font;
    FontChanged();
}

void Control::FontChanged() {
    QWidget* w = Widget();
    w->setFont(font_.ToQFont());
    QPalette pal = w->palette();
    pal.setColor(QPalette::WindowText, ToQColor(font_.Color));
    pal.setColor(QPalette::Text, ToQColor(font_.Color));
    w->setPalette(pal);
}

Control* AsControl(QWidget* widget) {
    return dynamic_cast<Control*>(widget);
}

Control* FindControl(QWidget* root, const QString& name) {
    if (!root)
        return nullptr;
    if (root->objectName() == name)
        if (Control* c = AsControl(root))
            return c;
    for (QWidget* w : root->findChildren<QWidget*>(name))
        if (Control* c = AsControl(w))
            return c;
    return nullptr;
}

} // namespace platform
