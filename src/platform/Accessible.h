// What our own widgets tell a screen reader. A widget class registers the
// role it plays and, where it has them, a name or description taken from
// its state and the action a press performs; an accessible name set on the
// widget itself always wins.
#pragma once

#include <QAccessibleWidget>
#include <QWidget>
#include <functional>

namespace platform {

struct AccessibleParts {
    QAccessible::Role Role = QAccessible::Client;
    std::function<QString(QWidget*)> Name, Description;
    // Run by a screen reader's "press" on an enabled widget.
    std::function<void(QWidget*)> Press;
    // Whether the widget is the one the keys act on, for a widget that
    // stands in a group which holds the focus for it (a rune slot in the
    // rune field): it is then told as focusable and focused.
    std::function<bool(QWidget*)> Focused;
    // Run by a screen reader's "set focus" (the keys are to act on it).
    std::function<void(QWidget*)> SetFocus;
};

class AccessibleControl : public QAccessibleWidget {
public:
    AccessibleControl(QWidget* widget, const AccessibleParts& parts);

    QString text(QAccessible::Text t) const override;
    QAccessible::State state() const override;
    QStringList actionNames() const override;
    void doAction(const QString& action) override;

private:
    const AccessibleParts& parts_;
};

// Registers the parts for widgets whose class (by its meta-object name, with
// the namespace) is `className`; subclasses inherit them unless they register
// their own. Call before the first widget of the class is queried.
void RegisterAccessible(const char* className, AccessibleParts parts);

// Tells a screen reader that a widget's name has changed.
void AnnounceNameChange(QWidget* widget);
// Tells a screen reader that the keys now act on this widget, or no more.
void AnnounceFocus(QWidget* widget, bool gained);

} // namespace platform
