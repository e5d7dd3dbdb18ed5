// The skinned button, text boxes and panel over a parent that hands out a
// picture, with the program's own skin in force. Expected pixels come from
// the skin's pictures and the painting rules, worked out here.
#include "skin/controls/ScrollBarPaint.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsEdit.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsPanel.h"
#include "skin/controls/TsRichEdit.h"

#include "app/InternalSkin.h"
#include "platform/ImageControl.h"
#include "skin/data/TsSkinManager.h"

#include "support/Pictures.h"
#include "support/Printers.h"
#include "support/SkinnedParent.h"
#include <QApplication>
#include <QEnterEvent>
#include <QMimeData>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyleOptionSlider>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

using platform::Bitmap;
using platform::RGBColor;
using platform::TColor;

namespace {

constexpr uint32_t kKey = 0xFF00FF;

using testing_support::PixelRgb;
int Channel(uint32_t pixel, int i) {
    return (pixel >> (8 * i)) & 0xFF;
}

struct Backdrop : testing_support::Backdrop {
    Backdrop() : testing_support::Backdrop(320, 240) {}
};

Bitmap Grab(QWidget& w) {
    return Bitmap(w.grab().toImage().convertToFormat(QImage::Format_RGB32));
}

class SkinnedControls : public ::testing::Test {
protected:
    void SetUp() override {
        content::UseInternalSkinOnly(manager, home.path());
        ASSERT_TRUE(manager.Active());
        backdrop.show();
    }
    const skin::TsGeneralData& Section(const char* name) {
        const int i = manager.FindSection(QString::fromLatin1(name));
        EXPECT_GE(i, 0) << name;
        return manager.SectionTable()[i];
    }
    const skin::TsMaskData& BorderOf(const char* name) {
        return manager.MaskTable()[Section(name).BordersMask];
    }
    uint32_t Master(int x, int y) { return PixelRgb(manager.MasterImage().ScanLine(y)[x]); }

    // The four corner pieces of a border frame with a mask half, at the
    // corners of `picture`: where the frame is magenta the parent shows,
    // where its mask is 0 the frame's pixel stands as it is.
    void ExpectMaskedCorners(const Bitmap& picture, const skin::TsMaskData& m, int frame, QPoint at,
                             const char* what) {
        const int fw = m.Area.Width() / m.FrameCount, fh = m.Area.Height() / 2;
        const int w = picture.Width(), h = picture.Height();
        int checked = 0;
        for (int corner = 0; corner < 4; ++corner) {
            const bool right = corner & 1, bottom = corner & 2;
            const int cw = right ? m.RightWidth : m.LeftWidth;
            const int ch = bottom ? m.BottomWidth : m.TopWidth;
            for (int y = 0; y < ch; ++y)
                for (int x = 0; x < cw; ++x) {
                    const int sx = m.Area.Left + frame * fw + (right ? fw - cw : 0) + x;
                    const int sy = m.Area.Top + (bottom ? fh - ch : 0) + y;
                    const int px = right ? w - cw + x : x, py = bottom ? h - ch + y : y;
                    const uint32_t src = Master(sx, sy), mask = Master(sx, sy + fh);
                    const uint32_t got = PixelRgb(picture.ScanLine(py)[px]);
                    if (src == kKey) {
                        EXPECT_EQ(got, backdrop.Under(at + QPoint(px, py)))
                            << what << " parent at " << px << "," << py;
                        ++checked;
                    } else if (mask == 0) {
                        EXPECT_EQ(got, src) << what << " frame pixel at " << px << "," << py;
                        ++checked;
                    }
                }
        }
        EXPECT_GT(checked, 20) << what;
    }

