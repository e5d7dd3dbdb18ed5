// A reading by the keys alone: the rune field's moves, its presses (the
// same as a click), its focus mark, what a screen reader is told, and the
// companion windows closing with Escape.
#include "app/RuneField.h"
#include "app/Startup.h"
#include "app/WindowSet.h"
#include "oracle/RuneCatalogue.h"
#include "skin/data/TsSkinManager.h"
#include "windows/AncestorsWindow.h"

#include "support/Printers.h"
#include "support/ProgramWindows.h"
#include <QAccessible>
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace app;

namespace {

class KeyboardTest : public testing_support::ProgramWindowsTest {
protected:
    RuneField& Field() { return *Form1->RuneField1; }
    platform::TImage* Slot(int n) { return Form1->Image(n); }
    int SlotNumber(const platform::TImage* slot) {
        for (int n = 1; n <= kSlotCount; ++n)
            if (Slot(n) == slot)
                return n;
        return 0;
    }
    // Shift+Tab from the log: the field is the stop before it.
    void TabIntoTheField() {
        Form1->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
        ASSERT_TRUE(Form1->sMemo1->hasFocus());
        QTest::keyClick(Form1->sMemo1, Qt::Key_Backtab, Qt::ShiftModifier);
        ASSERT_TRUE(Field().hasFocus());
    }
    void Key(int key) { QTest::keyClick(&Field(), Qt::Key(key)); }
    int Current() { return SlotNumber(Field().Current()); }
    // Slot n reached by the keys from the first: down its rows, along its row.
    void GoTo(int n) {
        Key(Qt::Key_Home);
        const bool row = n > kGridSlots;
        const int down = row ? 0 : n > 20 ? 4 : (n - 1) / 5;
        const int along = row ? n - 25 : n > 20 ? n - 21 : (n - 1) % 5;
        for (int i = 0; i < down; ++i)
            Key(Qt::Key_Down);
        for (int i = 0; i < along; ++i)
            Key(Qt::Key_Right);
        ASSERT_EQ(Current(), n);
    }
};

} // namespace

TEST_F(KeyboardTest, TheArrowsMoveAsTheSlotsLieAndNeverWrap) {
    TabIntoTheField();
    EXPECT_EQ(Current(), 1);
    // From a slot, a key, the slot it reaches. The grid: four rows of five
    // and, between their columns, a bottom row of four.
    struct Move {
        int from, key, to;
    } grid[] = {
        {1, Qt::Key_Right, 2},   {1, Qt::Key_Left, 1},   {1, Qt::Key_Up, 1},
        {1, Qt::Key_Down, 6},    {5, Qt::Key_Right, 5},  {7, Qt::Key_Up, 2},
        {16, Qt::Key_Down, 21},  {18, Qt::Key_Down, 22}, {20, Qt::Key_Down, 24},
        {21, Qt::Key_Up, 16},    {23, Qt::Key_Up, 18},   {21, Qt::Key_Down, 21},
        {24, Qt::Key_Right, 24}, {9, Qt::Key_End, 24},   {24, Qt::Key_Home, 1},
    };
    auto check = [&](const Move& m) {
        GoTo(m.from);
        Key(m.key);
        EXPECT_EQ(Current(), m.to) << "from " << m.from << " by key " << std::hex << m.key;
    };
    for (const Move& m : grid)
        check(m);
    // The row of six alone.
    Form1->N6Click();
    EXPECT_EQ(Current(), 25); // the slot it was on went with the grid
    for (const Move& m :
         {Move{25, Qt::Key_Right, 26}, Move{27, Qt::Key_Down, 27}, Move{27, Qt::Key_Up, 27},
          Move{26, Qt::Key_End, 30}, Move{30, Qt::Key_Right, 30}})
        check(m);
}

TEST_F(KeyboardTest, EnterAndSpacePressTheSlotAsAClickDoes) {
    TabIntoTheField();
    // The four-rune spread: its tiles lie at 3 (top), 7 and 9, and 13.
    Form1->N4Click();
    Key(Qt::Key_Home);
    EXPECT_EQ(Current(), 3);
    Key(Qt::Key_Return);
    EXPECT_EQ(reading.OpenedCount, 1);
    EXPECT_FALSE(Slot(3)->isEnabled());
    const QString rune = oracle::RuneName(reading.Deck[2]);
    EXPECT_TRUE(Form1->sMemo1->Text().contains(rune, Qt::CaseInsensitive));
    // An opened slot, like a click on it, does nothing.
    const QString log = Form1->sMemo1->Text();
    Key(Qt::Key_Space);
    EXPECT_EQ(reading.OpenedCount, 1);
    EXPECT_EQ(Form1->sMemo1->Text(), log);
    // Down from the top tile reaches the nearer of the two below it (the
    // left one of two as near), then along and down.
    for (auto [key, slot] : {std::pair{Qt::Key_Down, 7}, {Qt::Key_Right, 9}, {Qt::Key_Down, 13}}) {
        Key(key);
        EXPECT_EQ(Current(), slot);
        Key(slot == 9 ? Qt::Key_Space : Qt::Key_Enter);
    }
    EXPECT_EQ(reading.OpenedCount, 4);
    // The spread is complete: every slot, as under the mouse, does nothing.
    for (int n : {3, 7, 9, 13})
        EXPECT_FALSE(Slot(n)->isEnabled()) << n;
    const QString complete = Form1->sMemo1->Text();
    Key(Qt::Key_Up), Key(Qt::Key_Return);
    EXPECT_EQ(Form1->sMemo1->Text(), complete);
    EXPECT_EQ(reading.OpenedCount, 4);
}

