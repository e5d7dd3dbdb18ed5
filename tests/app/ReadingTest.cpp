// A whole reading in the main window: spreads, opening runes, the log.
#include "app/RuneField.h"
#include "app/Startup.h"
#include "app/WindowSet.h"
#include "oracle/RuneCatalogue.h"

#include "support/Printers.h"
#include "support/ProgramWindows.h"
#include <QApplication>
#include <QRegularExpression>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBlock>
#include <gtest/gtest.h>
#include <map>
#include <set>

using namespace app;

namespace {

constexpr platform::TColor kPureRed = platform::RGBColor(255, 0, 0);

class ReadingTest : public testing_support::ProgramWindowsTest {
protected:
    TForm1& Form() { return *Form1; }
    platform::TImage* Slot(int n) { return Form().Image(n); }
    QString Log() { return Form().sMemo1->Text(); }
    QString RuneText(int rune) {
        return Form1->TextStore()->LabelCaption(oracle::InterpretationLabel(rune));
    }
    QString Heading(int rune) { return RuneText(rune).split("\r\n").value(2); }
    int RuneAt(int slot) { return reading.Deck[SlotDeckIndex(slot)]; }

    void Press(int slot, Qt::MouseButton button = Qt::LeftButton) {
        QTest::mousePress(Slot(slot), button, Qt::NoModifier, QPoint(26, 38));
        QTest::mouseRelease(Slot(slot), button, Qt::NoModifier, QPoint(26, 38));
    }

    // Which tile or face a slot shows: 0 back, 1..24 a face, 26..31 a tile, -1 else.
    int Shows(int slot) {
        const platform::Bitmap& pic = Slot(slot)->Picture();
        const platform::TImageList& pictures = Form().RunePictures();
        for (int i = 0; i < pictures.Count(); ++i)
            if (pic == pictures.Picture(i))
                return i;
        return -1;
    }

    std::set<int> VisibleGridSlots() {
        std::set<int> out;
        for (int n = 1; n <= kGridSlots; ++n)
            if (Slot(n)->isVisible())
                out.insert(n);
        return out;
    }
};

struct SpreadRow {
    int kind;
    void (TForm1::*command)();
    std::map<int, int> tiles; // slot -> picture shown face down
    QString prompt;
    const char* guide; // label of the guide text, or null
};

const std::vector<SpreadRow>& Spreads() {
    static const std::vector<SpreadRow> rows = [] {
        std::map<int, int> backs;
        for (int n = 1; n <= kGridSlots; ++n)
            backs[n] = oracle::kRuneBackPicture;
        auto tile = [](int k) { return oracle::NumberTilePicture(k); };
        return std::vector<SpreadRow>{
            {1, &TForm1::N3Click, backs, "Задумайте вопрос и откройте  руну.", nullptr},
            {4,
             &TForm1::N4Click,
             {{9, tile(1)}, {7, tile(2)}, {13, tile(3)}, {3, tile(4)}},
             "Задумайте вопрос и откройте руны.",
             "sLabel25"},
            {5,
             &TForm1::N5Click,
             {{9, tile(1)}, {8, tile(2)}, {7, tile(3)}, {3, tile(4)}, {13, tile(5)}},
             "Задумайте вопрос и откройте руны.",
             "sLabel26"},
            {6,
             &TForm1::N6Click,
             {{25, tile(1)},
              {26, tile(2)},
              {27, tile(3)},
              {28, tile(4)},
              {29, tile(5)},
              {30, tile(6)}},
             "Задумайте вопрос и откройте руны.",
             "sLabel27"},
        };
    }();
    return rows;
}

} // namespace

TEST_F(ReadingTest, StartsInTheOneRuneSpread) {
    EXPECT_EQ(reading.SpreadKind, 1);
    EXPECT_EQ(reading.OpenedCount, 0);
    EXPECT_EQ(Form().sLabelFX1->Caption(), "Задумайте вопрос и откройте  руну.");
    EXPECT_FALSE(Form().sLabel1->isVisible());
    EXPECT_FALSE(Form().sPanel1->isVisible());
    EXPECT_EQ(Log(), QString());
    EXPECT_EQ(VisibleGridSlots().size(), 24u);
    for (int n = 25; n <= 30; ++n)
        EXPECT_EQ(Shows(n), oracle::kRuneBackPicture);
}