    QTemporaryDir home;
    skin::TsSkinManager manager;
    Backdrop backdrop;
};

// ---- The button -------------------------------------------------------------

class SkinnedButton : public SkinnedControls {
protected:
    void SetUp() override {
        SkinnedControls::SetUp();
        button = new skin::TsButton(&backdrop);
        button->setGeometry(QRect(at, QSize(120, 40)));
        button->SetCaption(QStringLiteral("Да"));
        button->setFocusPolicy(Qt::NoFocus);
        button->show();
    }
    Bitmap Picture() {
        button->SkinData().MarkCacheStale();
        button->PrepareButtonCache();
        return *button->SkinData().CacheBitmap();
    }
    void Enter() {
        QEnterEvent enter(QPointF(50, 20), QPointF(50, 20), button->mapToGlobal(QPointF(50, 20)));
        QApplication::sendEvent(button, &enter);
    }
    void Mouse(QEvent::Type type, QPoint p, Qt::MouseButtons held) {
        QMouseEvent e(type, p, button->mapToGlobal(p), Qt::LeftButton, held, Qt::NoModifier);
        QApplication::sendEvent(button, &e);
    }
    // The exact pixels of the caption's colour (its solid strokes), inside
    // the border.
    std::set<std::pair<int, int>> SolidText(const Bitmap& b, uint32_t colour) {
        std::set<std::pair<int, int>> out;
        for (int y = 8; y < b.Height() - 8; ++y)
            for (int x = 8; x < b.Width() - 8; ++x)
                if (PixelRgb(b.ScanLine(y)[x]) == colour)
                    out.emplace(x, y);
        return out;
    }
    const QPoint at{30, 20};
    skin::TsButton* button = nullptr;
};

TEST_F(SkinnedButton, EachStateLaysItsFrameOverTheParent) {
    const skin::TsMaskData& border = BorderOf("BUTTON");
    ASSERT_EQ(border.FrameCount, 3);
    ASSERT_EQ(border.MaskKind, 1);
    ASSERT_EQ(button->ButtonState(), 0);
    const Bitmap normal = Picture();
    ExpectMaskedCorners(normal, border, 0, at, "normal");
    // Transparency 100: inside the border the parent shows unchanged.
    for (QPoint p : {QPoint(12, 12), QPoint(100, 30), QPoint(20, 27)})
        EXPECT_EQ(PixelRgb(normal.ScanLine(p.y())[p.x()]), backdrop.Under(at + p));

    Enter();
    ASSERT_EQ(button->ButtonState(), 1);
    const Bitmap hot = Picture();
    ExpectMaskedCorners(hot, border, 1, at, "hot");
    Mouse(QEvent::MouseButtonPress, QPoint(50, 20), Qt::LeftButton);
    ASSERT_EQ(button->ButtonState(), 2);
    const Bitmap pressed = Picture();
    ExpectMaskedCorners(pressed, border, 2, at, "pressed");
    // Hot and pressed share the hot background: 79 % parent over the hot
    // gradient, whose rows are one colour each.
    const int a = 79 * 255 / 100;
    for (int y : {12, 20, 27}) {
        const uint32_t p1 = hot.ScanLine(y)[12], p2 = hot.ScanLine(y)[100];
        EXPECT_EQ(PixelRgb(pressed.ScanLine(y)[12]), PixelRgb(p1));
        EXPECT_NE(PixelRgb(p1), backdrop.Under(at + QPoint(12, y)));
        // The parent keeps its weight: a brighter parent pixel stays brighter.
        for (int c = 0; c < 3; ++c) {
            const int u1 = Channel(backdrop.Under(at + QPoint(12, y)), c);
            const int u2 = Channel(backdrop.Under(at + QPoint(100, y)), c);
            const int difference = Channel(p2, c) - Channel(p1, c);
            EXPECT_NEAR(difference, (u2 - u1) * a / 255.0, 1.5) << "row " << y << " channel " << c;
        }
    }
}

TEST_F(SkinnedButton, PressingMovesTheCaptionOnePixel) {
    platform::TFont big;
    big.Name = QStringLiteral("Comic Sans MS");
    big.Height = 20;
    big.Style = platform::fsBold;
    button->SetFont(big);
    const uint32_t ink = PixelRgb(platform::PixelFromColor(
        skin::Value(skin::ToRgb(Section("BUTTON").StateData[1].FontColors.Text))));
    Enter();
    const auto hot = SolidText(Picture(), ink);
    Mouse(QEvent::MouseButtonPress, QPoint(50, 20), Qt::LeftButton);
    const auto pressed = SolidText(Picture(), ink);
    ASSERT_GT(hot.size(), 10u);
    // Every stroke pixel moved one right and one down (where it stays
    // inside the border).
    auto inside = [](int x, int y) { return x >= 8 && y >= 8 && x < 112 && y < 32; };
    for (auto [x, y] : hot)
        if (inside(x + 1, y + 1)) {
            EXPECT_TRUE(pressed.count({x + 1, y + 1})) << x << "," << y;
        }
    for (auto [x, y] : pressed)
        if (inside(x - 1, y - 1)) {
            EXPECT_TRUE(hot.count({x - 1, y - 1})) << x << "," << y;
        }
}

TEST_F(SkinnedButton, FocusDrawsTheDottedFrameAroundTheCaption) {
    ASSERT_TRUE(Section("BUTTON").SectionShowFocus);
    button->setFocusPolicy(Qt::StrongFocus);
    backdrop.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&backdrop));
    button->setFocus();
    ASSERT_TRUE(button->hasFocus());
    const Bitmap b = Picture();
    const QRect r = button->CaptionRect().adjusted(-1, -1, 1, 1); // FocusMargin 1
    // The caption is centred: as much room on the left as on the right.
    EXPECT_LE(std::abs(r.left() - (b.Width() - 1 - r.right())), 2);
    const uint32_t dark = 0, light = PixelRgb(platform::PixelFromColor(
                                 platform::GetSysColor(platform::COLOR_BTNFACE)));
    const int bottom = r.top() + r.height() - 2, right = r.left() + r.width() - 2;
    for (int i = 1; i <= r.width() / 3; ++i) {
        const int x = r.left() + 3 * i;
        for (int y : {r.top(), bottom}) {
            if (x >= right - 1)
                continue;
            EXPECT_EQ(PixelRgb(b.ScanLine(y)[x]), dark) << x << "," << y;
            EXPECT_EQ(PixelRgb(b.ScanLine(y)[x - 1]), light) << x - 1 << "," << y;
        }
    }
    for (int i = 1; i <= r.height() / 3; ++i) {
        const int y = r.top() + 3 * i;
        if (y < b.Height()) {
            EXPECT_EQ(PixelRgb(b.ScanLine(y)[right]), dark) << right << "," << y;
        }
    }
}

