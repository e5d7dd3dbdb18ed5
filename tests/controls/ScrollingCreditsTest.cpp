#include "controls/ScrollingCredits.h"
#include "platform/Canvas.h"

#include "support/Printers.h"
#include <QApplication>
#include <QTest>
#include <gtest/gtest.h>

using namespace controls;
using platform::TColor;

TEST(CreditLine, FormattingCodes) {
    constexpr TColor none = -1;
    struct Row {
        const char* line;
        const char* text;
        bool bold, italic, underline;
        TColor colour; // none: no colour code
    } rows[] = {
        {"plain", "plain", false, false, false, none},
        {"&&&&", "&&", false, false, false, none},
        {"&&b", "&b", false, false, false, none},
        {"&", "", false, false, false, none},
        {"a&xb", "ab", false, false, false, none}, // unknown code dropped with its letter
        {"&Bbold &Iit &Uun", "bold it un", true, true, true, none},
        {"mid&bdle", "middle", true, false, false, none}, // codes anywhere apply to the line
        {"&c255,255,0;Make a line a different color", "Make a line a different color", false, false,
         false, platform::RGBColor(255, 255, 0)},
        {"&c0,255,255;with &&c[red],[green],[blue];", "with &c[red],[green],[blue];", false, false,
         false, platform::RGBColor(0, 255, 255)},
        {"&C1,2,3;x&c4,5,6;y", "xy", false, false, false, platform::RGBColor(4, 5, 6)},
        // Malformed colour codes: consumed, colour unchanged, never past the line.
        {"&c1,2;x", "x", false, false, false, none},         // two components
        {"&c1,2,3,4;x", "x", false, false, false, none},     // four
        {"&c,2,3;x", "x", false, false, false, none},        // an empty one
        {"&c1,a,3;x", "x", false, false, false, none},       // not a number
        {"&c1,2,256;x", "x", false, false, false, none},     // out of range
        {"&c-1,2,3;x", "x", false, false, false, none},      // a sign is not a digit
        {"&c1,2,3 and more", "", false, false, false, none}, // no ';': the rest is the code
        {"&c1,2,3", "", false, false, false, platform::RGBColor(1, 2, 3)}, // ends the line
        {"&c", "", false, false, false, none},
        {"&c9,9,9;a&c1,2;b", "ab", false, false, false, platform::RGBColor(9, 9, 9)},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.line);
        const CreditLine line = ParseCreditLine(QString::fromUtf8(row.line));
        EXPECT_EQ(line.Text, QString::fromUtf8(row.text));
        EXPECT_EQ(line.Bold, row.bold);
        EXPECT_EQ(line.Italic, row.italic);
        EXPECT_EQ(line.Underline, row.underline);
        EXPECT_EQ(line.Color.value_or(none), row.colour);
    }
}

TEST(CreditLine, BoldReplacesTheFontsStylesThenItalicAndUnderlineAreAdded) {
    platform::TFont base;
    base.Style = platform::fsItalic | platform::fsStrikeOut;
    base.Color = platform::clRed;
    EXPECT_EQ(CreditLineFont(base, ParseCreditLine("&bx")).Style, platform::fsBold);
    EXPECT_EQ(CreditLineFont(base, ParseCreditLine("&b&ix")).Style,
              platform::fsBold | platform::fsItalic);
    EXPECT_EQ(CreditLineFont(base, ParseCreditLine("&ux")).Style,
              platform::fsItalic | platform::fsStrikeOut | platform::fsUnderline);
    EXPECT_EQ(CreditLineFont(base, ParseCreditLine("x")).Color, platform::clRed);
    EXPECT_EQ(CreditLineFont(base, ParseCreditLine("&c0,0,9;x")).Color,
              platform::RGBColor(0, 0, 9));
}

namespace {

class CreditsTest : public ::testing::Test {
protected:
    void SetUp() override {
        window.resize(400, 300);
        credits = new TScrollingCredits(&window);
        credits->setGeometry(10, 10, W, H);
        credits->OnShowCredit = [this](TScrollingCredits*, const QString& text) { shown << text; };
        credits->AfterLastCredit = [this](TScrollingCredits*) { ++after; };
        window.show();
        QApplication::processEvents();
    }