TEST_F(ReadingTest, EverySpreadEndsInItsStateWhateverCameBefore) {
    for (const SpreadRow& before : Spreads())
        for (const SpreadRow& row : Spreads()) {
            SCOPED_TRACE(std::to_string(before.kind) + " then " + std::to_string(row.kind));
            (Form().*before.command)();
            Press(before.kind == 6 ? 26 : 9); // leave an opened rune behind
            (Form().*row.command)();

            EXPECT_EQ(reading.SpreadKind, row.kind);
            EXPECT_EQ(reading.OpenedCount, 0);
            EXPECT_EQ(Log(), QString());
            EXPECT_EQ(Form().sLabelFX1->Caption(), row.prompt);
            EXPECT_EQ(Form().sLabel1->isVisible(), row.guide != nullptr);
            if (row.guide) {
                EXPECT_EQ(Form().sLabel1->Caption(), Form1->TextStore()->LabelCaption(row.guide));
            }
            EXPECT_EQ(Form().sPanel1->isVisible(), row.kind == 6);
            std::set<int> expectedGrid;
            for (const auto& [slot, picture] : row.tiles) {
                EXPECT_EQ(Shows(slot), picture) << "Image" << slot;
                EXPECT_TRUE(Slot(slot)->isVisible()) << "Image" << slot;
                EXPECT_TRUE(Slot(slot)->isEnabled()) << "Image" << slot;
                if (slot <= kGridSlots)
                    expectedGrid.insert(slot);
            }
            EXPECT_EQ(VisibleGridSlots(), expectedGrid);
        }
}

TEST_F(ReadingTest, CompletingEachSpreadDisablesEverySlot) {
    for (const SpreadRow& row : Spreads()) {
        SCOPED_TRACE(row.kind);
        (Form().*row.command)();
        // Open in reverse order of the slot numbers: the order is free.
        std::vector<int> order;
        for (const auto& [slot, picture] : row.tiles)
            order.insert(order.begin(), slot);
        order.resize(row.kind);
        QString expectedLog;
        for (size_t i = 0; i < order.size(); ++i) {
            const int slot = order[i];
            const int rune = RuneAt(slot);
            Press(slot);
            EXPECT_EQ(reading.OpenedCount, int(i) + 1);
            EXPECT_EQ(Shows(slot), oracle::FacePicture(rune)) << "Image" << slot;
            EXPECT_FALSE(Slot(slot)->isEnabled());
            expectedLog += RuneText(rune) + "\r\n";
        }
        EXPECT_EQ(Log(), expectedLog);
        EXPECT_EQ(reading.OpenedCount, row.kind);
        for (int n = 1; n <= kSlotCount; ++n)
            EXPECT_FALSE(Slot(n)->isEnabled()) << "Image" << n;
        // Further presses find every slot disabled.
        Press(order.front());
        EXPECT_EQ(reading.OpenedCount, row.kind);
        EXPECT_EQ(Log(), expectedLog);
    }
}