TEST_F(SkinnedButton, DisabledKeepsFortyPercentOverTheParent) {
    const skin::TsMaskData& border = BorderOf("BUTTON");
    button->setEnabled(false);
    const Bitmap b = Picture();
    const int fh = border.Area.Height() / 2;
    int checked = 0;
    for (int y = 0; y < border.TopWidth; ++y)
        for (int x = 0; x < border.LeftWidth; ++x) {
            const uint32_t src = Master(border.Area.Left + x, border.Area.Top + y);
            if (src == kKey || Master(border.Area.Left + x, border.Area.Top + y + fh) != 0)
                continue;
            const uint32_t parent = backdrop.Under(at + QPoint(x, y));
            for (int c = 0; c < 3; ++c) {
                const double p = Channel(parent, c), s = Channel(src, c);
                EXPECT_NEAR(Channel(b.ScanLine(y)[x], c), p - (p - s) * 0.4, 0.5001);
            }
            ++checked;
        }
    EXPECT_GT(checked, 5);
    // Where the button shows its parent, the disabled look changes nothing.
    EXPECT_EQ(PixelRgb(b.ScanLine(30)[100]), backdrop.Under(at + QPoint(100, 30)));
}

TEST_F(SkinnedButton, HoverPressDragOutAndBack) {
    struct Step {
        const char* What;
        QEvent::Type Type;
        QPoint At;
        Qt::MouseButtons Held;
        int State;
    };
    button->AnimatEvents = 0; // no fades: each step shows at once
    Enter();
    EXPECT_EQ(button->ButtonState(), 1);
    const Step steps[] = {
        {"down", QEvent::MouseButtonPress, {50, 20}, Qt::LeftButton, 2},
        {"dragged out", QEvent::MouseMove, {300, 20}, Qt::LeftButton, 1},
        {"back in", QEvent::MouseMove, {60, 20}, Qt::LeftButton, 2},
        {"up", QEvent::MouseButtonRelease, {60, 20}, Qt::NoButton, 1},
    };
    int clicks = 0;
    button->OnClick = [&](skin::TsButton*) { ++clicks; };
    for (const Step& s : steps) {
        Mouse(s.Type, s.At, s.Held);
        EXPECT_EQ(button->ButtonState(), s.State) << s.What;
    }
    EXPECT_EQ(clicks, 1);
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->ButtonState(), 0);
    button->SetDown(true);
    EXPECT_EQ(button->ButtonState(), 2); // whatever the mouse does
    Enter();
    EXPECT_EQ(button->ButtonState(), 2);
}

