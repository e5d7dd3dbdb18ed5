// What the three skinned text boxes (the line, the log and the help text)
// share around the Qt box each one is: the skin data, the answers the edit
// style asks of a box, and the Qt handlers that pass focus, the mouse,
// size, place, showing and enabling on to the skin.
#pragma once

#include "platform/WidgetControl.h"
#include "skin/controls/EditStyle.h"

#include <QEnterEvent>
#include <QEvent>
#include <QFocusEvent>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QShowEvent>

namespace skin {

template <class QtBox>
class TextBoxWidget : public QtBox, public platform::WidgetControl, public SkinnedTextBox {
public:
    explicit TextBoxWidget(QWidget* parent) : QtBox(parent), skinData_(this, true) {}

    QWidget* Widget() override { return this; }
    TsCtrlSkinData& SkinData() { return skinData_; }
    unsigned DisabledKind = 2; // dkBlended

    TsCommonData& BoxSkin() override { return skinData_; }
    platform::Control& BoxControl() override { return *this; }
    unsigned BoxDisabledKind() const override { return DisabledKind; }

protected:
    // After the box was enabled or disabled, before it is painted again.
    virtual void EnabledChanged() {}

    void focusInEvent(QFocusEvent* event) override {
        QtBox::focusInEvent(event);
        BoxFocusChanged(true);
    }
    void focusOutEvent(QFocusEvent* event) override {
        QtBox::focusOutEvent(event);
        BoxFocusChanged(false);
    }
    void enterEvent(QEnterEvent* event) override {
        QtBox::enterEvent(event);
        BoxMouseCrossed(true);
    }
    void leaveEvent(QEvent* event) override {
        QtBox::leaveEvent(event);
        BoxMouseCrossed(false);
    }
    void resizeEvent(QResizeEvent* event) override {
        QtBox::resizeEvent(event);
        skinData_.HandleControlEvent(ControlEvent::Resized);
    }
    void showEvent(QShowEvent* event) override {
        skinData_.HandleControlEvent(ControlEvent::Shown);
        QtBox::showEvent(event);
    }
    void moveEvent(QMoveEvent* event) override {
        QtBox::moveEvent(event);
        skinData_.HandleControlEvent(ControlEvent::Moved);
    }
    void changeEvent(QEvent* event) override {
        QtBox::changeEvent(event);
        if (event->type() == QEvent::EnabledChange) {
            if (!this->isEnabled())
                skinData_.HandleControlEvent(ControlEvent::Disabled);
            EnabledChanged();
            skinData_.RequestRepaint();
        }
    }

    TsCtrlSkinData skinData_;
};

} // namespace skin
