// The rich text box (the help text). Qt's text edit does the text work;
// with a skin in force the frame and the vertical scroll bar are the
// skin's, and enabling or disabling sets its colours from the section.
#pragma once

#include "platform/WidgetControl.h"
#include "skin/controls/EditStyle.h"

#include <QTextEdit>

namespace skin {

// The text colour of a disabled rich edit: the mean of the font colour
// and the background, per channel ((a × 127 + b × 129) >> 8).
platform::TColor DisabledRichTextColor(platform::TColor font, platform::TColor background);

class TsRichEdit : public QTextEdit, public platform::WidgetControl, public SkinnedTextBox {
    Q_OBJECT
public:
    explicit TsRichEdit(QWidget* parent = nullptr);
    ~TsRichEdit() override;

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
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // The section's colours for the enabled or disabled box.
    void ApplyStateColors();
    TsCtrlSkinData skinData_;
};

} // namespace skin
