#include "app/MainWindow.h"
#include "app/Startup.h"
#include "oracle/RuneCatalogue.h"
#include "support/Boxes.h"

#include "support/Printers.h"
#include <QApplication>
#include <QMenuBar>
#include <gtest/gtest.h>

using namespace app;
using testing_support::AnswerNextBox;
using testing_support::SeenBox;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        PrepareApplication(*qApp);
        form = std::make_unique<TForm1>(reading, random);
        form->OnClosed = [this] { ++closed; };
        form->show();
    }

    oracle::ReadingState reading;
    platform::RandomSource random;
    std::unique_ptr<TForm1> form;
    int closed = 0;
};

QAction* FindAction(QMenuBar* bar, const QString& menu, const QString& item) {
    for (QAction* top : bar->actions())
        if (top->text() == menu && top->menu())
            for (QAction* a : top->menu()->actions())
                if (a->text() == item)
                    return a;
    return nullptr;
}

} // namespace

TEST_F(MainWindowTest, GridSlotsShowTheBackAtTheirPlaces) {
    const platform::Bitmap back = platform::Bitmap::Load(oracle::kRuneBackResource);
    const QImage shown = form->Client()->grab().toImage().convertToFormat(QImage::Format_RGB32);
    const QPoint expected[] = {{24, 48},   {280, 48}, {24, 136}, {152, 224},
                               {280, 312}, {56, 400}, {248, 400}};
    const int slotNumbers[] = {1, 5, 6, 13, 20, 21, 24};
    for (int i = 0; i < 7; ++i)
        EXPECT_EQ(form->Image(slotNumbers[i])->geometry().topLeft(), expected[i]) << slotNumbers[i];
    for (int n = 1; n <= 24; ++n) {
        SCOPED_TRACE("Image" + std::to_string(n));
        platform::TImage* slot = form->Image(n);
        EXPECT_EQ(slot->size(), QSize(53, 77));
        EXPECT_TRUE(slot->isVisible());
        EXPECT_TRUE(slot->isEnabled());
        EXPECT_EQ(slot->focusPolicy(), Qt::NoFocus);
        EXPECT_EQ(slot->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(slot->Picture() == back);
        // What the window shows at the slot is the back, pixel for pixel.
        const platform::Bitmap painted(shown.copy(slot->geometry()));
        EXPECT_TRUE(painted == back);
    }
    EXPECT_EQ(form->sMemo1->geometry(), QRect(354, 48, 431, 433));
    EXPECT_EQ(form->sMemo1->Text(), QString());
}

TEST_F(MainWindowTest, DisabledSlotKeepsItsLookAndShowsTheArrow) {
    platform::TImage* slot = form->Image(7);
    const QImage before = slot->grab().toImage();
    slot->setEnabled(false);
    EXPECT_EQ(slot->cursor().shape(), Qt::ArrowCursor);
    EXPECT_EQ(slot->grab().toImage(), before);
}

TEST_F(MainWindowTest, ExitAnsweredNoChangesNothing) {
    QAction* exit = FindAction(form->MainMenu1, "Файл", "Выход...");
    ASSERT_NE(exit, nullptr);
    form->sMemo1->SetText("Мой вопрос");
    reading.OpenedCount = 1;
    const oracle::ReadingState before = reading;
    for (const QString& answer : {QStringLiteral("&No"), QString()}) { // No, or box closed
        auto seen = AnswerNextBox(answer);
        exit->trigger();
        EXPECT_TRUE(seen->Shown);
        EXPECT_EQ(seen->Text, QStringLiteral("Вы действительно хотите закрыть программу?"));
        EXPECT_EQ(seen->Title, QStringLiteral("Confirm"));
        EXPECT_EQ(reading.Deck, before.Deck);
        EXPECT_EQ(reading.OpenedCount, 1);
        EXPECT_EQ(reading.SpreadKind, 1);
        EXPECT_EQ(form->sMemo1->Text(), QStringLiteral("Мой вопрос"));
        EXPECT_TRUE(form->isVisible());
        EXPECT_EQ(closed, 0);
    }
}

TEST_F(MainWindowTest, ExitAnsweredYesClearsTheReadingAndCloses) {
    form->sMemo1->SetText("Мой вопрос");
    auto seen = AnswerNextBox("&Yes");
    form->N13->trigger();
    EXPECT_TRUE(seen->Shown);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(reading.Deck, oracle::DeckArray{});
    EXPECT_EQ(reading.OpenedCount, 0);
    EXPECT_EQ(reading.SpreadKind, 0);
    EXPECT_EQ(form->sMemo1->Text(), QString());
}

TEST_F(MainWindowTest, ClosingTheWindowDirectlyAsksNothingAndClears) {
    reading.OpenedCount = 1;
    form->sMemo1->SetText("текст");
    auto seen = AnswerNextBox("&No");
    EXPECT_TRUE(form->close());
    QApplication::processEvents();
    EXPECT_FALSE(seen->Shown);
    EXPECT_EQ(closed, 1);
    EXPECT_EQ(reading.SpreadKind, 0);
    EXPECT_EQ(reading.Deck, oracle::DeckArray{});
    EXPECT_EQ(form->sMemo1->Text(), QString());
}

TEST_F(MainWindowTest, WindowCannotBeResizedOrMaximised) {
    EXPECT_FALSE(form->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowMinimizeButtonHint);
    EXPECT_TRUE(form->windowFlags() & Qt::WindowCloseButtonHint);
    EXPECT_EQ(form->minimumSize(), form->maximumSize());
}

TEST_F(MainWindowTest, HeadingsTakeTheSkinsLookOverTheirOwnColours) {
    // Lime on lime is set on the prompt; the program's skin turns it into
    // dark brown text with a cream halo of one pass at a distance of 1.
    controls::TsLabelFX* prompt = form->sLabelFX1;
    EXPECT_EQ(prompt->Kind().Color(), platform::clLime);
    EXPECT_EQ(prompt->Shadow().Color(), platform::clLime);
    EXPECT_EQ(form->sLabelFX2->SkinSection(), "ALPHAEDIT");
    ASSERT_NE(controls::ActiveSkin(), nullptr);
    platform::Bitmap shown;
    prompt->PaintTo(shown);
    EXPECT_EQ(prompt->Shadow().ShadowRGB, (std::array<int, 3>{255, 231, 186}));
    EXPECT_EQ(prompt->ShadowLead, 0);
    EXPECT_EQ(prompt->ShadowTrail, 2);
    int brown = 0, lime = 0;
    for (int y = 0; y < shown.Height(); ++y)
        for (int x = 0; x < shown.Width(); ++x) {
            brown += shown.Pixel(x, y) == platform::RGBColor(55, 33, 7);
            lime += shown.Pixel(x, y) == platform::clLime;
        }
    EXPECT_GT(brown, 100);
    EXPECT_EQ(lime, 0);
}
