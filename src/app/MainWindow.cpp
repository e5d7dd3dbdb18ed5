#include "app/MainWindow.h"

#include "app/RuneField.h"
#include "app/SkinHost.h"
#include "app/TextStoreWindow.h"
#include "oracle/ReadingFile.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/Dialogs.h"
#include "platform/WidgetControl.h"
#include "skin/frame/TsSkinProvider.h"
#include "windows/AncestorsWindow.h"
#include "windows/AuthorWindow.h"
#include "windows/HelpWindow.h"

#include <algorithm>
#include <stdexcept>
#include <utility>
#include <vector>

namespace app {

namespace {

constexpr int kRowTops[] = {48, 136, 224, 312, 400};
constexpr int kRowLefts[] = {24, 88, 152, 216, 280};
constexpr int kLastRowLefts[] = {56, 120, 184, 248};
constexpr platform::TColor kDarkBrown = platform::RGBColor(55, 33, 7);
constexpr platform::TColor kParchment = platform::RGBColor(211, 182, 129);

const QString kOneRunePrompt = QStringLiteral("Задумайте вопрос и откройте  руну.");
const QString kManyRunesPrompt = QStringLiteral("Задумайте вопрос и откройте руны.");

// The number tile each slot of a spread shows face down: (slot, tile).
struct SpreadLayout {
    int Kind;
    std::vector<std::pair<int, int>> Tiles;
};

const SpreadLayout kSpreads[] = {
    {1, {}},
    {4, {{9, 1}, {7, 2}, {13, 3}, {3, 4}}},
    {5, {{9, 1}, {8, 2}, {7, 3}, {3, 4}, {13, 5}}},
    {6, {{25, 1}, {26, 2}, {27, 3}, {28, 4}, {29, 5}, {30, 6}}},
};

const SpreadLayout* FindSpread(int kind) {
    for (const SpreadLayout& s : kSpreads)
        if (s.Kind == kind)
            return &s;
    return nullptr;
}

bool InSpread(const SpreadLayout& spread, int slot) {
    for (const auto& [s, tile] : spread.Tiles)
        if (s == slot)
            return true;
    return false;
}

// The sayings and the writers of antiquity they are traditionally ascribed to.
constexpr std::pair<const char*, const char*> kAphorisms[kAphorismCount] = {
    {"Начало есть более чем половина всего.", "Аристотель"},
    {"Основа всякой мудрости есть терпение.", "Платон"},
    {"Если ты будешь любознательным, то будешь много знающим.", "Сократ"},
    {"Задумав дело, не говори о нём: не удастся - засмеют.", "Питтак"},
    {"Больше слушай чем говори.", "Зенон"},
    {"Пьянство есть упражнение в безумстве.", "Пифагор"},
    {"Познай самого себя!.", "Фалес"},
    {"Люди охотно верят тому, чему желают верить.", "Юлий Цезарь"},
    {"Имей ввиду, что любой день может оказаться для тебя последним.", "Гораций"},
    {"Подчиняй свой дух. Управляй своим настроением.", "Гораций"},
    {"Речь - образ души.", "Публилий Сир"},
    {"Мы плохо верим тому, чему не приятно верить.", "Овидий"},
    {"Польза не во многих, но в хороших книгах.", "Сенека"},
    {"Выбирая Богов, - мы выбираем судьбу.", "Вергилий"},
    {"Наше спасение в наших руках, а не в слабости духа.", "Тит Ливий"},
    {"Что б не случилось, судьбу побеждают терпеньем.", "Вергилий"},
    {"Не презирайте богов, и учитесь блюсти справедливость.", "Вергилий"},
    {"С теми Фортуна, кто храбр!.", "Вергилий"},
};

platform::TFont MakeFont(const char* face, int height, platform::FontStyles style,
                         platform::TColor color) {
    platform::TFont f;
    f.Name = QString::fromLatin1(face);
    f.Height = height;
    f.Style = style;
    f.Color = color;
    f.Charset = platform::FontCharset::Russian;
    return f;
}

} // namespace

QPoint GridSlotPlace(int n) {
    const int i = n - 1;
    if (i < 20)
        return QPoint(kRowLefts[i % 5], kRowTops[i / 5]);
    return QPoint(kLastRowLefts[i - 20], kRowTops[4]);
}

int SlotDeckIndex(int n) {
    return n <= kGridSlots ? n - 1 : n - 25;
}

QString AphorismCaption(int i) {
    const auto& [saying, author] = kAphorisms[i - 1];
    QString caption = QStringLiteral("Чаролист - \"%1-%2\".")
                          .arg(QString::fromUtf8(saying), QString::fromUtf8(author));
    if (i == 11)
        caption += u' ';
    return caption;
}

QString SlotAccessibleName(int n) {
    return QStringLiteral("Руна %1, закрыта").arg(n <= kGridSlots ? n : n - kGridSlots);
}

void MoveCaretToLine(skin::TsMemo* memo, int line) {
    memo->SetSelStart(memo->LineIndex(line));
}

TForm1::TForm1(oracle::ReadingState& reading, platform::RandomSource& random,
               const QString& skinPath)
    : TForm(QStringLiteral("Form1"), kMainClientSize, platform::BorderStyle::Single,
            platform::biSystemMenu | platform::biMinimize),
      reading_(reading), random_(random) {
    ComponentState |= csLoading;
    InstallSkinHost();
    sSkinManager1 = std::make_unique<skin::TsSkinManager>();
    SkinMenus = std::make_unique<skin::TsSkinableMenus>(sSkinManager1.get());
    sSkinManager1->BeginLoading();
    Position = platform::FormPosition::ScreenCenter;
    SetFont(MakeFont("MS Sans Serif", 11, 0, platform::clWindowText));
    sSaveDialog1.Filter = QStringLiteral("Text File (*.txt)|*.txt");
    sSaveDialog1.DefaultExt = QStringLiteral("txt");
    CreateControls();
    CreateMenu();
    ApplyStoredSkinSettings(*sSkinManager1, skinPath);
    ComponentState &= ~csLoading;
    sSkinManager1->Loaded();
    FormCreate();
}

TForm1::~TForm1() {
    // The windows that belong to this one go first, the last made first.
    form5_.reset();
    form4_.reset();
    form3_.reset();
    form2_.reset();
    // The manager goes with the window; its last broadcast passes this
    // window by.
    ComponentState |= csDestroying;
    // The menus must not ask the menu object for pixels once it is gone,
    // and the style goes before the menu object it reaches: a drop-down
    // still open is hidden only as the window's children go.
    if (MenuStyle) {
        MenuStyle->InitMainMenu(MainMenu1, false);
        delete MenuStyle;
        MenuStyle = nullptr;
    }
}

void TForm1::WndProc(platform::Message& message) {
    if (skin::SkinCmdNewSkin::Is(message) || skin::SkinCmdRemoveSkin::Is(message)) {
        SkinMenus->SkinChanged();
        MainMenu1->update();
    }
    TForm::WndProc(message);
}

void TForm1::CreateControls() {
    QWidget* client = Client();
    auto makeSlot = [this](QWidget* parent, int n, QPoint at) {
        auto* slot = new platform::TImage(parent);
        slot->setObjectName(QStringLiteral("Image%1").arg(n));
        slot->setGeometry(QRect(at, QSize(oracle::kPictureWidth, oracle::kPictureHeight)));
        slot->setAccessibleName(SlotAccessibleName(n));
        slot->OnMouseDown = [this](platform::TImage* sender, Qt::MouseButton, QPoint) {
            ImageMouseDown(sender);
        };
        Images[n - 1] = slot;
    };
    for (int n = 1; n <= kGridSlots; ++n)
        makeSlot(client, n, GridSlotPlace(n));

    sPanel1 = new skin::TsPanel(client);
    sPanel1->setObjectName(QStringLiteral("sPanel1"));
    sPanel1->setGeometry(16, 136, 333, 77);
    sPanel1->hide();
    const platform::Bitmap back = platform::Bitmap::Load(oracle::kRuneBackResource);
    for (int n = 25; n <= kSlotCount; ++n) {
        makeSlot(sPanel1, n, QPoint((n - 25) * 56, 0));
        Image(n)->DrawPicture(back, oracle::kPictureWidth, oracle::kPictureHeight);
    }

    sLabelFX1 = new controls::TsLabelFX(client);
    sLabelFX1->setObjectName(QStringLiteral("sLabelFX1"));
    sLabelFX1->move(56, 8);
    sLabelFX1->SetFont(MakeFont("Comic Sans MS", 13, platform::fsBold, kDarkBrown));
    sLabelFX1->Kind().SetColor(platform::clLime);
    sLabelFX1->Shadow().SetColor(platform::clLime);

    sLabelFX2 = new controls::TsLabelFX(client);
    sLabelFX2->setObjectName(QStringLiteral("sLabelFX2"));
    sLabelFX2->move(488, 8);
    sLabelFX2->SetSkinSection(QStringLiteral("ALPHAEDIT"));
    sLabelFX2->SetFont(MakeFont("Comic Sans MS", 16, platform::fsBold, platform::clBlack));
    sLabelFX2->SetCaption(QStringLiteral("Найди свой ответ."));

    sLabel1 = new controls::TsLabel(client);
    sLabel1->setObjectName(QStringLiteral("sLabel1"));
    sLabel1->move(8, 312);
    sLabel1->SetFont(MakeFont("MS Sans Serif", 11, 0, kDarkBrown));
    sLabel1->SetCaption(QStringLiteral(" "));

    sMemo1 = new skin::TsMemo(client);
    sMemo1->setObjectName(QStringLiteral("sMemo1"));
    sMemo1->setGeometry(354, 48, 431, 433);
    sMemo1->SetColor(kParchment);
    sMemo1->SetFont(MakeFont("MS Sans Serif", 11, 0, platform::clBlack));
    sMemo1->OnChange = [this](skin::TsMemo*) { sMemo1Change(); };
    sMemo1->setAccessibleName(QStringLiteral("Журнал гадания"));

    sButton1 = new skin::TsButton(client);
    sButton1->setObjectName(QStringLiteral("sButton1"));
    sButton1->setGeometry(128, 510, 114, 27);
    sButton1->SetCaption(QStringLiteral("Обновить руны"));
    sButton1->SetFont(MakeFont("Comic Sans MS", 12, platform::fsBold, platform::clBtnText));
    sButton1->OnClick = [this](skin::TsButton*) { sButton1Click(); };

    // The keys reach the runes, the log and the button, in the order they
    // are read; the log has the keys at first, as it always had.
    std::vector<platform::TImage*> runeSlots(Images.begin(), Images.end());
    RuneField1 = new RuneField(client, std::move(runeSlots), sSkinManager1.get());
    QWidget::setTabOrder(RuneField1, sMemo1);
    QWidget::setTabOrder(sMemo1, sButton1);
    sMemo1->setFocus();
}

void TForm1::CreateMenu() {
    MainMenu1 = new QMenuBar(this);
    MainMenu1->setObjectName(QStringLiteral("MainMenu1"));
    auto submenu = [this](const char* name, const QString& caption) {
        QMenu* menu = MainMenu1->addMenu(caption);
        menu->setObjectName(QString::fromLatin1(name));
        menu->menuAction()->setObjectName(QString::fromLatin1(name));
        return menu;
    };
    auto item = [this](QMenu* menu, const char* name, const QString& caption,
                       void (TForm1::*handler)()) {
        QAction* action = menu->addAction(caption);
        action->setObjectName(QString::fromLatin1(name));
        connect(action, &QAction::triggered, this,
                platform::Guarded([this, handler] { (this->*handler)(); }));
        return action;
    };
    N1 = submenu("N1", QStringLiteral("Файл"));
    N12 = item(N1, "N12", QStringLiteral("Сохранить..."), &TForm1::N12Click);
    N13 = item(N1, "N13", QStringLiteral("Выход..."), &TForm1::N13Click);
    N2 = submenu("N2", QStringLiteral("Расклад..."));
    N3 = item(N2, "N3", QStringLiteral("Одна руна..."), &TForm1::N3Click);
    N4 = item(N2, "N4", QStringLiteral("Четыре руны..."), &TForm1::N4Click);
    N5 = item(N2, "N5", QStringLiteral("Крест..."), &TForm1::N5Click);
    N6 = item(N2, "N6", QStringLiteral("Шесть рун..."), &TForm1::N6Click);
    N8 = submenu("N8", QStringLiteral("О программе..."));
    N9 = item(N8, "N9", QStringLiteral("Справка..."), &TForm1::N9Click);
    N10 = item(N8, "N10", QStringLiteral("Послание от предков..."), &TForm1::N10Click);
    N11 = item(N8, "N11", QStringLiteral("Автор..."), &TForm1::N11Click);
    SetMenuBar(MainMenu1);
    // The bar items lie over the bar's band of the window picture.
    MenuStyle = new skin::TsMenuStyle(*SkinMenus);
    MenuStyle->setParent(this);
    MenuStyle->SetBarBand([this](const QMenuBar* bar) -> const platform::Bitmap* {
        // The frame's band, rendered with the rest of the window's frame;
        // without a skinned frame of the bar's size the bar is the
        // desktop's own.
        skin::TsSkinProvider* frame = skin::TsSkinProvider::Of(this);
        if (frame && frame->Skinned() && frame->MenuBarPicture().Rect().size() == bar->size())
            return &frame->MenuBarPicture();
        return nullptr;
    });
    MenuStyle->InitMainMenu(MainMenu1, true);
}

// ---- Creation, caption and spreads ------------------------------------------

void TForm1::FormCreate() {
    // The text store does not exist yet: nothing here may read it.
    SetRandomCaption();
    sLabel1->hide();
    sLabelFX1->SetCaption(kOneRunePrompt);
    reading_.OpenedCount = 0;
    reading_.SpreadKind = 1;
    DrawRuneBacks();
    sButton1Click();
}

void TForm1::SetRandomCaption() {
    random_.Randomize();
    SetCaption(AphorismCaption(random_.Random(kAphorismCount) + 1));
}

void TForm1::sButton1Click() {
    reading_.OpenedCount = 0;
    switch (reading_.SpreadKind) {
    case 1:
        DrawRuneBacks();
        oracle::ResetReading(reading_, *this, random_);
        for (int n = 1; n <= kGridSlots; ++n)
            Image(n)->setEnabled(true);
        break;
    case 4:
    case 5:
        // Slots the spread hides stay hidden, so only its own can be pressed.
        PlaceNumberTiles(reading_.SpreadKind);
        oracle::ResetReading(reading_, *this, random_);
        for (int n = 1; n <= kGridSlots; ++n)
            Image(n)->setEnabled(true);
        break;
    case 6:
        for (int n = kGridSlots + 1; n <= kSlotCount; ++n)
            Image(n)->setEnabled(true);
        PlaceNumberTiles(6);
        oracle::ResetReading(reading_, *this, random_);
        for (int n = 1; n <= kGridSlots; ++n) {
            Image(n)->hide();
            Image(n)->setEnabled(false);
        }
        break;
    default:
        break;
    }
}

void TForm1::SetUpSpread(int kind) {
    const SpreadLayout* spread = FindSpread(kind);
    if (!spread)
        return;
    reading_.SpreadKind = kind;
    sLabelFX1->SetCaption(kind == 1 ? kOneRunePrompt : kManyRunesPrompt);
    if (kind == 1) {
        sLabel1->hide();
    } else {
        sLabel1->SetCaption(StoredText(oracle::GuideLabel(kind)));
        sLabel1->show();
    }
    sPanel1->setVisible(kind == 6);
    if (kind == 4 || kind == 5) {
        for (int n = 1; n <= kGridSlots; ++n) {
            const bool shown = InSpread(*spread, n);
            Image(n)->setVisible(shown);
            Image(n)->setEnabled(shown);
        }
    } else if (kind == 6) {
        for (int n = 1; n <= kGridSlots; ++n) {
            Image(n)->hide();
            Image(n)->setEnabled(false);
        }
        for (int n = kGridSlots + 1; n <= kSlotCount; ++n)
            Image(n)->setEnabled(true);
    }
    sButton1Click();
    if (kind == 1) {
        // After the refresh, so the grid is whole whatever the last spread hid.
        for (int n = 1; n <= kGridSlots; ++n) {
            Image(n)->show();
            Image(n)->setEnabled(true);
        }
    } else {
        PlaceNumberTiles(kind);
    }
}

void TForm1::DrawRuneBacks() {
    // Loaded afresh for every reset and released when drawn.
    const platform::Bitmap back = platform::Bitmap::Load(oracle::kRuneBackResource);
    for (int n = 1; n <= kGridSlots; ++n) {
        platform::TImage* slot = Image(n);
        if (slot->Picture().Empty())
            slot->Picture().SetSize(oracle::kPictureWidth, oracle::kPictureHeight);
        platform::Canvas(slot->Picture()).Draw(0, 0, back);
        slot->setAccessibleName(SlotAccessibleName(n));
        slot->update();
    }
}

void TForm1::PlaceNumberTiles(int spreadKind) {
    const SpreadLayout* spread = FindSpread(spreadKind);
    if (!spread)
        return;
    for (const auto& [slot, tile] : spread->Tiles) {
        DrawPictureInto(Image(slot), oracle::NumberTilePicture(tile));
        Image(slot)->setAccessibleName(SlotAccessibleName(slot));
        Image(slot)->Repaint();
    }
}

const platform::TImageList& TForm1::RunePictures() {
    if (ImageList1.Count() == 0)
        ImageList1.LoadStrip(platform::Bitmap::Load(oracle::kImageListResource));
    return ImageList1;
}

void TForm1::DrawPictureInto(platform::TImage* slot, int picture) {
    const platform::TImageList& pictures = RunePictures();
    slot->Picture().SetSize(oracle::kPictureWidth, oracle::kPictureHeight);
    platform::Canvas canvas(slot->Picture());
    pictures.Draw(canvas, 0, 0, picture);
    slot->update();
}

// ---- Opening runes -----------------------------------------------------------

void TForm1::ImageMouseDown(platform::TImage* slot) {
    const int n =
        static_cast<int>(std::find(Images.begin(), Images.end(), slot) - Images.begin()) + 1;
    if (n >= 1 && n <= kSlotCount)
        OpenSlot(slot, SlotDeckIndex(n));
}

void TForm1::OpenSlot(platform::TImage* slot, int deckPosition) {
    reading_.OpenedCount += 1;
    // Before the face is drawn: the press that completes the spread still
    // opens its own rune.
    CheckSpreadComplete(reading_.OpenedCount);
    const oracle::RuneNumber rune = reading_.Deck.at(deckPosition);
    DrawPictureInto(slot, oracle::FacePicture(rune));
    slot->setAccessibleName(oracle::RuneName(rune) + QStringLiteral(", открыта"));
    AppendRuneText(rune);
    slot->Repaint();
    slot->setEnabled(false);
}

void TForm1::CheckSpreadComplete(int count) {
    if (count != reading_.SpreadKind)
        return;
    for (int n = 1; n <= kSlotCount; ++n)
        if (platform::Control* c = platform::FindControl(this, QStringLiteral("Image%1").arg(n)))
            c->SetEnabled(false);
}

void TForm1::AppendRuneText(oracle::RuneNumber rune) {
    const QString label = oracle::InterpretationLabel(rune);
    if (label.isEmpty())
        return;
    const QString text = StoredText(label);
    const QString log = sMemo1->Text();
    // As a text box adds a line: after a line break, or on a line of its own.
    if (log.isEmpty() || log.endsWith(u'\n') || log.endsWith(u'\r'))
        sMemo1->InsertAtEnd(text + QStringLiteral("\r\n"));
    else
        sMemo1->InsertAtEnd(QStringLiteral("\r\n") + text);
}

void TForm1::sMemo1Change() {
    sMemo1->SetSelStart(sMemo1->LineIndex(0));
    sMemo1->ScrollCaret();
    MoveCaretToLine(sMemo1, 0);
}

QString TForm1::StoredText(const QString& label) const {
    if (!form2_)
        throw std::runtime_error("The texts of the oracle are not loaded");
    return form2_->LabelCaption(label);
}

// ---- Other commands ----------------------------------------------------------

void TForm1::N12Click() {
    if (!sSaveDialog1.Execute(this))
        return;
    SaveLogTo(sSaveDialog1.FileName);
}

void TForm1::SaveLogTo(const QString& path) {
    oracle::SaveReading(path, sMemo1->Text());
}

void TForm1::N13Click() {
    if (!platform::Confirm(QStringLiteral("Вы действительно хотите закрыть программу?")))
        return;
    reading_.OpenedCount = 0;
    sMemo1->Clear();
    reading_.Deck.fill(0);
    close();
}

namespace {

// Shows a companion window without waiting; one already shown is left alone.
void ShowCompanion(QWidget* window) {
    if (window && !window->isVisible())
        window->show();
}

} // namespace

void TForm1::N9Click() {
    CreateCompanions();
    ShowCompanion(Help());
}
void TForm1::N10Click() {
    CreateCompanions();
    ShowCompanion(Ancestors());
}
void TForm1::N11Click() {
    CreateCompanions();
    ShowCompanion(Author());
}

void TForm1::AdoptTextStore(std::unique_ptr<TForm2> store) {
    form2_ = std::move(store);
}

void TForm1::CreateCompanions() {
    if (form3_)
        return;
    form3_ = std::make_unique<windows::TForm3>(this);
    form4_ = std::make_unique<windows::TForm4>(this);
    form5_ = std::make_unique<windows::TForm5>(this);
}

void TForm1::FormClose() {
    oracle::ClearReading(reading_);
    sMemo1->Clear();
    if (OnClosed)
        OnClosed();
}

} // namespace app
