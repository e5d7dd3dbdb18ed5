#include "windows/AuthorWindow.h"

#include <QFile>
#include <stdexcept>

namespace windows {

namespace {

constexpr platform::TColor kDarkBrown = platform::RGBColor(55, 33, 7);
constexpr platform::TColor kParchment = platform::RGBColor(211, 182, 129);
// How the desktop is to show the opened address: normally.
constexpr int kShowNormally = 5;

platform::TFont MakeFont(const char* face, int height, platform::FontStyles style,
                         platform::TColor color, platform::FontCharset charset) {
    platform::TFont f;
    f.Name = QString::fromLatin1(face);
    f.Height = height;
    f.Style = style;
    f.Color = color;
    f.Charset = charset;
    return f;
}

} // namespace

AuthorInfo LoadAuthorInfo() {
    QFile f(kAuthorResource);
    if (!f.open(QIODevice::ReadOnly))
        throw std::runtime_error("The author's description is missing");
    AuthorInfo info;
    const QString text = QString::fromUtf8(f.readAll());
    for (const QString& raw : text.split(u'\n')) {
        const QString line = raw.trimmed();
        const qsizetype eq = line.indexOf(u'=');
        if (line.startsWith(u'#') || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed(), value = line.mid(eq + 1).trimmed();
        if (key == QStringLiteral("name"))
            info.Name = value;
        else if (key == QStringLiteral("email"))
            info.Email = value;
        else if (key == QStringLiteral("web"))
            info.Web = value;
    }
    if (info.Name.isEmpty() || info.Email.isEmpty() || info.Web.isEmpty())
        throw std::runtime_error("The author's description is incomplete");
    return info;
}

TForm4::TForm4(QWidget* mainForm)
    : TForm(QStringLiteral("Form4"), QSize(193, 214), platform::BorderStyle::Single,
            platform::biSystemMenu, mainForm),
      author_(LoadAuthorInfo()) {
    SetCaption(QString());
    // The title stays empty; a screen reader still needs a name for the window.
    setAccessibleName(QStringLiteral("Автор"));
    MainForm = mainForm;
    Position = platform::FormPosition::MainFormCenter;
    CloseWithEscape();
    setWindowFlag(Qt::WindowStaysOnTopHint);
    QWidget* client = Client();
    const auto russian = platform::FontCharset::Russian;

    Image1 = new platform::TImage(client);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(56, 16, 81, 81);
    const platform::Bitmap ornament = platform::Bitmap::Load(kOrnamentResource);
    Image1->DrawPicture(ornament, ornament.Width(), ornament.Height());
    // A picture, not something to press.
    Image1->setCursor(Qt::ArrowCursor);

    sLabelFX1 = new controls::TsLabelFX(client);
    sLabelFX1->setObjectName(QStringLiteral("sLabelFX1"));
    sLabelFX1->setGeometry(40, 104, 112, 21);
    sLabelFX1->SetFont(MakeFont("Comic Sans MS", 13, platform::fsBold, kDarkBrown, russian));
    sLabelFX1->Shadow().SetColor(platform::clRed);
    sLabelFX1->SetCaption(QStringLiteral("Автор: %1.").arg(author_.Name));

    sLabelFX2 = new controls::TsLabelFX(client);
    sLabelFX2->setObjectName(QStringLiteral("sLabelFX2"));
    sLabelFX2->setGeometry(64, 128, 69, 18);
    sLabelFX2->SetFont(MakeFont("Comic Sans MS", 12, platform::fsBold, kDarkBrown, russian));
    sLabelFX2->SetCaption(QStringLiteral("Лето 7519."));

    sEdit1 = new skin::TsEdit(client);
    sEdit1->setObjectName(QStringLiteral("sEdit1"));
    sEdit1->setGeometry(24, 152, 145, 21);
    sEdit1->SetFont(
        MakeFont("MS Sans Serif", 11, 0, platform::clBlack, platform::FontCharset::Default));
    sEdit1->SetColor(kParchment);
    sEdit1->setText(author_.Email);
    sEdit1->setAccessibleName(QStringLiteral("Электронная почта"));

    sWebLabel1 = new controls::TsWebLabel(client);
    sWebLabel1->setObjectName(QStringLiteral("sWebLabel1"));
    sWebLabel1->SetAutoSize(false);
    sWebLabel1->setGeometry(33, 184, 127, 25);
    sWebLabel1->SetFont(MakeFont("Comic Sans MS", 13, platform::fsBold, platform::clBlue, russian));
    sWebLabel1->SetHoverFont(
        MakeFont("Comic Sans MS", 13, platform::fsBold, platform::clWindowText, russian));
    sWebLabel1->SetCaption(author_.Web);
    // The label opens the address itself rather than through its URL, so a
    // screen reader learns the address from here.
    sWebLabel1->setAccessibleDescription(WebAddress());
    sWebLabel1->OnMouseDown = [this](controls::TsCustomLabel* sender, Qt::MouseButton button,
                                     Qt::KeyboardModifiers shift,
                                     QPoint at) { sWebLabel1MouseDown(sender, button, shift, at); };
}

void TForm4::FormShow() {
    // The first time, the address is ready to be copied; afterwards the box
    // keeps whatever the user left in it.
    if (!shownBefore_) {
        shownBefore_ = true;
        sEdit1->setFocus(Qt::TabFocusReason);
        sEdit1->selectAll();
    }
}

void TForm4::sWebLabel1MouseDown(controls::TsCustomLabel*, Qt::MouseButton, Qt::KeyboardModifiers,
                                 QPoint) {
    if (controls::OpenWebAddress())
        controls::OpenWebAddress()(WebAddress(), kShowNormally);
}

} // namespace windows
