#include "windows/AncestorsWindow.h"

#include "platform/Application.h"

#include <QFile>
#include <stdexcept>

namespace windows {

namespace {

constexpr platform::TColor kVerseRed = platform::RGBColor(255, 0, 0);

} // namespace

QStringList LoadVerse() {
    QFile f(kVerseResource);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("The verse is missing");
    QString text = QString::fromUtf8(f.readAll());
    if (text.endsWith(u'\n'))
        text.chop(1);
    return text.split(u'\n');
}

TForm3::TForm3(QWidget* mainForm)
    : TForm(QStringLiteral("Form3"), QSize(489, 291), platform::BorderStyle::Single,
            platform::biSystemMenu, mainForm) {
    SetCaption(QStringLiteral("Послание от предков."));
    MainForm = mainForm;
    Position = platform::FormPosition::MainFormCenter;
    CloseWithEscape();

    ScrollingCredits1 = new controls::TScrollingCredits(Client());
    ScrollingCredits1->setObjectName(QStringLiteral("ScrollingCredits1"));
    ScrollingCredits1->setGeometry(24, 24, 441, 217);
    ScrollingCredits1->SetCredits(LoadVerse());
    platform::TFont font;
    font.Name = QStringLiteral("Times New Roman");
    font.Height = 19;
    font.Color = kVerseRed;
    font.Charset = platform::FontCharset::Russian;
    ScrollingCredits1->SetCreditsFont(font);
    ScrollingCredits1->SetBackgroundColor(platform::clBlack);
    ScrollingCredits1->SetBorderColor(platform::clWhite);
    ScrollingCredits1->SetShowBorder(true);
    ScrollingCredits1->SetInterval(60);

    Timer1.setInterval(37000);
    connect(&Timer1, &QTimer::timeout, this,
            [this] { platform::RunCommand([this] { Timer1Timer(); }); });
}

void TForm3::FormShow() {
    Timer1.start();
    ScrollingCredits1->SetAnimate(true);
    Player->Play(kMusicResource);
}

void TForm3::Timer1Timer() {
    // Directly on the font: the colour shows with the repaint that follows.
    ScrollingCredits1->CreditsFont().Color = platform::clBlack;
    ScrollingCredits1->SetAnimate(false);
    Timer1.stop();
}

void TForm3::FormClose() {
    ScrollingCredits1->CreditsFont().Color = kVerseRed;
    Timer1.stop();
    Player->Stop();
}

} // namespace windows
