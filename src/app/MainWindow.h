// Form1: the main window. Rune slots on the left, the reading log on the
// right, the spread's prompt above, the refresh button below and the menu
// bar with every command.
#pragma once

#include "controls/Labels.h"
#include "oracle/ReadingState.h"
#include "oracle/RuneCatalogue.h"
#include "platform/Form.h"
#include "platform/ImageControl.h"
#include "platform/ImageList.h"
#include "platform/Random.h"
#include "platform/SaveDialog.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsPanel.h"
#include "skin/data/TsSkinManager.h"
#include "skin/menus/TsMenuStyle.h"
#include "skin/menus/TsSkinableMenus.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <functional>

namespace windows {
class TForm3;
class TForm4;
class TForm5;
} // namespace windows

namespace app {

class TForm2;

constexpr int kSlotCount = 30; // Image1 .. Image30
constexpr int kGridSlots = 24; // Image1 .. Image24; Image25 .. Image30 sit in sPanel1
constexpr QSize kMainClientSize(792, 546);
constexpr int kAphorismCount = 18;

// Where grid slot n (1..24) sits in the client area.
QPoint GridSlotPlace(int n);
// The deck position slot n (1..30) always shows.
int SlotDeckIndex(int n);
// Caption i (1..18) of the main window: the program's name and an aphorism.
QString AphorismCaption(int i);
// What a screen reader calls slot n (1..30) while it is face down: its
// place in the grid, or in the row of six.
QString SlotAccessibleName(int n);
// Puts an empty selection at the first character of a line of a text box.
void MoveCaretToLine(skin::TsMemo* memo, int line);

class RuneField;

class TForm1 : public platform::TForm, public oracle::ReadingLog {
    Q_OBJECT
public:
    // `skinPath`, when given, names the skin package or folder to start
    // with; a place that holds no skin is said in an error box, and the
    // stored choice stays.
    TForm1(oracle::ReadingState& reading, platform::RandomSource& random,
           const QString& skinPath = QString());
    ~TForm1() override;

    // Slot n, 1..30.
    platform::TImage* Image(int n) const { return Images.at(n - 1); }

    std::array<platform::TImage*, kSlotCount> Images{};
    controls::TsLabelFX* sLabelFX1 = nullptr;
    controls::TsLabelFX* sLabelFX2 = nullptr;
    controls::TsLabel* sLabel1 = nullptr;
    skin::TsPanel* sPanel1 = nullptr;
    skin::TsMemo* sMemo1 = nullptr;
    skin::TsButton* sButton1 = nullptr;
    // The slots as one stop of the keys.
    RuneField* RuneField1 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu *N1 = nullptr, *N2 = nullptr, *N8 = nullptr;
    QAction *N12 = nullptr, *N13 = nullptr;                             // Файл
    QAction *N3 = nullptr, *N4 = nullptr, *N5 = nullptr, *N6 = nullptr; // Расклад...
    QAction *N9 = nullptr, *N10 = nullptr, *N11 = nullptr;              // О программе...
    platform::TImageList ImageList1{oracle::kPictureWidth, oracle::kPictureHeight};
    // ImageList1, filled from the rune strip on first use: the first frame
    // shows only rune backs, and decoding the strip cost the start 0.8 ms.
    const platform::TImageList& RunePictures();
    platform::TSaveDialog sSaveDialog1;
    // The one owner of the skin; it loads the skin while the window is built
    // and announces it once the window is complete.
    std::unique_ptr<skin::TsSkinManager> sSkinManager1;
    // The manager's menu object and the style through which it draws the
    // menu bar and the drop-downs.
    std::unique_ptr<skin::TsSkinableMenus> SkinMenus;
    skin::TsMenuStyle* MenuStyle = nullptr;

    // Creation, caption and spreads.
    void FormCreate();
    void SetRandomCaption();
    void sButton1Click();
    void N3Click() { SetUpSpread(1); }
    void N4Click() { SetUpSpread(4); }
    void N5Click() { SetUpSpread(5); }
    void N6Click() { SetUpSpread(6); }
    void DrawRuneBacks();
    void PlaceNumberTiles(int spreadKind);

    // Opening runes and the log.
    void ImageMouseDown(platform::TImage* slot);
    void OpenSlot(platform::TImage* slot, int deckPosition);
    void CheckSpreadComplete(int count);
    void AppendRuneText(oracle::RuneNumber rune);
    void sMemo1Change();

    // The other commands.
    void N12Click();
    // Writes the log to a file (what "Сохранить..." does with the chosen name).
    void SaveLogTo(const QString& path);
    void N13Click();
    void N9Click();
    void N10Click();
    void N11Click();

    void ClearLog() override { sMemo1->Clear(); }
    oracle::ReadingState& Reading() { return reading_; }

    // Runs once the window has closed and the reading is cleared.
    std::function<void()> OnClosed;

    // The windows that belong to this one, null until they are made: the
    // store of the oracle's texts (made right after this window), and the
    // companions, made by CreateCompanions in the order TForm3, TForm4,
    // TForm5 (nothing once they exist). A menu command that shows a
    // companion makes them first.
    void AdoptTextStore(std::unique_ptr<TForm2> store);
    void CreateCompanions();
    TForm2* TextStore() const { return form2_.get(); }
    windows::TForm3* Ancestors() const { return form3_.get(); }
    windows::TForm4* Author() const { return form4_.get(); }
    windows::TForm5* Help() const { return form5_.get(); }

    void WndProc(platform::Message& message) override;

protected:
    void FormClose() override;

private:
    void CreateControls();
    void CreateMenu();
    void SetUpSpread(int kind);
    void DrawPictureInto(platform::TImage* slot, int picture);
    QString StoredText(const QString& label) const;

    oracle::ReadingState& reading_;
    platform::RandomSource& random_;
    std::unique_ptr<TForm2> form2_;
    std::unique_ptr<windows::TForm3> form3_;
    std::unique_ptr<windows::TForm4> form4_;
    std::unique_ptr<windows::TForm5> form5_;
};

} // namespace app