    // Rows inside the border of the off-screen picture that hold a pixel
    // of the given colour, or mostly of it (text edges are blended).
    std::vector<int> RowsWith(const platform::Bitmap& b, TColor colour) {
        const QColor want = platform::ToQColor(colour);
        auto near = [&](TColor c) {
            const QColor got = platform::ToQColor(c);
            return std::abs(got.red() - want.red()) < 60 &&
                   std::abs(got.green() - want.green()) < 60 &&
                   std::abs(got.blue() - want.blue()) < 60;
        };
        std::vector<int> rows;
        for (int y = 1; y < b.Height() - 1; ++y)
            for (int x = 1; x < b.Width() - 1; ++x)
                if (near(b.Pixel(x, y))) {
                    rows.push_back(y);
                    break;
                }
        return rows;
    }

    static constexpr int W = 120, H = 60;
    QWidget window;
    TScrollingCredits* credits;
    QStringList shown;
    int after = 0;
};

} // namespace

TEST_F(CreditsTest, StartsWithItsDefaults) {
    TScrollingCredits fresh;
    EXPECT_EQ(fresh.size(), QSize(305, 201));
    EXPECT_EQ(fresh.Credits().size(), 15);
    EXPECT_EQ(fresh.Credits()[0], "&b&uTScrollingCredits");
    EXPECT_EQ(fresh.Credits()[10], "And put that ampersand in with &&&&");
    EXPECT_EQ(fresh.CreditsFont().Color, platform::clWhite);
    EXPECT_EQ(fresh.BackgroundColor(), platform::clBlack);
    EXPECT_EQ(fresh.BorderColor(), platform::clWhite);
    EXPECT_EQ(fresh.Interval(), 50u);
    EXPECT_FALSE(fresh.Animate());
    EXPECT_TRUE(fresh.Visible());
    EXPECT_TRUE(fresh.ShowBorder());
    EXPECT_EQ(fresh.ScrollOffset(), 0);
    EXPECT_EQ(fresh.LastShownIndex(), -1);
    EXPECT_FALSE(fresh.IsWindowed());
}

TEST_F(CreditsTest, LineHeightIsTheHeightOfA) {
    platform::Bitmap none;
    platform::Canvas c(none);
    c.Font = credits->CreditsFont();
    EXPECT_EQ(credits->LineHeight(), c.TextHeight("A"));
    EXPECT_GT(credits->LineHeight(), 8);
}

TEST_F(CreditsTest, StaticLayoutStartsFourPixelsDownAndClips) {
    credits->CreditsFont().Color = platform::clRed;
    credits->CreditsFont().Height = 16;
    credits->SetCredits({"&b&c0,255,0;III", "", "&bIII", "&bIII", "&bIII", "&bIII", "&bIII"});
    platform::Bitmap pic;
    credits->PaintOffscreen(pic);
    const int lh = credits->LineHeight();
    // Line 0 is green and lies in rows 4 .. 4 + lh; line 2 red from 4 + 2 lh.
    const auto green = RowsWith(pic, platform::clLime);
    ASSERT_FALSE(green.empty());
    EXPECT_GE(green.front(), 4);
    EXPECT_LT(green.back(), 4 + lh);
    const auto red = RowsWith(pic, platform::clRed);
    ASSERT_FALSE(red.empty());
    EXPECT_GE(red.front(), 4 + 2 * lh);
    EXPECT_EQ(red.back(), H - 2); // lines below the edge are cut at the border
    // The border is one pixel all round; the line is centred.
    for (int x = 0; x < W; ++x) {
        EXPECT_EQ(pic.Pixel(x, 0), platform::clWhite);
        EXPECT_EQ(pic.Pixel(x, H - 1), platform::clWhite);
    }
    for (int y = 0; y < H; ++y) {
        EXPECT_EQ(pic.Pixel(0, y), platform::clWhite);
        EXPECT_EQ(pic.Pixel(W - 1, y), platform::clWhite);
    }
    int left = W, right = 0;
    for (int y = 1; y < H - 1; ++y)
        for (int x = 1; x < W - 1; ++x)
            if (platform::ToQColor(pic.Pixel(x, y)).green() > 128) {
                left = std::min(left, x);
                right = std::max(right, x);
            }
    EXPECT_NEAR((left + right) / 2.0, W / 2.0, 2.0);
    EXPECT_TRUE(shown.isEmpty()); // the static page reports nothing
}

