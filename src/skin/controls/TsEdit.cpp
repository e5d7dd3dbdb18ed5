#include "skin/controls/TsEdit.h"

#include <QEvent>
#include <QPainter>

namespace skin {

TsEdit::TsEdit(QWidget* parent) : TextBoxWidget(parent) {
    color_ = platform::clWindow;
    skinData_.ControlKind = KindEdit;
    FontChanged();
    ColorChanged();
    EditStyle::Apply(this);
    skinData_.ControlBuilt();
}

TsEdit::~TsEdit() {
    ComponentState |= csDestroying;
}

void TsEdit::WndProc(platform::Message& message) {
    if (BoxSkinCommand(message))
        return;
    switch (platform::AlphaCommand(message.WParam)) {
    case SkinCmdIsTransparent::Number:
        SkinCmdIsTransparent::Reply(message, 0); // the box paints all of itself
        return;
    case SkinCmdGetBgColor::Number:
        if (!BoxSkinned()) {
            SkinCmdGetBgColor::Reply(message, RgbColor{platform::ColorToRGB(Color())});
            return;
        }
        break;
    default:
        break;
    }
    skinData_.HandleSkinCommand(message);
}

void TsEdit::ColorChanged() {
    SetBoxBaseColor(this, color_);
}

void TsEdit::paintEvent(QPaintEvent* event) {
    QLineEdit::paintEvent(event);
    if (!isEnabled() && BoxSkinned()) {
        // The frame ring is dimmed in the picture; the inside here.
        const int f = FrameWidth();
        const QRect inside = rect().adjusted(f, f, -f, -f);
        QPainter painter(this);
        DimLikeDisabled(painter, inside, inside.topLeft());
    }
}

void TsEdit::focusOutEvent(QFocusEvent* event) {
    TextBoxWidget::focusOutEvent(event);
    skinData_.MouseInside = false;
    skinData_.MarkCacheStale();
}

} // namespace skin