TEST_F(SkinnedButton, AQuickClickHoldsThePressedLookBriefly) {
    Enter();
    Mouse(QEvent::MouseButtonPress, QPoint(50, 20), Qt::LeftButton);
    ASSERT_TRUE(button->FadeTimer()->Running()); // the press fade is cut short
    Mouse(QEvent::MouseButtonRelease, QPoint(50, 20), Qt::NoButton);
    EXPECT_EQ(button->ButtonState(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return button->ButtonState() == 1; }, 1000));
    EXPECT_TRUE(button->FadeTimer()->Running()); // then it fades back to hot
}

TEST(ButtonFade, WeightsRunFromTheOldPictureToTheNew) {
    struct Row {
        int Frame, Steps, Weight;
    };
    // 255 − n × 256 / steps, integer division, kept within 0..255.
    const Row rows[] = {{1, 20, 243}, {10, 20, 127}, {19, 20, 12}, {20, 20, 0},
                        {1, 10, 230}, {5, 10, 127},  {10, 10, 0},  {0, 10, 255}};
    for (const Row& r : rows)
        EXPECT_EQ(skin::FadeWeight(r.Frame, r.Steps), r.Weight) << r.Frame << "/" << r.Steps;
    Bitmap from(2, 1), to(2, 1), frame;
    from.ScanLine(0)[0] = 0xFF102030;
    from.ScanLine(0)[1] = 0x00FFFFFF;
    to.ScanLine(0)[0] = 0xFF806040;
    to.ScanLine(0)[1] = 0xFF000000;
    skin::BlendFadeFrame(from, to, 243, frame);
    for (int i = 0; i < 2; ++i)
        for (int c = 0; c < 4; ++c) {
            const int f = (from.ScanLine(0)[i] >> (8 * c)) & 0xFF;
            const int t = (to.ScanLine(0)[i] >> (8 * c)) & 0xFF;
            EXPECT_EQ(int((frame.ScanLine(0)[i] >> (8 * c)) & 0xFF),
                      (f * 243 + t * (255 - 243) + 127) >> 8);
        }
}

TEST_F(SkinnedButton, FadesTwentyStepsInTenOnPressAndNoneWhenToldNot) {
    ASSERT_TRUE(Section("BUTTON").FadingEnabled);
    ASSERT_EQ(Section("BUTTON").FadingIterations, 20);
    QTest::qWait(20);
    Picture();
    Enter();
    ASSERT_TRUE(button->FadeTimer() && button->FadeTimer()->Running());
    EXPECT_EQ(button->FadeTimer()->FadeSteps, 20);
    // The fade ends by itself; then no timer ticks while nothing changes.
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->FadeTimer()->Running(); }, 3000));
    Mouse(QEvent::MouseButtonPress, QPoint(50, 20), Qt::LeftButton);
    ASSERT_TRUE(button->FadeTimer()->Running());
    EXPECT_EQ(button->FadeTimer()->FadeSteps, 10);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !button->FadeTimer()->Running(); }, 3000));
    QTest::qWait(30);                            // the repaint that follows the last frame
    const Bitmap shown = button->ShownPicture(); // the last frame is the new picture
    EXPECT_TRUE(testing_support::SamePixels(Picture(), shown, "fade-end"));

    auto* plain = new skin::TsButton(&backdrop);
    plain->setGeometry(160, 100, 100, 30);
    plain->AnimatEvents = 0;
    plain->show();
    QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), plain->mapToGlobal(QPointF(5, 5)));
    QApplication::sendEvent(plain, &enter);
    QMouseEvent down(QEvent::MouseButtonPress, QPointF(5, 5), plain->mapToGlobal(QPointF(5, 5)),
                     Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(plain, &down);
    EXPECT_TRUE(!plain->FadeTimer() || !plain->FadeTimer()->Running());
}

} // namespace

