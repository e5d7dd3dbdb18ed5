#include "windows/HelpWindow.h"

#include <QFile>
#include <stdexcept>

namespace windows {

namespace {

constexpr platform::TColor kParchment = platform::RGBColor(211, 182, 129);

} // namespace

QString LoadHelpText() {
    QFile f(kHelpResource);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("The help text is missing");
    return QString::fromUtf8(f.readAll());
}

TForm5::TForm5(QWidget* mainForm)
    : TForm(QStringLiteral("Form5"), QSize(592, 405), platform::BorderStyle::Sizeable,
            platform::biSystemMenu, mainForm) {
    SetCaption(QStringLiteral("Справка..."));
    MainForm = mainForm;
    Position = platform::FormPosition::MainFormCenter;
    CloseWithEscape();

    // The box is placed, not laid out: it overhangs the client area and
    // keeps its size however the window is resized.
    sRichEdit1 = new skin::TsRichEdit(Client());
    sRichEdit1->setObjectName(QStringLiteral("sRichEdit1"));
    sRichEdit1->setAccessibleName(QStringLiteral("Справка"));
    sRichEdit1->setGeometry(0, 0, 593, 529);
    sRichEdit1->setAcceptRichText(true);
    sRichEdit1->setLineWrapMode(QTextEdit::WidgetWidth);
    sRichEdit1->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    sRichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    platform::TFont font;
    font.Name = QStringLiteral("MS Sans Serif");
    font.Height = 11;
    font.Color = platform::clBlack;
    sRichEdit1->SetFont(font);
    sRichEdit1->SetColor(kParchment);
    // The last line break ends the last line; it opens no line of its own.
    QString text = LoadHelpText();
    if (text.endsWith(u'\n'))
        text.chop(1);
    sRichEdit1->setPlainText(text);
}

void TForm5::FormShow() {
    // First in the tab order: the box has the focus when the window opens.
    if (!shownBefore_) {
        shownBefore_ = true;
        sRichEdit1->setFocus(Qt::TabFocusReason);
    }
}

} // namespace windows
