// The skinned window frame with the program's own skin: the frame's layout
// from the platform metrics, the window's picture checked pixel by pixel
// against the skin's pictures, the outline, and a form answering its
// children's background requests from its picture.
#include "app/InternalSkin.h"
#include "platform/Form.h"
#include "skin/data/ImageDecoders.h"
#include "skin/draw/SkinPaint.h"
#include "skin/frame/CreationWatch.h"
#include "skin/frame/TsSkinProvider.h"
#include "support/Pictures.h"

#include <QCoreApplication>
#include <QEvent>
#include <QLabel>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace skin;
using platform::Bitmap;

namespace {

class FrameTest : public ::testing::Test {
protected:
    void SetUp() override {
        qputenv("XDG_DATA_HOME", home.path().toUtf8());
        TsStoredSkin wood;
        wood.Name = content::kInternalSkinName;
        wood.Data = content::InternalSkinPackage();
        manager.SetInternalSkins({wood});
        manager.SetSkinName(content::kInternalSkinName);
        ASSERT_TRUE(manager.SkinHeld());
        manager.ApplySkin(false);
        form = manager.FindSection("FORM");
        ASSERT_GE(form, 0);
    }

    // The picture the FORM section tiles over the window.
    Bitmap Pattern() const {
        const int tex = manager.FindTexture(form, "FORM", "PATTERN");
        if (manager.IsValidMask(tex) && manager.MaskTable()[tex].OwnImage)
            return *manager.MaskTable()[tex].OwnImage;
        const int pic = manager.FindPattern(form, "FORM", "PATTERN");
        return pic >= 0 ? DecodeJpeg(manager.PatternTable()[pic].PatternImage) : Bitmap();
    }
    const TsMaskData& Mask(const char* section, const char* key) const {
        const int s = manager.FindSection(section);
        const int m = manager.FindMask(s, section, key);
        EXPECT_TRUE(manager.IsValidMask(m)) << key;
        return manager.MaskTable()[m];
    }
    static WindowLook MainWindow(bool active) {
        WindowLook look;
        look.Size = QSize(798, 589);
        look.Active = active;
        look.HasMenu = true;
        look.Minimize = true;
        look.Caption = "Чаролист - \"Познай самого себя!.-Фалес\".";
        look.Icon = QImage(16, 16, QImage::Format_RGB32);
        look.Icon.fill(Qt::red);
        return look;
    }
    Bitmap Render(const WindowLook& look, TitleButtonStates buttons = {}) const {
        Bitmap b;
        RenderWindowPicture(manager, form, look, LayOutFrame(manager, look), buttons,
                            {.Window = b});
        return b;
    }

    QTemporaryDir home;
    TsSkinManager manager;
    int form = -1;
};

using testing_support::PixelRgb;

} // namespace

TEST_F(FrameTest, LaysOutTheMainAndTheHelpWindow) {
    const TsSkinData& d = manager.SkinData();
    const FrameGeometry main = LayOutFrame(manager, MainWindow(true));
    EXPECT_EQ(main.Border, 3); // the dialog frame of a fixed window
    EXPECT_EQ(main.Title, 19);
    EXPECT_EQ(main.MenuBand, 18);
    EXPECT_EQ(main.ClientRect, QRect(3, 3 + 19 + 18, 792, 546));
    EXPECT_EQ(main.MenuBandRect, QRect(3, 22, 792, 18));
    ASSERT_EQ(main.Buttons.size(), 2u);
    // Close outermost, 17 x 16, centred in the band down to the title's end.
    EXPECT_EQ(main.Buttons[0].Kind, TitleButtonKind::Close);
    EXPECT_EQ(main.Buttons[0].Rect, QRect(798 - d.BIRight - 3 - 17, (3 + 19 - 16) / 2, 17, 16));
    EXPECT_EQ(main.Buttons[1].Kind, TitleButtonKind::Minimize);
    EXPECT_EQ(main.Buttons[1].Rect.right() + 1, main.Buttons[0].Rect.left() - d.BISpace);
    // The caption from after the icon to 12 pixels before the buttons.
    EXPECT_EQ(main.CaptionRect.left(), 3 + 16 + d.BILeft + 4);
    EXPECT_EQ(main.CaptionRect.right() + 1, main.Buttons[1].Rect.left() - 12);
    EXPECT_EQ(main.CaptionRect.top(), 2);
    EXPECT_EQ(main.CaptionRect.bottom() + 1, 3 + 19);

    WindowLook help;
    help.Size = QSize(600, 432);
    help.Sizeable = true;
    const FrameGeometry h = LayOutFrame(manager, help);
    EXPECT_EQ(h.Border, 4); // the sizing frame
    EXPECT_EQ(h.ClientRect, QRect(4, 23, 592, 405));
    EXPECT_TRUE(h.MenuBandRect.isEmpty());
    ASSERT_EQ(h.Buttons.size(), 1u);
    EXPECT_EQ(h.Buttons[0].Rect.right() + 1, 600 - d.BIRight - 4);
}

