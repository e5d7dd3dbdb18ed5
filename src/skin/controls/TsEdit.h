// The one-line text box (the author's address). Qt's line edit does the
// editing; with a skin in force the frame is the skin's "EDIT" border and
// a disabled box is shown at 40 % over its parent.
#pragma once

#include "skin/controls/TextBoxWidget.h"

#include <QLineEdit>

namespace skin {

class TsEdit : public TextBoxWidget<QLineEdit> {
    Q_OBJECT
public:
    explicit TsEdit(QWidget* parent = nullptr);
    ~TsEdit() override;

    void WndProc(platform::Message& message) override;

protected:
    void ColorChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
};

} // namespace skin
