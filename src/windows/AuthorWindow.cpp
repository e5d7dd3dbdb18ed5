#include "windows/AuthorWindow.h"

namespace windows {

TForm4::TForm4(QWidget* mainForm)
    : TForm(QStringLiteral("Form4"), QSize(193, 214), platform::BorderStyle::Single,
            platform::biSystemMenu) {
    SetCaption(QStringLiteral(""));
    MainForm = mainForm;
}

} // namespace windows