TEST_F(FrameTest, ClientAndMenuBandShowThePatternTiledFromTheWindowCorner) {
    const Bitmap pattern = Pattern();
    ASSERT_FALSE(pattern.Empty());
    for (bool active : {false, true}) {
        const WindowLook look = MainWindow(active);
        const FrameGeometry g = LayOutFrame(manager, look);
        const Bitmap b = Render(look);
        const QRect inside = g.ClientRect.united(g.MenuBandRect);
        int wrong = 0;
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            for (int x = inside.left(); x <= inside.right(); ++x)
                wrong += PixelRgb(b.ScanLine(y)[x]) !=
                         PixelRgb(pattern.ScanLine(y % pattern.Height())[x % pattern.Width()]);
        EXPECT_EQ(wrong, 0) << "active " << active;
    }
}

TEST_F(FrameTest, CornersComeFromTheBorderFrameAndButtonsFromTheirMasks) {
    const Bitmap pattern = Pattern();
    const TsMaskData& border = manager.MaskTable()[manager.SectionTable()[form].BordersMask];
    const Bitmap& master = manager.MasterImage();
    const WindowLook look = MainWindow(false);
    const FrameGeometry g = LayOutFrame(manager, look);
    // The bottom corners, copied one to one; see-through pixels keep the
    // pattern.
    const Bitmap b = Render(look);
    const int h = 589, fw = border.FrameWidth(), fh = border.FrameHeight();
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const struct {
                int Wx, Sx;
            } corners[] = {{x, border.Area.Left + x}, {798 - 3 + x, border.Area.Left + fw - 3 + x}};
            for (const auto& c : corners) {
                const int wy = h - 3 + y;
                const uint32_t src = PixelRgb(master.ScanLine(border.Area.Top + fh - 3 + y)[c.Sx]);
                const uint32_t want =
                    src == kTransparentKey
                        ? PixelRgb(pattern.ScanLine(wy % pattern.Height())[c.Wx % pattern.Width()])
                        : src;
                EXPECT_EQ(PixelRgb(b.ScanLine(wy)[c.Wx]), want) << c.Wx << "," << wy;
            }
        }
    // Each title button shows its mask's frame: 0 normal, 1 hot, 2 pressed.
    const TsMaskData& close = Mask("GLOBALINFO", "BICONCLOSE");
    for (int state : {0, 1, 2}) {
        const Bitmap pic = Render(look, {state >= 1 ? 0 : -1, state == 2 ? 0 : -1});
        const QRect r = g.Buttons[0].Rect;
        int compared = 0, wrong = 0;
        for (int y = 0; y < r.height(); ++y)
            for (int x = 0; x < r.width(); ++x) {
                const uint32_t src =
                    PixelRgb(master.ScanLine(close.Area.Top + y)[close.Area.Left + state * 17 + x]);
                if (src == kTransparentKey)
                    continue;
                ++compared;
                wrong += PixelRgb(pic.ScanLine(r.top() + y)[r.left() + x]) != src;
            }
        EXPECT_GT(compared, 17 * 16 / 4) << state;
        EXPECT_EQ(wrong, 0) << state;
    }
}

