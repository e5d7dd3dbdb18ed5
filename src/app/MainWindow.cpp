#include "app/MainWindow.h"

#include "oracle/RuneCatalogue.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"

namespace app {

namespace {

constexpr int kRowTops[] = {48, 136, 224, 312, 400};
constexpr int kRowLefts[] = {24, 88, 152, 216, 280};
constexpr int kLastRowLefts[] = {56, 120, 184, 248};

} // namespace

QPoint GridSlotPlace(int n) {
    const int i = n - 1;
    if (i < 20)
        return QPoint(kRowLefts[i % 5], kRowTops[i / 5]);
    return QPoint(kLastRowLefts[i - 20], kRowTops[4]);
}

TForm1::TForm1(oracle::ReadingState& reading, platform::RandomSource& random)
    : TForm(QStringLiteral("Form1"), kMainClientSize, platform::BorderStyle::Single,
            platform::biSystemMenu | platform::biMinimize),
      reading_(reading), random_(random) {
    Position = platform::FormPosition::ScreenCenter;
    ImageList1.LoadStrip(platform::Bitmap::Load(oracle::kImageListResource));
    CreateControls();
    CreateMenu();
    FormCreate();
}

void TForm1::CreateControls() {
    for (int n = 1; n <= kGridSlots; ++n) {
        auto* slot = new platform::TImage(Client());
        slot->setObjectName(QStringLiteral("Image%1").arg(n));
        slot->setGeometry(QRect(GridSlotPlace(n), QSize(53, 77)));
        Images[n - 1] = slot;
    }
    sMemo1 = new skin::TsMemo(Client());
    sMemo1->setObjectName(QStringLiteral("sMemo1"));
    sMemo1->setGeometry(354, 48, 431, 433);
    sMemo1->SetColor(platform::RGBColor(211, 182, 129));
    platform::TFont memoFont;
    memoFont.Color = platform::clBlack;
    sMemo1->SetFont(memoFont);
}

void TForm1::CreateMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    N1 = MainMenu1->addMenu(QStringLiteral("Файл"));
    N1->setObjectName(QStringLiteral("N1"));
    N13 = N1->addAction(QStringLiteral("Выход..."));
    N13->setObjectName(QStringLiteral("N13"));
    connect(N13, &QAction::triggered, this, platform::Guarded([this] { N13Click(); }));
    SetMenuBar(MainMenu1);
}

void TForm1::FormCreate() {
    reading_.OpenedCount = 0;
    reading_.SpreadKind = 1;
    DrawRuneBacks();
    sButton1Click();
}

void TForm1::DrawRuneBacks() {
    // Loaded afresh for every reset and released when drawn.
    const platform::Bitmap back = platform::Bitmap::Load(oracle::kRuneBackResource);
    for (int n = 1; n <= kGridSlots; ++n) {
        platform::TImage* slot = Image(n);
        if (slot->Picture().Empty())
            slot->Picture().SetSize(oracle::kPictureWidth, oracle::kPictureHeight);
        platform::Canvas(slot->Picture()).Draw(0, 0, back);
        slot->update();
    }
}

void TForm1::sButton1Click() {
    reading_.OpenedCount = 0;
    if (reading_.SpreadKind == 1) {
        DrawRuneBacks();
        oracle::ResetReading(reading_, *this, random_);
        for (int n = 1; n <= kGridSlots; ++n)
            Image(n)->setEnabled(true);
    }
}

void TForm1::N13Click() {
    if (!platform::Confirm(QStringLiteral("Вы действительно хотите закрыть программу?")))
        return;
    reading_.OpenedCount = 0;
    sMemo1->Clear();
    reading_.Deck.fill(0);
    close();
}

void TForm1::FormClose() {
    oracle::ClearReading(reading_);
    sMemo1->Clear();
    if (OnClosed)
        OnClosed();
}

} // namespace app
