#include "skin/controls/TsRichEdit.h"

#include <QEvent>
#include <QPainter>

namespace skin {

platform::TColor DisabledRichTextColor(platform::TColor font, platform::TColor background) {
    const uint32_t a = platform::ColorToRGB(font), b = platform::ColorToRGB(background);
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8)
        out |= ((((a >> shift) & 0xFF) * 127 + ((b >> shift) & 0xFF) * 129) >> 8) << shift;
    return platform::TColor(out);
}

TsRichEdit::TsRichEdit(QWidget* parent) : TextBoxWidget(parent) {
    color_ = platform::clWindow;
    skinData_.ControlKind = KindMemo;
    skinData_.SetSkinSection(QStringLiteral("EDIT"));
    FontChanged();
    ColorChanged();
    EditStyle::Apply(this);
    skinData_.ControlBuilt();
}

TsRichEdit::~TsRichEdit() {
    ComponentState |= csDestroying;
}

void TsRichEdit::WndProc(platform::Message& message) {
    if (SkinCmdRemoveSkin::Is(message) && !skinData_.CustomFont()) {
        // The text takes the font's colour back with the skin gone.
        platform::TFont font = Font();
        font.Color = platform::clWindowText;
        SetFont(font);
    }
    if (SkinCmdGetDisabledKind::Is(message)) {
        if (uint8_t* kind = SkinCmdGetDisabledKind::ArgumentOf(message))
            *kind = uint8_t(DisabledKind);
        return;
    }
    if (!BoxSkinCommand(message))
        skinData_.HandleSkinCommand(message);
}

void TsRichEdit::ColorChanged() {
    SetBoxBaseColor(this, color_);
}

void TsRichEdit::ApplyStateColors() {
    if (!BoxSkinned() || skinData_.CustomColor())
        return;
    const TsGeneralData& d = skinData_.SkinManager()->SectionTable()[skinData_.SectionIndex];
    SetColor(Value(d.Color));
    const platform::TColor text = Value(d.StateData[0].FontColors.Text);
    platform::TFont font = Font();
    font.Color = isEnabled() ? text : DisabledRichTextColor(text, Color());
    SetFont(font);
}

void TsRichEdit::paintEvent(QPaintEvent* event) {
    QTextEdit::paintEvent(event);
    if (!isEnabled() && BoxSkinned()) {
        QPainter painter(viewport());
        DimLikeDisabled(painter, viewport()->rect(), viewport()->mapTo(this, QPoint(0, 0)));
    }
}

bool TsRichEdit::canInsertFromMimeData(const QMimeData* source) const {
    return BoxCanPaste(source);
}

void TsRichEdit::insertFromMimeData(const QMimeData* source) {
    BoxPaste(textCursor(), source);
}

} // namespace skin