TEST_F(FrameTest, ActiveAndInactiveDifferInTheTitleOnly) {
    const FrameGeometry g = LayOutFrame(manager, MainWindow(true));
    const Bitmap on = Render(MainWindow(true)), off = Render(MainWindow(false));
    int titleDiff = 0, restDiff = 0;
    for (int y = 0; y < on.Height(); ++y)
        for (int x = 0; x < on.Width(); ++x) {
            const bool differs = on.ScanLine(y)[x] != off.ScanLine(y)[x];
            (g.TitleBand.contains(x, y) ? titleDiff : restDiff) += differs;
        }
    EXPECT_GT(titleDiff, g.TitleBand.width() * g.TitleBand.height() / 2);
    EXPECT_EQ(restDiff, 0);
}

// Repainting one button over the saved band must give what a whole render
// in that state gives, for every state and back again.
TEST_F(FrameTest, OneButtonRepaintedEqualsAWholeRender) {
    const WindowLook look = MainWindow(true);
    const FrameGeometry g = LayOutFrame(manager, look);
    ASSERT_EQ(g.Buttons.size(), 2u);
    Bitmap window, under;
    RenderWindowPicture(manager, form, look, g, {}, {.Window = window, .UnderButtons = &under});
    EXPECT_EQ(under.Width(), window.Width());
    EXPECT_LT(under.Height(), window.Height() / 4); // the band, not a second window
    for (const TitleButtonStates states : {TitleButtonStates{0, -1}, TitleButtonStates{0, 0},
                                           TitleButtonStates{1, -1}, TitleButtonStates{}}) {
        for (int i = 0; i < int(g.Buttons.size()); ++i)
            RepaintTitleButton(manager, g, i, states, window, under);
        const Bitmap whole = Render(look, states);
        int differ = 0;
        for (int y = 0; y < whole.Height(); ++y)
            for (int x = 0; x < whole.Width(); ++x)
                differ += window.ScanLine(y)[x] != whole.ScanLine(y)[x];
        EXPECT_EQ(differ, 0) << "hot " << states.Hot << " pressed " << states.Pressed;
    }
}

TEST_F(FrameTest, CaptionStaysInItsRectangleAndEndsInAnEllipsisWhenLong) {
    // A narrow window whose caption cannot fit.
    for (QString caption : {QString("Чаролист"), QString("Чаролист - ").repeated(20)}) {
        WindowLook look = MainWindow(true);
        look.Size = QSize(300, 120);
        look.Caption = caption;
        WindowLook bare = look;
        bare.Caption.clear();
        const FrameGeometry g = LayOutFrame(manager, look);
        const Bitmap with = Render(look), without = Render(bare);
        int outside = 0, rightmost = -1;
        for (int y = 0; y < with.Height(); ++y)
            for (int x = 0; x < with.Width(); ++x)
                if (with.ScanLine(y)[x] != without.ScanLine(y)[x]) {
                    outside += !g.CaptionRect.contains(x, y);
                    rightmost = std::max(rightmost, x);
                }
        EXPECT_EQ(outside, 0) << caption.size();
        if (caption.size() > 20) // cut, with the dots at the rectangle's end
            EXPECT_GT(rightmost, g.CaptionRect.right() - 12);
        else
            EXPECT_LT(rightmost, g.CaptionRect.left() + 80);
    }
}

