// The push button of the program (the refresh button).
#pragma once

#include "platform/WidgetControl.h"

#include <QPushButton>
#include <functional>

namespace skin {

class TsButton : public QPushButton, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TsButton(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }

    QString Caption() const { return text(); }
    void SetCaption(const QString& caption) { setText(caption); }

    // Runs when the button is pressed (by mouse or keyboard).
    std::function<void(TsButton* sender)> OnClick;
};

} // namespace skin
