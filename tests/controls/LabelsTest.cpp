#include "controls/Labels.h"
#include "skin/draw/Shadow.h"

#include "app/InternalSkin.h"
#include "platform/Canvas.h"
#include "skin/data/TsSkinManager.h"
#include "skin/draw/SkinPaint.h"
#include "skin/draw/TsCommonData.h"

#include "support/Pictures.h"
#include "support/Printers.h"
#include "support/SkinnedParent.h"
#include <QApplication>
#include <QElapsedTimer>
#include <QEnterEvent>
#include <QTemporaryDir>
#include <QTest>
#include <cmath>
#include <gtest/gtest.h>

using namespace controls;
using platform::Bitmap;
using platform::Canvas;
using platform::RGBColor;
using platform::TColor;
using platform::TFont;

namespace {

constexpr uint32_t kFlags = platform::DT_EXPANDTABS;

// A skinned parent that answers a colour request too.
struct Backdrop : testing_support::Backdrop {
    Backdrop() : testing_support::Backdrop(120, 60) { BgColor = RGBColor(100, 150, 200); }
};

TFont LabelFont(TColor color = platform::clBlack) {
    TFont f;
    f.Name = "Comic Sans MS";
    f.Height = 13;
    f.Style = platform::fsBold;
    f.Color = color;
    return f;
}

Bitmap Under(const Backdrop& b, QRect label) {
    return b.Under(label);
}

QSize PlainTextSize(const QString& text, const TFont& font) {
    Bitmap none;
    Canvas c(none);
    c.Font = font;
    QRect r;
    c.DrawText(text, r, kFlags | platform::DT_CALCRECT);
    return r.size();
}

void DrawTextIn(Bitmap& b, const QString& text, TFont font, TColor color, QRect r) {
    Canvas c(b);
    c.Font = font;
    c.Font.Color = color;
    c.DrawText(text, r, kFlags);
}

struct ShadowCase {
    int Blur, Distance;
    bool Transparent;
};

// The picture of a shadowed label, from the rules: the text in white moved
// by the distance, stamped and blurred `Blur` times in place, the shadow
// colour laid over the background by the coverage (/ 255, rounded), the text on
// top inside the room left for the shadow.
Bitmap ExpectedShadowed(const Bitmap& under, const QString& text, const TFont& font,
                        const ShadowCase& c, uint32_t shadow, TColor textColor, uint32_t back) {
    const int w = under.Width(), h = under.Height();
    const int lead = std::min(0, c.Distance - c.Blur), trail = std::max(0, c.Distance + c.Blur);
    const QRect inner = QRect(0, 0, w, h).adjusted(-lead, -lead, -trail, -trail);
    Bitmap stamp(w, h);
    DrawTextIn(stamp, text, font, platform::clWhite, inner.translated(c.Distance, c.Distance));
    std::vector<std::vector<int>> m(h + 2, std::vector<int>(w + 2, 0));
    for (int pass = 0; pass < c.Blur; ++pass) {
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                if (platform::GetBValue(stamp.Pixel(x, y)) != 0)
                    m[y + 1][x + 1] = 255;
        for (int y = 1; y <= h; ++y)
            for (int x = 1; x <= w; ++x)
                m[y][x] = (m[y - 1][x] + m[y + 1][x] + m[y][x - 1] + m[y][x + 1]) / 4;
    }
    Bitmap out(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int a = m[y + 1][x + 1];
            const uint32_t u = c.Transparent ? uint32_t(under.Pixel(x, y)) : back;
            int ch[3];
            for (int i = 0; i < 3; ++i) {
                const int s = (shadow >> (8 * i)) & 0xFF, b = (u >> (8 * i)) & 0xFF;
                ch[i] = (b * (255 - a) + s * a + 127) / 255;
            }
            out.SetPixel(x, y, RGBColor(ch[0], ch[1], ch[2]));
        }
    DrawTextIn(out, text, font, textColor, inner);
    return out;
}

class LabelTest : public ::testing::Test {
protected:
    void SetUp() override { backdrop.show(); }

    TsLabelFX* MakeFX(const QString& caption, QPoint at = {3, 2}) {
        auto* label = new TsLabelFX(&backdrop);
        label->move(at);
        label->SetFont(LabelFont());
        label->SetCaption(caption);
        return label;
    }