TEST_F(FrameTest, OutlineLeavesOutTheSeeThroughCornerPixels) {
    const TsMaskData& border = manager.MaskTable()[manager.SectionTable()[form].BordersMask];
    const Bitmap& master = manager.MasterImage();
    const QSize size(200, 100);
    const QRegion outline = FrameOutline(manager, form, size, VisualState::Normal);
    const int fw = border.FrameWidth();
    int cut = 0;
    for (int y = 0; y < 3; ++y)
        for (int x = 0; x < 3; ++x) {
            const bool seeThroughLeft =
                PixelRgb(master.ScanLine(border.Area.Top + y)[border.Area.Left + x]) ==
                kTransparentKey;
            const bool seeThroughRight =
                PixelRgb(master.ScanLine(border.Area.Top + y)[border.Area.Left + fw - 3 + x]) ==
                kTransparentKey;
            EXPECT_EQ(outline.contains(QPoint(x, y)), !seeThroughLeft) << x << "," << y;
            EXPECT_EQ(outline.contains(QPoint(200 - 3 + x, y)), !seeThroughRight);
            cut += seeThroughLeft;
        }
    EXPECT_GT(cut, 0) << "the skin's frame has see-through corners";
    EXPECT_TRUE(outline.contains(QRect(3, 3, 194, 94)));
}

// The outline cuts exactly the corner pixels that painting leaves
// see-through, also where the window is too small for the border's sides
// and both fit them the same way.
TEST_F(FrameTest, OutlineAndPaintedBorderAgreeAtEverySize) {
    const TsMaskData& border = manager.MaskTable()[manager.SectionTable()[form].BordersMask];
    const uint32_t marker = 0xFF010203u; // a colour the skin does not have
    for (const QSize size : {QSize(200, 100), QSize(9, 8), QSize(5, 5), QSize(4, 7)}) {
        Bitmap painted(size.width(), size.height());
        painted.Image().fill(marker);
        DrawBorderMask(painted, painted.Rect(), KeyPixels::KeepTarget, VisualState::Normal, border,
                       ParentCacheInfo());
        const QRegion outline = FrameOutline(manager, form, size, VisualState::Normal);
        const QMargins sides = border.Border().FittedTo(size);
        const QRect corners[] = {
            QRect(0, 0, sides.left(), sides.top()),
            QRect(size.width() - sides.right(), 0, sides.right(), sides.top()),
            QRect(0, size.height() - sides.bottom(), sides.left(), sides.bottom()),
            QRect(size.width() - sides.right(), size.height() - sides.bottom(), sides.right(),
                  sides.bottom())};
        int cut = 0;
        for (const QRect& c : corners)
            for (int y = c.top(); y <= c.bottom(); ++y)
                for (int x = c.left(); x <= c.right(); ++x) {
                    const bool seeThrough = painted.ScanLine(y)[x] == marker;
                    EXPECT_EQ(outline.contains(QPoint(x, y)), !seeThrough)
                        << size.width() << "x" << size.height() << " at " << x << "," << y;
                    cut += seeThrough;
                }
        EXPECT_GT(cut, 0) << size.width() << "x" << size.height();
    }
}

TEST_F(FrameTest, FormAnswersChildrenFromItsPictureWithTheClientOffset) {
    platform::TForm f("Framed", QSize(100, 80), platform::BorderStyle::Single,
                      platform::biSystemMenu);
    TsSkinProvider* provider = TacProvider::Attach(f, platform::WindowKind::Form);
    ASSERT_NE(provider, nullptr);
    EXPECT_EQ(TacProvider::Attach(f, platform::WindowKind::Form), nullptr); // one is enough
    f.adjustSize();
    EXPECT_EQ(f.size(), QSize(100 + 6, 80 + 3 + 19 + 3));
    EXPECT_EQ(f.ClientSize(), QSize(100, 80));
    BackgroundRequest request;
    AskParentBackground(request, &f, false);
    ASSERT_EQ(request.Kind, BackgroundAnswer::Picture);
    EXPECT_EQ(request.Bitmap, &provider->WindowPicture());
    EXPECT_EQ(QPoint(request.OffsetX, request.OffsetY), QPoint(3, 22));
    EXPECT_EQ(request.Bitmap->Rect().size(), f.size());

    // Taking the skin away gives the window back to the window manager.
    manager.SetActive(false);
    EXPECT_FALSE(provider->Skinned());
    EXPECT_FALSE(f.windowFlags() & Qt::FramelessWindowHint);
    f.adjustSize();
    EXPECT_EQ(f.size(), QSize(100, 80));
}

