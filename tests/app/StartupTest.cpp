#include "app/Startup.h"
#include "app/WindowSet.h"
#include "support/Boxes.h"

#include "support/Printers.h"
#include <QApplication>
#include <QIcon>
#include <QTimer>
#include <gtest/gtest.h>

using namespace app;
using testing_support::AnswerNextBox;
using testing_support::SeenBox;

TEST(Startup, OnlyTheVersionSwitchIsRecognised) {
    struct Row {
        QStringList args;
        bool asks;
    } rows[] = {
        {{}, false},
        {{"/acver"}, true},
        {{"/ACVER"}, true},
        {{"reading.txt", "/AcVer"}, true},
        {{"/acver", "/acver"}, true},
        {{"/acpreview"}, false},
        {{"acver"}, false},
        {{"/acver2"}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AsksForEngineVersion(row.args), row.asks) << row.args.join(' ').toStdString();
}

TEST(Startup, VersionBoxComesBeforeAnyWindow) {
    auto seen = AnswerNextBox("OK");
    ShowStartupMessages({"/ACVER", "/acver"});
    EXPECT_TRUE(seen->Shown);
    EXPECT_EQ(seen->Text, kEngineVersionText);
    EXPECT_EQ(seen->TopLevelWindowsVisible, 0);

    // Any other argument shows nothing.
    seen = AnswerNextBox("OK");
    ShowStartupMessages({"/acpreview", "x"});
    EXPECT_FALSE(seen->Shown);
}

class WindowSetTest : public ::testing::Test {
protected:
    void SetUp() override { PrepareApplication(*qApp); }
    oracle::ReadingState reading;
    platform::RandomSource random;
};

TEST_F(WindowSetTest, FiveWindowsExistAndOnlyTheMainOneIsShown) {
    EXPECT_EQ(Form1, nullptr);
    {
        WindowSet set(reading, random);
        ASSERT_TRUE(Form1 && Form2 && Form3 && Form4 && Form5);
        const QWidget* forms[] = {Form1, Form2, Form3, Form4, Form5};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(forms[i]->objectName(), QStringLiteral("Form%1").arg(i + 1));
            EXPECT_FALSE(forms[i]->isVisible());
        }
        Form1->show();
        Form2->show(); // the text store is never shown, whoever asks
        EXPECT_TRUE(Form1->isVisible());
        for (const QWidget* w : {static_cast<QWidget*>(Form2), static_cast<QWidget*>(Form3),
                                 static_cast<QWidget*>(Form4), static_cast<QWidget*>(Form5)})
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();

        EXPECT_EQ(Form1->ClientSize(), QSize(792, 546));
        EXPECT_EQ(Form3->ClientSize(), QSize(489, 291));
        EXPECT_EQ(Form3->Caption(), QStringLiteral("Послание от предков."));
        EXPECT_EQ(Form4->ClientSize(), QSize(193, 214));
        EXPECT_EQ(Form4->Caption(), QString());
        EXPECT_EQ(Form5->ClientSize(), QSize(592, 405));
        EXPECT_EQ(Form5->Caption(), QStringLiteral("Справка..."));
        EXPECT_FALSE(QApplication::windowIcon().isNull());
        EXPECT_EQ(Form2->LabelCaption("sLabel25").size(), 289);
    }
    EXPECT_EQ(Form1, nullptr);
    EXPECT_EQ(Form5, nullptr);
}

TEST_F(WindowSetTest, MainWindowIsBuiltBeforeTheTextStoreExists) {
    // The creation handler runs while Form2 does not exist yet, and must not
    // need it: building the main window alone sets up the first reading.
    ASSERT_EQ(Form2, nullptr);
    TForm1 form(reading, random);
    EXPECT_EQ(reading.SpreadKind, 1);
    EXPECT_EQ(reading.OpenedCount, 0);
    EXPECT_NE(reading.Deck, oracle::DeckArray{});
}