// The mark: none while the mouse alone is used, the skin's dotted frame
// round the slot once Tab has reached it, and nothing else changed.
TEST_F(KeyboardTest, TheMarkShowsOnceTheKeysReachTheField) {
    Form1->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(Form1));
    QTest::mouseClick(Slot(2), Qt::LeftButton, Qt::NoModifier, QPoint(26, 38));
    EXPECT_FALSE(Field().MarkShown());
    Field().setFocus(Qt::OtherFocusReason); // as a program, not the keys, would
    EXPECT_FALSE(Field().MarkShown());
    Form1->sMemo1->setFocus();
    const QImage before = Form1->grab().toImage();
    TabIntoTheField();
    EXPECT_TRUE(Field().MarkShown());
    const QImage after = Form1->grab().toImage();
    ASSERT_EQ(before.size(), after.size());
    const QPoint slot = Slot(1)->mapTo(Form1, QPoint(0, 0));
    const QRect mark = QRect(slot, Slot(1)->size()).adjusted(-2, -2, 2, 2);
    const QRect log(Form1->sMemo1->mapTo(Form1, QPoint(0, 0)), Form1->sMemo1->size());
    const QRgb dark =
        platform::ToQColor(platform::TColor(skin::Value(Form1->sSkinManager1->GlobalFontColor())))
            .rgb();
    int changed = 0, dots = 0;
    for (int y = 0; y < after.height(); ++y)
        for (int x = 0; x < after.width(); ++x) {
            if (before.pixel(x, y) == after.pixel(x, y))
                continue;
            // The log lost its caret; nothing else but the mark changes.
            ASSERT_TRUE(mark.contains(x, y) || log.contains(x, y)) << x << "," << y;
            changed += mark.contains(x, y);
            dots += mark.contains(x, y) && after.pixel(x, y) == dark;
        }
    // Every third pixel round the picture is a dark dot.
    const int ring = 2 * (mark.width() + mark.height());
    EXPECT_GT(dots, ring / 3 - 8);
    EXPECT_GE(changed, dots);
    // Moving it moves the mark; leaving the field takes it away.
    Key(Qt::Key_Right);
    EXPECT_NE(Form1->grab().toImage().pixel(mark.topLeft()), after.pixel(mark.topLeft()));
    QTest::keyClick(&Field(), Qt::Key_Tab);
    EXPECT_FALSE(Field().MarkShown());
}

// A screen reader: the current slot is a focusable button, focused while
// the keys are on it, and named by its place and state. (That it is told
// when the keys move and when a rune opens needs an accessibility bus: the
// end-to-end test through AT-SPI sees those events.)
TEST_F(KeyboardTest, AScreenReaderFindsTheSlotTheKeysAreOn) {
    auto face = [&](int n) { return QAccessible::queryAccessibleInterface(Slot(n)); };
    EXPECT_FALSE(face(1)->state().focused);
    TabIntoTheField();
    EXPECT_TRUE(face(1)->state().focused);
    EXPECT_TRUE(face(1)->state().focusable);
    EXPECT_EQ(face(1)->role(), QAccessible::Button);
    Key(Qt::Key_Right);
    EXPECT_FALSE(face(1)->state().focused);
    EXPECT_TRUE(face(2)->state().focused);
    EXPECT_EQ(face(2)->text(QAccessible::Name), "Руна 2, закрыта");
    Key(Qt::Key_Return);
    EXPECT_EQ(face(2)->text(QAccessible::Name), oracle::RuneName(reading.Deck[1]) + ", открыта");
    EXPECT_TRUE(face(2)->state().focused);
    EXPECT_TRUE(face(2)->state().disabled);
    QTest::keyClick(&Field(), Qt::Key_Tab);
    EXPECT_FALSE(face(2)->state().focused);
    // A screen reader's "set focus" on a slot brings the keys there.
    face(5)->actionInterface()->doAction(QAccessibleActionInterface::setFocusAction());
    EXPECT_TRUE(Field().hasFocus());
    EXPECT_EQ(Current(), 5);
    EXPECT_TRUE(face(5)->state().focused);
}

// Escape closes a companion window as its close button does; the message
// from the ancestors stops its music with it.
TEST_F(KeyboardTest, EscapeClosesTheCompanionWindows) {
    struct Recorder : platform::WavePlayer {
        QStringList Calls;
        void Play(const QString& r) override { Calls << "play " + r; }
        void Stop() override { Calls << "stop"; }
    } player;
    Form1->CreateCompanions();
    Form1->Ancestors()->Player = &player;
    struct Row {
        void (TForm1::*command)();
        platform::TForm* form;
    } rows[] = {{&TForm1::N9Click, Form1->Help()},
                {&TForm1::N11Click, Form1->Author()},
                {&TForm1::N10Click, Form1->Ancestors()}};
    for (const Row& row : rows) {
        SCOPED_TRACE(row.form->Caption().toStdString());
        (Form1->*row.command)();
        platform::TForm* form = row.form;
        ASSERT_TRUE(form->isVisible());
        form->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(form));
        QTest::keyClick(form->focusWidget() ? form->focusWidget() : form, Qt::Key_Escape);
        EXPECT_FALSE(form->isVisible());
    }
    EXPECT_EQ(player.Calls, (QStringList{"play :/sound/WAVE_0.wav", "stop"}));
}