    Backdrop backdrop;
};

// With the program's own skin in force.
class SkinnedLabelTest : public LabelTest {
protected:
    void SetUp() override {
        content::UseInternalSkinOnly(manager, home.path());
        ASSERT_TRUE(ActiveSkin() == &manager);
        LabelTest::SetUp();
    }
    QTemporaryDir home;
    skin::TsSkinManager manager;
};

} // namespace

TEST(ShadowMask, OnePassOverOneDot) {
    // A 3 x 3 picture with its middle pixel lit. The dot is stamped into
    // cell (2, 2); the blur then runs row by row, each cell the sum of its
    // neighbours div 4, left and upper ones already blurred:
    //   (1,1) 0      (2,1) 255/4=63   (3,1) 63/4=15
    //   (1,2) 63     (2,2) (63+63)/4=31   (3,2) (15+31)/4=11
    //   (1,3) 63/4=15  (2,3) (31+15)/4=11  (3,3) (11+11)/4=5
    Bitmap dot(3, 3);
    dot.SetPixel(1, 1, platform::clWhite);
    std::vector<uint8_t> mask(25, 0);
    std::vector<uint16_t> scratch;
    skin::BlurShadowMask(dot, 1, mask.data(), scratch);
    const std::vector<uint8_t> expected = {0, 0,  0,  0,  0, //
                                           0, 0,  63, 15, 0, //
                                           0, 63, 31, 11, 0, //
                                           0, 15, 11, 5,  0, //
                                           0, 0,  0,  0,  0};
    EXPECT_EQ(mask, expected);
    // A second pass stamps the dot again over what the first left: (1,1)
    // becomes (63 + 63) / 4 = 31 first, then (2,1) = (0 + 255 + 31 + 15) / 4.
    skin::BlurShadowMask(dot, 1, mask.data(), scratch);
    EXPECT_EQ(mask[1 * 5 + 1], 31);
    EXPECT_EQ(mask[1 * 5 + 2], 75);
    for (int i = 0; i < 5; ++i) // the border stays empty
        EXPECT_EQ(mask[i] + mask[20 + i] + mask[i * 5] + mask[i * 5 + 4], 0) << i;
}

TEST_F(LabelTest, ShadowPixelsFollowTheFormulas) {
    const ShadowCase cases[] = {
        {1, 1, true},  // the skin's halo
        {4, 1, true},  // a blur wider than the distance: the text sits 3 pixels in
        {1, 3, false}, // a distance beyond the blur: the text at the edges, opaque
        {4, 1, false}, {2, 2, true},
    };
    const uint32_t shadow = RGBColor(240, 20, 90), text = RGBColor(10, 90, 30);
    const TColor back = RGBColor(30, 200, 170);
    for (const ShadowCase& c : cases) {
        SCOPED_TRACE("blur " + std::to_string(c.Blur) + ", distance " + std::to_string(c.Distance) +
                     (c.Transparent ? ", transparent" : ", opaque"));
        TsLabelFX* label = MakeFX("Ря!");
        label->Shadow().SetMode(TsShadowMode::smCustom);
        label->Shadow().SetColor(shadow);
        label->Shadow().SetBlurCount(c.Blur);
        label->Shadow().SetDistance(c.Distance);
        label->Kind().SetKindType(TsKindType::ktCustom);
        label->Kind().SetColor(text);
        label->SetTransparent(c.Transparent);
        label->SetColor(back);
        label->AdjustBounds();
        const int lead = std::min(0, c.Distance - c.Blur), trail = std::max(0, c.Distance + c.Blur);
        EXPECT_EQ(label->ShadowLead, lead);
        EXPECT_EQ(label->ShadowTrail, trail);
        EXPECT_EQ(label->size(),
                  PlainTextSize("Ря!", LabelFont()) + QSize(trail - lead, trail - lead));

        Bitmap shown;
        label->PaintTo(shown);
        const Bitmap expected = ExpectedShadowed(Under(backdrop, label->geometry()), "Ря!",
                                                 LabelFont(), c, shadow, text, back);
        EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-shadow"));
        delete label;
    }
}

