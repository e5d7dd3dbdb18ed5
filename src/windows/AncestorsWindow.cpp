#include "windows/AncestorsWindow.h"

namespace windows {

TForm3::TForm3(QWidget* mainForm)
    : TForm(QStringLiteral("Form3"), QSize(489, 291), platform::BorderStyle::Single,
            platform::biSystemMenu) {
    SetCaption(QStringLiteral("Послание от предков."));
    MainForm = mainForm;
}

} // namespace windows
