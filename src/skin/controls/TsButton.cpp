#include "skin/controls/TsButton.h"

#include "platform/Application.h"

namespace skin {

TsButton::TsButton(QWidget* parent) : QPushButton(parent) {
    setFocusPolicy(Qt::StrongFocus);
    connect(this, &QPushButton::clicked, this, [this] {
        if (OnClick)
            platform::RunCommand([this] { OnClick(this); });
    });
    FontChanged();
}

} // namespace skin