TEST_F(LabelTest, AShadowReachesNoFurtherThanTheLabelCanShow) {
    // A skin's SHADOW1BLUR and SHADOW1OFFSET are 16-bit: at their largest
    // the label grew by 65,534 pixels a side and each paint took minutes.
    const struct {
        int Blur, Distance, Lead, Trail;
    } cases[] = {
        {32767, 32767, 0, 2 * kMaxShadowReach},
        {1000, 1, 1 - kMaxShadowReach, 1 + kMaxShadowReach},
        {3, -32768, -kMaxShadowReach - 3, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("blur " + std::to_string(c.Blur) + ", distance " + std::to_string(c.Distance));
        TsLabelFX* label = MakeFX("Руна");
        label->Shadow().SetMode(TsShadowMode::smCustom);
        label->Shadow().SetBlurCount(c.Blur);
        label->Shadow().SetDistance(c.Distance);
        label->AdjustBounds();
        EXPECT_EQ(label->ShadowLead, c.Lead);
        EXPECT_EQ(label->ShadowTrail, c.Trail);
        EXPECT_EQ(label->size(),
                  PlainTextSize("Руна", LabelFont()) + QSize(c.Trail - c.Lead, c.Trail - c.Lead));
        QElapsedTimer clock;
        clock.start();
        Bitmap shown;
        label->PaintTo(shown);
        EXPECT_LT(clock.elapsed(), 1000);
        EXPECT_EQ(shown.Width(), label->width());
        delete label;
    }
}

TEST_F(LabelTest, NoShadowWithoutPassesOrColourAndNoneWhenDisabled) {
    const TColor text = RGBColor(200, 0, 0);
    auto plain = [&](TsLabelFX* label) {
        label->Kind().SetKindType(TsKindType::ktCustom);
        label->Kind().SetColor(text);
        label->Shadow().SetMode(TsShadowMode::smCustom);
        label->Shadow().SetDistance(5);
        label->AdjustBounds();
        EXPECT_EQ(label->size(), PlainTextSize("Лес", LabelFont())); // no room for a shadow
        Bitmap expected = Under(backdrop, label->geometry());
        DrawTextIn(expected, "Лес", LabelFont(), text, expected.Rect());
        Bitmap shown;
        label->PaintTo(shown);
        EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-plain"));
    };
    TsLabelFX* noPasses = MakeFX("Лес");
    noPasses->Shadow().SetBlurCount(0);
    plain(noPasses);
    TsLabelFX* noColour = MakeFX("Лес", {40, 20});
    noColour->Shadow().SetColor(platform::clNone);
    plain(noColour);

    // Disabled: embossed in the system's light and shadow colours, no shadow.
    TsLabelFX* disabled = MakeFX("Лес", {60, 30});
    disabled->setEnabled(false);
    Bitmap expected = Under(backdrop, disabled->geometry());
    DrawTextIn(expected, "Лес", LabelFont(), platform::clBtnHighlight,
               expected.Rect().translated(1, 1));
    DrawTextIn(expected, "Лес", LabelFont(), platform::clBtnShadow, expected.Rect());
    Bitmap shown;
    disabled->PaintTo(shown);
    EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-disabled"));
}

TEST_F(LabelTest, WithoutShadowModeItDrawsInItsFontColour) {
    TsLabelFX* label = MakeFX("Лес");
    label->SetFont(LabelFont(RGBColor(0, 0, 160)));
    label->Kind().SetKindType(TsKindType::ktCustom);
    label->Kind().SetColor(RGBColor(255, 0, 0));
    label->Shadow().SetMode(TsShadowMode::smNone);
    Bitmap expected = Under(backdrop, label->geometry());
    DrawTextIn(expected, "Лес", LabelFont(), RGBColor(0, 0, 160), expected.Rect());
    Bitmap shown;
    label->PaintTo(shown);
    EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-none"));
}

TEST_F(LabelTest, TheMaskBufferOnlyGrows) {
    TsLabelFX* label = MakeFX("Долгая подпись");
    Bitmap shown;
    label->PaintTo(shown);
    const size_t big = label->ShadowMaskCapacity;
    EXPECT_EQ(big, 2 * (label->width() + 2) * (label->height() + 2));
    const uint8_t* buffer = label->ShadowMask.get();
    label->SetCaption("Я");
    label->PaintTo(shown);
    EXPECT_EQ(label->ShadowMaskCapacity, big);
    EXPECT_EQ(label->ShadowMask.get(), buffer);
    label->SetCaption("Долгая подпись, ещё длиннее");
    label->PaintTo(shown);
    EXPECT_GT(label->ShadowMaskCapacity, big);
}

TEST_F(LabelTest, WithoutSkinTheFormColoursShow) {
    // The main window's prompt: lime on lime, four passes.
    TsLabelFX* label = MakeFX("Руна");
    label->Kind().SetColor(platform::clLime);
    label->Shadow().SetColor(platform::clLime);
    label->AdjustBounds();
    EXPECT_EQ(label->ShadowLead, -3);
    EXPECT_EQ(label->ShadowTrail, 5);
    Bitmap shown;
    label->PaintTo(shown);
    EXPECT_EQ(label->Shadow().ShadowRGB, (std::array<int, 3>{0, 255, 0}));
    const Bitmap expected =
        ExpectedShadowed(Under(backdrop, label->geometry()), "Руна", LabelFont(), {4, 1, true},
                         platform::clLime, platform::clLime, 0);
    EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-lime"));
}

TEST_F(SkinnedLabelTest, TheSkinChoosesTextAndShadow) {
    // Dark brown text with a cream halo, one pass, distance 1, whatever the
    // label's own colours.
    TsLabelFX* label = MakeFX("Руна");
    label->Kind().SetColor(platform::clLime);
    label->Shadow().SetColor(platform::clLime);
    label->AdjustBounds();
    EXPECT_EQ(label->ShadowLead, 0);
    EXPECT_EQ(label->ShadowTrail, 2);
    Bitmap shown;
    label->PaintTo(shown);
    EXPECT_EQ(label->Shadow().ShadowRGB, (std::array<int, 3>{255, 231, 186}));
    const Bitmap expected =
        ExpectedShadowed(Under(backdrop, label->geometry()), "Руна", LabelFont(), {1, 1, true},
                         RGBColor(255, 231, 186), RGBColor(55, 33, 7), 0);
    EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-wood"));
}

TEST_F(SkinnedLabelTest, TheSectionIsPaintedBehindTheText) {
    // A caption of one space casts no shadow: the label shows its section
    // over the parent's picture exactly (a coverage of 0 changes nothing).
    TsLabelFX* label = MakeFX(" ", {10, 5});
    label->SetAutoSize(false);
    label->resize(60, 24);
    label->SetSkinSection("ALPHAEDIT");
    Bitmap expected(60, 24);
    const Bitmap under = Under(backdrop, label->geometry());
    skin::RenderSectionByIndex(manager, {.Target = expected,
                                         .Section = manager.FindSection("ALPHAEDIT"),
                                         .Parent = skin::ParentCacheInfo::Picture(&under, 0, 0)});
    Bitmap shown;
    label->PaintTo(shown);
    EXPECT_FALSE(shown == under);
    EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-section"));
}

TEST_F(SkinnedLabelTest, PlainLabelFollowsTheSkinColourUnlessTold) {
    auto* label = new TsLabel(&backdrop);
    auto* own = new TsLabel(&backdrop);
    own->UseSkinColor = false;
    for (TsLabel* l : {label, own}) {
        l->SetFont(LabelFont(RGBColor(200, 0, 0)));
        l->SetCaption("Слово");
    }
    // Taking the skin's colour while painting neither resizes the label...
    label->resize(5, 5);
    Bitmap shown;
    label->PaintTo(shown);
    own->PaintTo(shown);
    EXPECT_EQ(label->Font().Color, RGBColor(55, 33, 7));
    EXPECT_EQ(label->size(), QSize(5, 5));
    EXPECT_EQ(own->Font().Color, RGBColor(200, 0, 0));
    // ... while a font set from outside does.
    label->SetFont(LabelFont(RGBColor(1, 2, 3)));
    EXPECT_EQ(label->size(), PlainTextSize("Слово", LabelFont()));

    // Disabled under a skin: 40 % of the font colour, 60 % of the parent's.
    label->setEnabled(false);
    label->PaintTo(shown);
    auto mix = [](int font, int parent) { return int(std::nearbyint(font * 0.4 + parent * 0.6)); };
    Bitmap expected = Under(backdrop, label->geometry());
    DrawTextIn(expected, "Слово", LabelFont(), RGBColor(mix(55, 100), mix(33, 150), mix(7, 200)),
               expected.Rect());
    EXPECT_TRUE(testing_support::SamePixels(expected, shown, "label-faded"));

    // The skin going away: the window-text colour, unless told otherwise.
    skin::SendSkinCommand<skin::SkinCmdRemoveSkin>(label, &manager);
    skin::SendSkinCommand<skin::SkinCmdRemoveSkin>(own, &manager);
    EXPECT_EQ(label->Font().Color, platform::clWindowText);
    EXPECT_EQ(own->Font().Color, RGBColor(200, 0, 0));
}

// ---------------------------------------------------------------------------
// The web label
// ---------------------------------------------------------------------------

namespace {

struct Opened {
    QString Address;
    int Show;
};

class WebLabelTest : public LabelTest {
protected:
    void SetUp() override {
        LabelTest::SetUp();
        saved = OpenWebAddress();
        OpenWebAddress() = [this](const QString& a, int show) { opened.push_back({a, show}); };
        label = new TsWebLabel(&backdrop);
        label->move(5, 5);
        label->SetFont(LabelFont(platform::clBlue));
        TFont hover = LabelFont(platform::clWindowText);
        hover.Height = 20;
        label->SetHoverFont(hover);
        label->SetCaption("example.org");
        label->OnMouseDown = [this](TsCustomLabel*, Qt::MouseButton b, Qt::KeyboardModifiers,
                                    QPoint) { downs.push_back(b); };
    }
    void TearDown() override { OpenWebAddress() = saved; }

    void Enter() {
        QEnterEvent e(QPointF(1, 1), QPointF(1, 1), QPointF(1, 1));
        QApplication::sendEvent(label, &e);
    }
    void Leave() {
        QEvent e(QEvent::Leave);
        QApplication::sendEvent(label, &e);
    }

    WebAddressOpener saved;
    std::vector<Opened> opened;
    std::vector<Qt::MouseButton> downs;
    TsWebLabel* label = nullptr;
};

class SkinnedWebLabelTest : public WebLabelTest {
protected:
    void SetUp() override {
        content::UseInternalSkinOnly(manager, home.path());
        WebLabelTest::SetUp();
    }
    QTemporaryDir home;
    skin::TsSkinManager manager;
};

} // namespace

TEST_F(WebLabelTest, HoverSwitchesFontAndSize) {
    EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
    EXPECT_TRUE(label->Transparent());
    const QSize normal = label->size();
    TFont hover = label->HoverFont();
    Enter();
    EXPECT_TRUE(label->Hovered());
    EXPECT_EQ(label->Font(), hover); // its own colour without a skin
    EXPECT_EQ(label->size(), PlainTextSize("example.org", hover));
    Leave();
    EXPECT_FALSE(label->Hovered());
    EXPECT_EQ(label->Font().Color, platform::clBlue);
    EXPECT_EQ(label->size(), normal);

    // Without automatic sizing the rectangle stays.
    label->SetAutoSize(false);
    label->resize(30, 12);
    Enter();
    Bitmap shown;
    label->PaintTo(shown); // the hover font is taken when painting
    EXPECT_EQ(label->Font().Height, 20);
    EXPECT_EQ(label->size(), QSize(30, 12));
    Leave();

    // A colour of -1 on a font gives blue and red.
    TFont none = LabelFont(-1);
    label->SetHoverFont(none);
    label->SetFont(none);
    EXPECT_EQ(label->GetCurrentFont().Color, RGBColor(0, 0, 255));
    Enter();
    EXPECT_EQ(label->GetCurrentFont().Color, RGBColor(255, 0, 0));
}

TEST_F(SkinnedWebLabelTest, SkinColoursOverrideTheFontsUnlessTold) {
    // The skin defines neither of its link colours: blue, red under the mouse.
    Bitmap shown;
    label->PaintTo(shown);
    EXPECT_EQ(label->Font().Color, RGBColor(0, 0, 255));
    Enter();
    label->PaintTo(shown);
    EXPECT_EQ(label->Font().Color, RGBColor(255, 0, 0));
    Leave();
    label->UseSkinColor = false;
    TFont hover = LabelFont(RGBColor(0, 120, 0));
    label->SetHoverFont(hover);
    Enter();
    label->PaintTo(shown);
    EXPECT_EQ(label->Font().Color, RGBColor(0, 120, 0));
}

TEST_F(WebLabelTest, ALeftClickOpensTheAddress) {
    label->URL = "http://example.org/runes";
    label->ShowMode = TsWindowShowMode::soMaximize;
    for (Qt::MouseButton b : {Qt::LeftButton, Qt::RightButton, Qt::MiddleButton})
        QTest::mousePress(label, b, {}, QPoint(3, 3));
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0].Address, "http://example.org/runes");
    EXPECT_EQ(opened[0].Show, 3);
    EXPECT_EQ(downs,
              (std::vector<Qt::MouseButton>{Qt::LeftButton, Qt::RightButton, Qt::MiddleButton}));

    // Nothing to open: the press is still reported.
    label->URL.clear();
    QTest::mousePress(label, Qt::LeftButton, {}, QPoint(3, 3));
    EXPECT_EQ(opened.size(), 1u);
    EXPECT_EQ(downs.size(), 4u);
}
