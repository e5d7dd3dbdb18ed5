// The one-line text box (the author's address). Qt's line edit does the
// editing; with a skin in force the frame is the skin's "EDIT" border and
// a disabled box is shown at 40 % over its parent.
#pragma once

#include "platform/WidgetControl.h"
#include "skin/controls/EditStyle.h"

#include <QLineEdit>

namespace skin {

class TsEdit : public QLineEdit, public platform::WidgetControl, public SkinnedTextBox {
    Q_OBJECT
public:
    explicit TsEdit(QWidget* parent = nullptr);
    ~TsEdit() override;

    QWidget* Widget() override { return this; }
    void WndProc(platform::Message& message) override;

    TsCtrlSkinData& SkinData() { return skinData_; }
    unsigned DisabledKind = 2; // dkBlended

    TsCommonData& BoxSkin() override { return skinData_; }
    platform::Control& BoxControl() override { return *this; }
    unsigned BoxDisabledKind() const override { return DisabledKind; }

protected:
    void ColorChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    TsCtrlSkinData skinData_;
};

} // namespace skin
