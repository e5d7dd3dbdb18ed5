#include "windows/HelpWindow.h"

namespace windows {

TForm5::TForm5(QWidget* mainForm)
    : TForm(QStringLiteral("Form5"), QSize(592, 405), platform::BorderStyle::Sizeable,
            platform::biSystemMenu | platform::biMinimize | platform::biMaximize) {
    SetCaption(QStringLiteral("Справка..."));
    MainForm = mainForm;
}

} // namespace windows