namespace {

// ---- The text boxes -----------------------------------------------------------

// The classic slider: the page's share of the track, at least 16 pixels,
// placed by the position's share of the rest (rounded to the nearest).
QRect ExpectedVerticalSlider(QSize bar, int min, int max, int page, int value) {
    const int a = 16, track = bar.height() - 2 * a;
    const int length = std::max(16, page * track / (max - min + page - 1));
    const int span = track - length;
    const int start = a + int(std::lround(double(value - min) * span / (max - min)));
    return QRect(0, start, bar.width(), length);
}

// Where the style places the slider of `bar` as it stands.
QRect StyledSlider(const QScrollBar* bar) {
    QStyleOptionSlider o;
    o.initFrom(bar);
    o.orientation = bar->orientation();
    o.minimum = bar->minimum();
    o.maximum = bar->maximum();
    o.pageStep = bar->pageStep();
    o.sliderPosition = o.sliderValue = bar->value();
    o.rect = bar->rect();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &o, QStyle::SC_ScrollBarSlider, bar);
}

QString Lines(int n) {
    QStringList lines;
    for (int i = 0; i < n; ++i)
        lines << QStringLiteral("строка %1 журнала").arg(i);
    return lines.join(u'\n');
}

class SkinnedMemo : public SkinnedControls {
protected:
    void SetUp() override {
        SkinnedControls::SetUp();
        memo = new skin::TsMemo(&backdrop);
        memo->setGeometry(QRect(at, QSize(200, 120)));
        memo->show();
        QApplication::processEvents();
    }
    const QPoint at{40, 30};
    skin::TsMemo* memo = nullptr;
};

TEST_F(SkinnedMemo, FrameRingBarsAndCornerLieWhereTheSkinSays) {
    const skin::TsMaskData& edit = BorderOf("EDIT");
    ASSERT_EQ(edit.LeftWidth, 3);
    ASSERT_EQ(edit.MaskKind, 0);
    EXPECT_EQ(memo->viewport()->geometry(), QRect(3, 3, 178, 98));
    EXPECT_EQ(memo->verticalScrollBar()->geometry().translated(
                  memo->verticalScrollBar()->parentWidget()->pos()),
              QRect(181, 3, 16, 98));
    EXPECT_EQ(memo->horizontalScrollBar()->geometry().translated(
                  memo->horizontalScrollBar()->parentWidget()->pos()),
              QRect(3, 101, 178, 16));
    const Bitmap b = Grab(*memo);
    // The ring's corners are the frame's corners; magenta shows the parent.
    for (int corner = 0; corner < 4; ++corner) {
        const bool right = corner & 1, bottom = corner & 2;
        for (int y = 0; y < 3; ++y)
            for (int x = 0; x < 3; ++x) {
                const int sx = (right ? edit.Area.Right - 3 : edit.Area.Left) + x;
                const int sy = (bottom ? edit.Area.Bottom - 3 : edit.Area.Top) + y;
                const int px = right ? 197 + x : x, py = bottom ? 117 + y : y;
                const uint32_t src = Master(sx, sy);
                EXPECT_EQ(PixelRgb(b.ScanLine(py)[px]),
                          src == kKey ? backdrop.Under(at + QPoint(px, py)) : src)
                    << px << "," << py;
            }
    }
    // Inside the ring: the section's colour (parchment) under the text.
    EXPECT_EQ(PixelRgb(b.ScanLine(50)[100]), PixelRgb(platform::PixelFromColor(8500947)));
    // The square between the bars shows the parent.
    for (QPoint p : {QPoint(181, 101), QPoint(190, 110), QPoint(196, 116)})
        EXPECT_EQ(PixelRgb(b.ScanLine(p.y())[p.x()]), backdrop.Under(at + p));
}

TEST_F(SkinnedMemo, TheSliderFollowsPageAndPositionAndAppending) {
    memo->SetText(Lines(60));
    QScrollBar* bar = memo->verticalScrollBar();
    bar->setValue(17);
    QApplication::processEvents();
    const skin::TsMaskData& slider = BorderOf("SCROLLSLIDERV");
    auto check = [&](const char* when) {
        const QRect expected = ExpectedVerticalSlider(bar->size(), bar->minimum(), bar->maximum(),
                                                      bar->pageStep(), bar->value());
        EXPECT_EQ(StyledSlider(bar), expected) << when;
        // The slider's frame corner lies at its top-left.
        const Bitmap b = Grab(*bar);
        for (int y = 0; y < slider.TopWidth; ++y)
            for (int x = 0; x < slider.LeftWidth; ++x) {
                const uint32_t src = Master(slider.Area.Left + x, slider.Area.Top + y);
                if (src != kKey) {
                    EXPECT_EQ(PixelRgb(b.ScanLine(expected.top() + y)[x]), src) << when;
                }
            }
    };
    check("scrolled");
    const int before = bar->maximum();
    memo->InsertAtEnd(QStringLiteral("\r\n") + Lines(40));
    QApplication::processEvents();
    EXPECT_GT(bar->maximum(), before);
    check("after appending");
}