TEST_F(ReadingTest, PressesAreAnyButtonOnceEach) {
    Form().N4Click();
    Press(7, Qt::RightButton);
    EXPECT_EQ(reading.OpenedCount, 1);
    Press(7); // already open: nothing
    EXPECT_EQ(reading.OpenedCount, 1);
    QTest::mouseDClick(Slot(3), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(reading.OpenedCount, 2);
    EXPECT_EQ(Log(), RuneText(RuneAt(7)) + "\r\n" + RuneText(RuneAt(3)) + "\r\n");
    EXPECT_FALSE(Slot(1)->isVisible()); // hidden in this spread: cannot be pressed
}

TEST_F(ReadingTest, LogShowsItsBeginningAfterEveryChange) {
    Form().N4Click();
    Press(9);
    Press(7);
    skin::TsMemo* memo = Form().sMemo1;
    QApplication::processEvents();
    EXPECT_EQ(memo->FirstVisibleLine(), 0);
    EXPECT_EQ(memo->verticalScrollBar()->value(), 0);
    EXPECT_EQ(memo->horizontalScrollBar()->value(), 0);
    EXPECT_EQ(memo->SelStart(), 0);
    EXPECT_EQ(memo->SelLength(), 0);
    EXPECT_EQ(memo->document()->findBlockByNumber(2).text(), Heading(RuneAt(9)));

    // The user's own typing brings the caret back to the start too.
    memo->setFocus();
    memo->moveCursor(QTextCursor::End);
    for (const QString& letter : {QStringLiteral("о"), QStringLiteral("к")})
        QTest::sendKeyEvent(QTest::Click, memo, Qt::Key_unknown, letter, Qt::NoModifier);
    QApplication::processEvents();
    EXPECT_EQ(memo->SelStart(), 0);
    EXPECT_EQ(memo->verticalScrollBar()->value(), 0);
    EXPECT_TRUE(Log().contains("о"));
}

TEST_F(ReadingTest, TextAfterTypedCharactersStartsOnANewLine) {
    Form().N4Click();
    Form().sMemo1->SetText("Мой вопрос");
    Press(9);
    EXPECT_EQ(Log(), "Мой вопрос\r\n" + RuneText(RuneAt(9)));
    Press(7); // the log does not end with a line break now
    EXPECT_EQ(Log(), "Мой вопрос\r\n" + RuneText(RuneAt(9)) + "\r\n" + RuneText(RuneAt(7)));
}

TEST_F(ReadingTest, RefreshInTheMiddleTurnsTheSpreadFaceDown) {
    Form().N4Click();
    Press(9);
    Press(3);
    const oracle::DeckArray before = reading.Deck;
    Form().sButton1->click();
    EXPECT_EQ(reading.OpenedCount, 0);
    EXPECT_EQ(reading.SpreadKind, 4);
    EXPECT_EQ(Log(), QString());
    EXPECT_NE(reading.Deck, before);
    EXPECT_EQ(Shows(9), oracle::NumberTilePicture(1));
    EXPECT_EQ(Shows(3), oracle::NumberTilePicture(4));
    for (int n : {3, 7, 9, 13})
        EXPECT_TRUE(Slot(n)->isEnabled());
    EXPECT_EQ(VisibleGridSlots(), (std::set<int>{3, 7, 9, 13}));
}

TEST_F(ReadingTest, RuneTwentyFourHasNoDivinationLine) {
    Form().N3Click();
    // Put rune 24 under the first slot.
    std::swap(reading.Deck[0], *std::find(reading.Deck.begin(), reading.Deck.end(), 24));
    Press(1);
    const QStringList lines = Log().split("\r\n");
    EXPECT_EQ(lines[0], QString());
    EXPECT_EQ(lines[1], QString());
    EXPECT_EQ(lines[2], "Руна - Зело (Очень,много).");
    EXPECT_EQ(lines[3], QString());
    EXPECT_FALSE(lines[4].isEmpty());
    EXPECT_NE(lines[4], "РУНА В ГАДАНИИ.");
    // The face drawn is rune 24's, in pure red.
    int red = 0;
    for (int y = 0; y < 77; ++y)
        for (int x = 0; x < 53; ++x)
            red += Slot(1)->Picture().Pixel(x, y) == kPureRed;
    EXPECT_GT(red, 100);
}

TEST_F(ReadingTest, EveryCaptionHasTheAphorismFormat) {
    const QString author = QStringLiteral("[А-ЯЁ][а-яё]+( [А-ЯЁ][а-яё]+)?");
    std::map<QString, std::vector<int>> byAuthor;
    for (int i = 1; i <= kAphorismCount; ++i) {
        const QString caption = AphorismCaption(i);
        const QRegularExpression format("^Чаролист - \"(.+[.!?])-(" + author + ")\"\\." +
                                        (i == 11 ? " $" : "$"));
        const auto m = format.match(caption);
        ASSERT_TRUE(m.hasMatch()) << caption.toStdString();
        byAuthor[m.captured(2)].push_back(i);
    }
    EXPECT_EQ(AphorismCaption(1),
              "Чаролист - \"Начало есть более чем половина всего.-Аристотель\".");
    EXPECT_EQ(AphorismCaption(7).mid(12, 20), "Познай самого себя!.");
    // 9 and 10 share an author, as do 14, 16, 17 and 18; all others differ.
    std::set<std::vector<int>> groups;
    for (const auto& [name, numbers] : byAuthor)
        groups.insert(numbers);
    EXPECT_TRUE(groups.count({9, 10}));
    EXPECT_TRUE(groups.count({14, 16, 17, 18}));
    EXPECT_EQ(groups.size(), 14u);
    // The window shows one of them.
    bool known = false;
    for (int i = 1; i <= kAphorismCount; ++i)
        known |= Form().Caption() == AphorismCaption(i);
    EXPECT_TRUE(known);
}

TEST_F(ReadingTest, MenuHasTheCaptionsAndShowsCompanionWindowsOnce) {
    QStringList tree;
    for (QAction* top : Form().MainMenu1->actions()) {
        tree << top->text();
        for (QAction* a : top->menu()->actions()) {
            tree << "  " + a->text();
            EXPECT_TRUE(a->shortcut().isEmpty());
            EXPECT_FALSE(a->isCheckable());
        }
    }
    EXPECT_EQ(tree,
              (QStringList{"Файл", "  Сохранить...", "  Выход...", "Расклад...", "  Одна руна...",
                           "  Четыре руны...", "  Крест...", "  Шесть рун...", "О программе...",
                           "  Справка...", "  Послание от предков...", "  Автор..."}));
    Form().N9->trigger();
    EXPECT_TRUE(Form1->Help()->isVisible());
    Form1->Help()->move(10, 10);
    const QPoint at = Form1->Help()->pos();
    Form().N9->trigger(); // already shown: nothing changes
    EXPECT_EQ(Form1->Help()->pos(), at);
    Form().N10->trigger();
    EXPECT_TRUE(Form1->Ancestors()->isVisible());
    Form().N11->trigger();
    EXPECT_TRUE(Form1->Author()->isVisible());
}

TEST_F(ReadingTest, LayoutAndTabOrder) {
    TForm1& f = Form();
    EXPECT_EQ(f.sLabelFX1->pos(), QPoint(56, 8));
    EXPECT_EQ(f.sLabelFX2->pos(), QPoint(488, 8));
    EXPECT_EQ(f.sLabelFX2->Caption(), "Найди свой ответ.");
    EXPECT_EQ(f.sPanel1->geometry(), QRect(16, 136, 333, 77));
    for (int n = 25; n <= 30; ++n)
        EXPECT_EQ(Slot(n)->geometry(), QRect((n - 25) * 56, 0, 53, 77));
    EXPECT_EQ(f.sLabel1->pos(), QPoint(8, 312));
    EXPECT_EQ(f.sButton1->geometry(), QRect(128, 510, 114, 27));
    EXPECT_EQ(f.sButton1->Caption(), "Обновить руны");
    EXPECT_EQ(f.sButton1->Font().Height, 12);
    EXPECT_EQ(f.sLabelFX1->Font().Color, platform::RGBColor(55, 33, 7));
    EXPECT_EQ(f.sMemo1->Color(), platform::RGBColor(211, 182, 129));
    EXPECT_EQ(f.sMemo1->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_EQ(f.sMemo1->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
    EXPECT_FALSE(f.sMemo1->isReadOnly());
    // Tab goes round the runes (one stop), the log and the button, in the
    // order they are read; the log has the keys at first.
    std::vector<QWidget*> round;
    QWidget* next = f.RuneField1;
    do {
        if (next->focusPolicy() & Qt::TabFocus && next->isVisible())
            round.push_back(next);
        next = next->nextInFocusChain();
    } while (next != f.RuneField1);
    EXPECT_EQ(round, (std::vector<QWidget*>{f.RuneField1, f.sMemo1, f.sButton1}));
    EXPECT_EQ(f.focusWidget(), f.sMemo1);
    for (int n = 1; n <= kSlotCount; ++n)
        EXPECT_EQ(Slot(n)->focusPolicy(), Qt::NoFocus);
}
