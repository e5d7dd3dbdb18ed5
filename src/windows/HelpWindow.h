// Form5: the help window. A parchment-coloured box of a fixed size holds a
// few paragraphs about divination with Slavic runes; the window can be made
// larger to see more of the box, but the box never grows with it.
#pragma once

#include "platform/Form.h"

#include "skin/controls/TsRichEdit.h"

namespace windows {

inline const QString kHelpResource = QStringLiteral(":/texts/help.txt");

// The help text as the content holds it (lines ended by LF); throws when it
// is missing.
QString LoadHelpText();

class TForm5 : public platform::TForm {
    Q_OBJECT
public:
    explicit TForm5(QWidget* mainForm = nullptr);

    skin::TsRichEdit* sRichEdit1 = nullptr;

protected:
    void FormShow() override;

private:
    bool shownBefore_ = false;
};

} // namespace windows