TEST(ScrollBarLayout, ArrowsTrackHalvesAndTheShortBar) {
    // 16-pixel arrows; range 0..100 with a page of 20 on a 132-pixel bar.
    const skin::ScrollBarParts p =
        skin::LayoutScrollBar(QSize(16, 132), Qt::Vertical, 16, 16, {0, 100, 20, 50}, true);
    EXPECT_EQ(p.SubArrow, QRect(0, 0, 16, 16));
    EXPECT_EQ(p.AddArrow, QRect(0, 116, 16, 16));
    const int length = std::max(16, 20 * 100 / 119); // 16
    EXPECT_EQ(p.Slider.height(), length);
    EXPECT_EQ(p.Slider.top(), 16 + (100 - length) / 2);
    // The halves meet at the slider's middle.
    EXPECT_EQ(p.SubTrack, QRect(0, 16, 16, p.Slider.top() + length / 2 - 16));
    EXPECT_EQ(p.AddTrack.top(), p.Slider.top() + length / 2);
    EXPECT_EQ(p.AddTrack.bottom(), 115);
    // Nothing to scroll: no slider.
    EXPECT_TRUE(skin::LayoutScrollBar(QSize(16, 132), Qt::Vertical, 16, 16, {0, 0, 20, 0}, true)
                    .Slider.isEmpty());
    // Shorter than two arrows: two half-length arrows and nothing else.
    const skin::ScrollBarParts s =
        skin::LayoutScrollBar(QSize(30, 16), Qt::Horizontal, 16, 16, {0, 100, 20, 50}, true);
    EXPECT_EQ(s.SubArrow, QRect(0, 0, 15, 16));
    EXPECT_EQ(s.AddArrow, QRect(15, 0, 15, 16));
    EXPECT_TRUE(s.Slider.isEmpty());
    EXPECT_TRUE(s.SubTrack.isEmpty() && s.AddTrack.isEmpty());
}

TEST_F(SkinnedMemo, TheHorizontalSliderFollowsTheLongestLine) {
    memo->SetText(QString(400, u'w') + QStringLiteral("\nкоротко"));
    QScrollBar* bar = memo->horizontalScrollBar();
    bar->setValue(bar->maximum() / 3);
    QApplication::processEvents();
    // As the vertical one, turned: 16-pixel arrows at both ends.
    const QRect v = ExpectedVerticalSlider(bar->size().transposed(), bar->minimum(), bar->maximum(),
                                           bar->pageStep(), bar->value());
    EXPECT_EQ(StyledSlider(bar), QRect(v.top(), 0, v.height(), bar->height()));
}

TEST_F(SkinnedControls, AShortBarShowsTwoHalfArrowsOnly) {
    const skin::ScrollBarParts parts =
        skin::LayoutScrollBar(QSize(30, 16), Qt::Horizontal, 16, 16, {0, 100, 20, 50}, true);
    Bitmap bar(30, 16);
    ASSERT_TRUE(skin::RenderScrollBar(manager, bar, Qt::Horizontal, parts, {},
                                      skin::ParentCacheInfo::Picture(&backdrop.Picture, 50, 60),
                                      true));
    // Each half is an arrow button: its frame's corners at the half's corners.
    const skin::TsMaskData& left = BorderOf("SCROLLBTNLEFT");
    const skin::TsMaskData& right = BorderOf("SCROLLBTNRIGHT");
    ASSERT_EQ(left.MaskKind, 1);
    const int fh = left.Area.Height() / 2;
    int checked = 0;
    for (auto [mask, x0] : {std::pair{&left, 0}, std::pair{&right, 15}})
        for (int y = 0; y < mask->TopWidth; ++y)
            for (int x = 0; x < mask->LeftWidth; ++x) {
                const uint32_t src = Master(mask->Area.Left + x, mask->Area.Top + y);
                if (src == kKey || Master(mask->Area.Left + x, mask->Area.Top + y + fh) != 0)
                    continue;
                EXPECT_EQ(PixelRgb(bar.ScanLine(y)[x0 + x]), src) << x0 + x << "," << y;
                ++checked;
            }
    EXPECT_GT(checked, 4);
    EXPECT_TRUE(parts.Slider.isEmpty());
}

