#include "platform/Accessible.h"

#include "platform/Application.h"

#include <map>

namespace platform {

namespace {

std::map<QString, AccessibleParts>& Registry() {
    static std::map<QString, AccessibleParts> registry;
    return registry;
}

QAccessibleInterface* MakeInterface(const QString& className, QObject* object) {
    const auto it = Registry().find(className);
    if (it == Registry().end() || !object || !object->isWidgetType())
        return nullptr;
    return new AccessibleControl(static_cast<QWidget*>(object), it->second);
}

} // namespace

AccessibleControl::AccessibleControl(QWidget* widget, const AccessibleParts& parts)
    : QAccessibleWidget(widget, parts.Role), parts_(parts) {}

QString AccessibleControl::text(QAccessible::Text t) const {
    if (t == QAccessible::Name && widget()->accessibleName().isEmpty() && parts_.Name)
        return parts_.Name(widget());
    if (t == QAccessible::Description && widget()->accessibleDescription().isEmpty() &&
        parts_.Description)
        return parts_.Description(widget());
    return QAccessibleWidget::text(t);
}

QAccessible::State AccessibleControl::state() const {
    QAccessible::State s = QAccessibleWidget::state();
    if (parts_.Focused) {
        s.focusable = true;
        s.focused = parts_.Focused(widget());
    }
    return s;
}

QStringList AccessibleControl::actionNames() const {
    QStringList names = QAccessibleWidget::actionNames();
    if (parts_.Press && widget()->isEnabled())
        names.prepend(pressAction());
    if (parts_.SetFocus && !names.contains(setFocusAction()))
        names.append(setFocusAction());
    return names;
}

void AccessibleControl::doAction(const QString& action) {
    if (action == pressAction() && parts_.Press && widget()->isEnabled()) {
        QWidget* w = widget();
        RunCommand([&] { parts_.Press(w); });
        return;
    }
    if (action == setFocusAction() && parts_.SetFocus) {
        parts_.SetFocus(widget());
        return;
    }
    QAccessibleWidget::doAction(action);
}

void RegisterAccessible(const char* className, AccessibleParts parts) {
    static const bool installed = [] {
        QAccessible::installFactory(MakeInterface);
        return true;
    }();
    (void)installed;
    Registry()[QString::fromLatin1(className)] = std::move(parts);
}

void AnnounceNameChange(QWidget* widget) {
    if (!QAccessible::isActive())
        return;
    QAccessibleEvent event(widget, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&event);
}

void AnnounceFocus(QWidget* widget, bool gained) {
    if (!QAccessible::isActive())
        return;
    if (gained) {
        QAccessibleEvent event(widget, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
    QAccessible::State focused;
    focused.focused = true;
    QAccessibleStateChangeEvent change(widget, focused);
    QAccessible::updateAccessibility(&change);
}

} // namespace platform
