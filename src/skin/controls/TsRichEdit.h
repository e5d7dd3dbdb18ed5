// The rich text box (the help text). Qt's text edit does the text work;
// with a skin in force the frame and the vertical scroll bar are the
// skin's, and enabling or disabling sets its colours from the section.
#pragma once

#include "skin/controls/TextBoxWidget.h"

#include <QTextEdit>

namespace skin {

// The text colour of a disabled rich edit: the mean of the font colour
// and the background, per channel ((a × 127 + b × 129) >> 8).
platform::TColor DisabledRichTextColor(platform::TColor font, platform::TColor background);

class TsRichEdit : public TextBoxWidget<QTextEdit> {
    Q_OBJECT
public:
    explicit TsRichEdit(QWidget* parent = nullptr);
    ~TsRichEdit() override;

    void WndProc(platform::Message& message) override;

protected:
    void ColorChanged() override;
    void paintEvent(QPaintEvent* event) override;
    void EnabledChanged() override { ApplyStateColors(); }
    bool canInsertFromMimeData(const QMimeData* source) const override;
    void insertFromMimeData(const QMimeData* source) override;

private:
    // The section's colours for the enabled or disabled box.
    void ApplyStateColors();
};

} // namespace skin