// A shown window's picture is rendered as soon as the event loop has sent
// the window to the window manager, before the window's first paint.
TEST_F(FrameTest, PictureIsRenderedAfterShowingBeforeTheFirstPaint) {
    platform::TForm f("Early", QSize(100, 80), platform::BorderStyle::Single,
                      platform::biSystemMenu);
    TsSkinProvider* provider = TacProvider::Attach(f, platform::WindowKind::Form);
    ASSERT_NE(provider, nullptr);
    struct PaintCount : QObject {
        int Paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            Paints += e->type() == QEvent::Paint;
            return false;
        }
    } count;
    f.installEventFilter(&count);
    EXPECT_FALSE(provider->PictureReady());
    f.show();
    EXPECT_FALSE(provider->PictureReady()); // not while showing: later
    QCoreApplication::sendPostedEvents(provider, QEvent::MetaCall);
    EXPECT_TRUE(provider->PictureReady());
    EXPECT_EQ(count.Paints, 0);
    EXPECT_EQ(provider->WindowPicture().Rect().size(), f.size());
}

TEST_F(FrameTest, SomeFormsAndInactiveManagersAttachNothing) {
    platform::TForm tagged("Tagged", QSize(50, 50), platform::BorderStyle::Single, 0);
    tagged.Tag = -98 | 0x61; // the bits 0x61 do not count
    EXPECT_EQ(TacProvider::Attach(tagged, platform::WindowKind::Form), nullptr);
    manager.SkinningRules = srStdDialogs;
    platform::TForm plain("Plain", QSize(50, 50), platform::BorderStyle::Single, 0);
    EXPECT_EQ(TacProvider::Attach(plain, platform::WindowKind::Form), nullptr);
    manager.SkinningRules = srStdForms | srStdDialogs;
    manager.SetActive(false);
    EXPECT_EQ(TacProvider::Attach(plain, platform::WindowKind::Form), nullptr);
}

// Without an active skin the window manager frames the window again, with
// nothing of ours left on it and its client area as it was; with the skin
// back the frame is ours again.
TEST_F(FrameTest, InactiveManagerGivesTheWindowBackToTheWindowManager) {
    for (const auto border : {platform::BorderStyle::Single, platform::BorderStyle::Sizeable}) {
        platform::TForm f("Round", QSize(120, 90), border,
                          platform::biSystemMenu | platform::biMinimize);
        TsSkinProvider* provider = TacProvider::Attach(f, platform::WindowKind::Form);
        ASSERT_NE(provider, nullptr);
        f.show();
        const QSize client = f.ClientSize();
        const auto framed = [&] {
            return f.windowFlags().testFlag(Qt::FramelessWindowHint) && !f.mask().isEmpty() &&
                   f.contentsMargins().top() > 0;
        };
        ASSERT_TRUE(provider->Skinned());
        EXPECT_TRUE(framed());

        manager.SetActive(false);
        EXPECT_FALSE(provider->Skinned());
        EXPECT_FALSE(f.windowFlags().testFlag(Qt::FramelessWindowHint));
        EXPECT_TRUE(f.mask().isEmpty());
        EXPECT_EQ(f.contentsMargins(), QMargins());
        EXPECT_TRUE(f.isVisible());
        EXPECT_EQ(f.ClientSize(), client);

        manager.SetActive(true);
        EXPECT_TRUE(provider->Skinned());
        EXPECT_TRUE(framed());
        EXPECT_EQ(f.ClientSize(), client);
    }
}
