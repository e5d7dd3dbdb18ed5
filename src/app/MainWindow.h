// Form1: the main window. Rune slots on the left, the reading log on the
// right, the menu bar with every command.
#pragma once

#include "oracle/ReadingState.h"
#include "platform/Form.h"
#include "platform/ImageControl.h"
#include "platform/ImageList.h"
#include "platform/Random.h"
#include "skin/controls/TsMemo.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <array>
#include <functional>

namespace app {

constexpr int kSlotCount = 30;  // Image1 .. Image30
constexpr int kGridSlots = 24;  // Image1 .. Image24
constexpr QSize kMainClientSize(792, 546);

// Where grid slot n (1..24) sits in the client area.
QPoint GridSlotPlace(int n);

class TForm1 : public platform::TForm, public oracle::ReadingLog {
    Q_OBJECT
public:
    TForm1(oracle::ReadingState& reading, platform::RandomSource& random);

    // Slot n, 1..30.
    platform::TImage* Image(int n) const { return Images.at(n - 1); }

    std::array<platform::TImage*, kSlotCount> Images{};
    skin::TsMemo* sMemo1 = nullptr;
    QMenuBar* MainMenu1 = nullptr;
    QMenu* N1 = nullptr;     // "Файл"
    QAction* N13 = nullptr;  // "Выход..."
    platform::TImageList ImageList1{53, 77};

    void FormCreate();
    void N13Click();
    void DrawRuneBacks();
    void sButton1Click();

    void ClearLog() override { sMemo1->Clear(); }

    oracle::ReadingState& Reading() { return reading_; }

    // Runs once the window has closed and the reading is cleared.
    std::function<void()> OnClosed;

protected:
    void FormClose() override;

private:
    void CreateControls();
    void CreateMenu();

    oracle::ReadingState& reading_;
    platform::RandomSource& random_;
};

} // namespace app