TEST_F(CreditsTest, EmptyListRaisesAfterLastCreditOnSchedule) {
    credits->SetCredits({});
    credits->SetAnimate(true);
    const int lh = credits->LineHeight();
    int tick = 0;
    std::vector<int> at;
    while (at.size() < 3 && tick < 10 * H) {
        ++tick;
        credits->AnimationTick();
        if (after > int(at.size()))
            at.push_back(tick);
    }
    ASSERT_EQ(at.size(), 3u);
    EXPECT_EQ(at[0], H + lh + 2);
    EXPECT_EQ(at[1] - at[0], H + 2);
    EXPECT_EQ(at[2] - at[1], H + 2);
    // Only background and border are drawn.
    platform::Bitmap pic;
    credits->PaintOffscreen(pic);
    EXPECT_TRUE(RowsWith(pic, platform::clWhite).empty());
}

TEST_F(CreditsTest, APassReportsEachLineOnceAndTakesItsLength) {
    credits->SetCredits({"one", "&btwo", "three"});
    credits->SetAnimate(true);
    QApplication::processEvents();
    // The first line is reported as soon as the pass begins, still below the edge.
    EXPECT_EQ(shown, QStringList{"one"});
    const int lh = credits->LineHeight();
    int ticks = 0;
    while (after == 0 && ticks < 10 * H) {
        credits->AnimationTick();
        ++ticks;
    }
    // From Animate: H + LineHeight below the top, down to -(3 LineHeight) - 1,
    // then the wrap, whose paint already reports the first line of the next pass.
    EXPECT_EQ(ticks, H + lh + 3 * lh + 1 + 1);
    EXPECT_EQ(shown, (QStringList{"one", "two", "three", "one"}));
    EXPECT_EQ(credits->ScrollOffset(), H);
    EXPECT_EQ(credits->LastShownIndex(), 0);
}

TEST_F(CreditsTest, StoppingAndRestartingDoesNotReportLinesTwice) {
    credits->SetCredits({"one", "two"});
    credits->SetAnimate(true);
    for (int i = 0; i < H; ++i)
        credits->AnimationTick();
    EXPECT_EQ(shown, (QStringList{"one", "two"}));
    credits->SetAnimate(false);
    EXPECT_FALSE(credits->TimerRunning());
    credits->SetAnimate(true);
    EXPECT_TRUE(credits->TimerRunning());
    EXPECT_EQ(credits->ScrollOffset(), H + credits->LineHeight());
    for (int i = 0; i < H; ++i)
        credits->AnimationTick();
    EXPECT_EQ(shown, (QStringList{"one", "two"}));
}

TEST_F(CreditsTest, HiddenItDrawsNothingButStillTakesClicks) {
    int clicks = 0;
    credits->OnClick = [&](TScrollingCredits*) { ++clicks; };
    credits->SetAnimate(true);
    credits->SetVisible(false);
    EXPECT_FALSE(credits->TimerRunning());
    EXPECT_EQ(credits->ScrollOffset(), H);
    window.setStyleSheet("background: rgb(0, 0, 200)");
    window.setAutoFillBackground(true);
    const QImage shot = window.grab(QRect(10, 10, W, H)).toImage();
    EXPECT_EQ(QColor(shot.pixel(W / 2, H / 2)), QColor(0, 0, 200));
    EXPECT_EQ(QColor(shot.pixel(0, 0)), QColor(0, 0, 200)); // no border either
    QTest::mouseClick(credits, Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 1);
    credits->SetVisible(true);
    EXPECT_TRUE(credits->TimerRunning());
}

TEST_F(CreditsTest, BackgroundPictureIsStretchedUnderTextAndBorder) {
    platform::Bitmap picture(2, 2);
    picture.SetPixel(0, 0, platform::RGBColor(10, 0, 0));
    picture.SetPixel(1, 0, platform::RGBColor(20, 0, 0));
    picture.SetPixel(0, 1, platform::RGBColor(30, 0, 0));
    picture.SetPixel(1, 1, platform::RGBColor(40, 0, 0));
    credits->SetBackgroundImage(picture);
    credits->SetCredits({});
    credits->SetShowBorder(false);
    platform::Bitmap pic;
    credits->PaintOffscreen(pic);
    for (int y = 0; y < H; ++y)
        for (int x = 0; x < W; ++x)
            ASSERT_EQ(pic.Pixel(x, y),
                      platform::RGBColor(10 + 10 * (x * 2 / W) + 20 * (y * 2 / H), 0, 0))
                << x << "," << y;
    credits->SetShowBorder(true);
    credits->PaintOffscreen(pic);
    EXPECT_EQ(pic.Pixel(0, 0), platform::clWhite);
    EXPECT_EQ(pic.Pixel(1, 1), platform::RGBColor(10, 0, 0));
}