TEST_F(SkinnedMemo, TypingSelectingAndTheArrowsStillWork) {
    memo->setFocus();
    QTest::keyClicks(memo, QStringLiteral("runes"));
    EXPECT_EQ(memo->Text(), QStringLiteral("runes"));
    QTest::keyClick(memo, Qt::Key_Home, Qt::ShiftModifier);
    EXPECT_EQ(memo->textCursor().selectedText(), QStringLiteral("runes"));
    memo->SetText(Lines(60));
    QScrollBar* bar = memo->verticalScrollBar();
    bar->setValue(0);
    QApplication::processEvents();
    // A click on the lower arrow scrolls one line.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, bar->height() - 8));
    EXPECT_EQ(bar->value(), 1);
    // A click on the track below the slider scrolls a page (the text box
    // counts a page by the lines it shows whole).
    const int page = bar->pageStep();
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(8, bar->height() - 24));
    EXPECT_GE(bar->value(), 1 + page);
    EXPECT_LE(bar->value(), 2 + page);
    // Dragging the slider scrolls in proportion.
    const QRect slider = ExpectedVerticalSlider(bar->size(), bar->minimum(), bar->maximum(),
                                                bar->pageStep(), bar->value());
    const QPoint grip = slider.center();
    QTest::mousePress(bar, Qt::LeftButton, {}, grip);
    QMouseEvent drag(QEvent::MouseMove, QPointF(grip + QPoint(0, 20)),
                     bar->mapToGlobal(QPointF(grip + QPoint(0, 20))), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(bar, &drag);
    QTest::mouseRelease(bar, Qt::LeftButton, {}, grip + QPoint(0, 20));
    const int span = bar->height() - 32 - slider.height();
    EXPECT_NEAR(bar->value() - (slider.top() - 16) * bar->maximum() / double(span),
                20.0 * bar->maximum() / span, 1.5);
}

// Pasting reaches the protected hooks Qt calls with the clipboard's data,
// which is null on X11 while nobody owns the clipboard.
template <class Box> struct PasteProbe : Box {
    using Box::canInsertFromMimeData;
    using Box::insertFromMimeData;
};

template <class Box> void ExpectPastesPlainTextOnly() {
    PasteProbe<Box> box;
    box.setPlainText(QStringLiteral("ab"));
    QTextCursor at = box.textCursor();
    at.setPosition(1);
    box.setTextCursor(at);
    EXPECT_FALSE(box.canInsertFromMimeData(nullptr));
    box.insertFromMimeData(nullptr);
    QMimeData nothing;
    EXPECT_FALSE(box.canInsertFromMimeData(&nothing));
    box.insertFromMimeData(&nothing);
    QMimeData rich;
    rich.setHtml(QStringLiteral("<b>руна</b>"));
    rich.setText(QStringLiteral("руна"));
    EXPECT_TRUE(box.canInsertFromMimeData(&rich));
    box.insertFromMimeData(&rich);
    EXPECT_EQ(box.toPlainText(), QStringLiteral("aрунаb"));
    EXPECT_FALSE(box.document()->toHtml().contains(QStringLiteral("font-weight:700")));
}

TEST(TextBoxPaste, NoDataPastesNothingAndTextComesPlain) {
    ExpectPastesPlainTextOnly<skin::TsMemo>();
    ExpectPastesPlainTextOnly<skin::TsRichEdit>();
}

