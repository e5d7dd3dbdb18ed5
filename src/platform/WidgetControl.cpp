#include "platform/WidgetControl.h"

#include <QPalette>
#include <QWidget>

namespace platform {

QString WidgetControl::Name() const {
    return Widget()->objectName();
}

QRect WidgetControl::BoundsRect() const {
    return Widget()->geometry();
}

Control* WidgetControl::Parent() const {
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

std::vector<Control*> WidgetControl::Controls() const {
    std::vector<Control*> out;
    CollectControls(Widget(), out);
    return out;
}

QString WidgetControl::ClassName() const {
    const QString name = QString::fromLatin1(Widget()->metaObject()->className());
    return name.mid(name.lastIndexOf(u':') + 1);
}

bool WidgetControl::Focused() const {
    return Widget()->hasFocus();
}

void WidgetControl::Invalidate() {
    Widget()->update();
}

bool WidgetControl::Visible() const {
    return !Widget()->isHidden();
}

void WidgetControl::SetVisible(bool visible) {
    Widget()->setVisible(visible);
}

bool WidgetControl::Enabled() const {
    return Widget()->isEnabled();
}

void WidgetControl::SetEnabled(bool enabled) {
    Widget()->setEnabled(enabled);
}

void WidgetControl::FontChanged() {
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