TEST_F(SkinnedControls, DisabledTextBoxesTakeTheirSkinLook) {
    auto* rich = new skin::TsRichEdit(&backdrop);
    rich->setGeometry(10, 10, 150, 100);
    rich->show();
    const skin::TsGeneralData& d = Section("EDIT");
    const uint32_t font = skin::Value(skin::ToRgb(d.StateData[0].FontColors.Text));
    const uint32_t back = skin::Value(skin::ToRgb(d.Color));
    const uint32_t backPixel = PixelRgb(platform::PixelFromColor(back));
    rich->setEnabled(false);
    uint32_t mean = 0;
    for (int c = 0; c < 3; ++c)
        mean |= uint32_t((Channel(font, c) * 127 + Channel(back, c) * 129) >> 8) << (8 * c);
    EXPECT_EQ(platform::ColorToRGB(rich->Font().Color), mean);
    EXPECT_EQ(platform::ColorToRGB(rich->Color()), back);
    rich->setEnabled(true);
    EXPECT_EQ(platform::ColorToRGB(rich->Font().Color), font);

    // A disabled edit shows 40 % of itself over 60 % of the parent.
    auto* edit = new skin::TsEdit(&backdrop);
    edit->setGeometry(10, 150, 145, 21);
    edit->show();
    edit->setEnabled(false);
    QApplication::processEvents();
    const Bitmap b = Grab(*edit);
    const QPoint inside(100, 10);
    const uint32_t parent = backdrop.Under(QPoint(10, 150) + inside);
    for (int c = 0; c < 3; ++c)
        EXPECT_NEAR(Channel(b.ScanLine(inside.y())[inside.x()], c),
                    Channel(backPixel, c) * 0.4 + Channel(parent, c) * 0.6, 1.5)
            << "channel " << c;
}

// ---- The panel ------------------------------------------------------------------

TEST_F(SkinnedControls, PanelPicturePaintsUnderItsSlotAndWaitingChildren) {
    auto* panel = new skin::TsPanel(&backdrop);
    const QPoint at(20, 40);
    panel->setGeometry(QRect(at, QSize(120, 60)));
    auto* slot = new platform::TImage(panel);
    slot->setGeometry(30, 0, 20, 60);
    Bitmap face(20, 60);
    face.Image().fill(QColor(10, 200, 30));
    slot->DrawPicture(face, 20, 60);
    panel->show();
    QApplication::processEvents();
    const Bitmap b = Grab(*panel);

    const skin::TsGeneralData& d = Section("PANEL");
    ASSERT_EQ(d.GradientPercent, 50);
    ASSERT_EQ(d.ImagePercent, 50);
    const skin::TsMaskData& border = BorderOf("PANEL");
    ExpectMaskedCorners(b, border, 0, at, "panel");
    // Inside: the vertical gradient with the texture laid over it by
    // 127 / 256 in one pass; the texture is tiled from the panel's corner.
    const int texture = manager.FindTexture(manager.FindSection("PANEL"), QStringLiteral("PANEL"),
                                            QStringLiteral("PATTERN"));
    ASSERT_GE(texture, 0);
    const skin::TsArea tile = manager.MaskTable()[texture].Area;
    const skin::GradientStep first = d.Gradient.front();
    const int rows = first.Percent * 60 / 100;
    for (QPoint p : {QPoint(10, 8), QPoint(80, 20), QPoint(100, 12)}) {
        const uint32_t t =
            Master(tile.Left + p.x() % tile.Width(), tile.Top + p.y() % tile.Height());
        for (int c = 0; c < 3; ++c) {
            const int s =
                Channel(platform::PixelFromColor(skin::Value(skin::ToRgb(first.StartColor))), c);
            const int e =
                Channel(platform::PixelFromColor(skin::Value(skin::ToRgb(first.EndColor))), c);
            const double g = s + double(e - s) * p.y() / std::max(rows - 1, 1);
            EXPECT_NEAR(Channel(b.ScanLine(p.y())[p.x()], c), g + (Channel(t, c) - g) * 127 / 256,
                        2.5)
                << p.x() << "," << p.y() << " channel " << c;
        }
    }
    // The slot shows its own picture over the panel.
    EXPECT_EQ(PixelRgb(b.ScanLine(30)[40]), PixelRgb(face.ScanLine(30)[10]));

    // A box inside a panel whose picture is not ready waits, then paints.
    auto* edit = new skin::TsEdit(panel);
    edit->setGeometry(60, 20, 50, 21);
    panel->SkinData().HoldPaint();
    edit->show();
    QApplication::processEvents();
    Grab(*edit);
    EXPECT_TRUE(edit->SkinData().PaintHeld());
    skin::SendSkinCommand<skin::SkinCmdResumePaint>(panel);
    EXPECT_FALSE(panel->SkinData().PaintHeld());
    EXPECT_FALSE(edit->SkinData().PaintHeld());
    const Bitmap e = Grab(*edit);
    const skin::TsMaskData& ring = BorderOf("EDIT");
    const uint32_t corner = Master(ring.Area.Left + 1, ring.Area.Top + 1);
    EXPECT_EQ(PixelRgb(e.ScanLine(1)[1]), corner);
}

} // namespace
