#include "skin/draw/SkinPaint.h"
#include "skin/data/Blend.h"

#include "app/InternalSkin.h"
#include "platform/Canvas.h"
#include "skin/draw/ControlPaint.h"
#include "support/Files.h"
#include "support/Pictures.h"
#include "support/Printers.h"
#include "support/SkinValues.h"
#include <QSet>
#include <QTemporaryDir>
#include <climits>
#include <cmath>
#include <gtest/gtest.h>

using namespace skin;
using platform::Bitmap;
using testing_support::Encoded;
using testing_support::SamePixels;
using testing_support::Step;

namespace {

// Pixel words of the colours the tests use.
uint32_t Px(int r, int g, int b) {
    return 0xFF000000u | (r << 16) | (g << 8) | b;
}
uint32_t Rgb(uint32_t px) {
    return platform::ColorFromPixel(px);
}
uint32_t PixelOfColor(uint32_t rgb) {
    return platform::PixelFromColor(rgb);
}

// A manager holding a small skin made by the test: an options text and a
// master picture (set pixel by pixel), loaded as a stored skin.
class TinySkin {
public:
    TinySkin(const QString& options, const QImage& master) {
        qputenv("XDG_DATA_HOME", home_.path().toUtf8());
        TsStoredSkin s;
        s.Name = "Tiny";
        s.Data = PackPackage(("[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n" + options).toLatin1(),
                             {{"Master.bmp", true, Encoded(master, "BMP")}});
        manager_.SetInternalSkins({s});
        manager_.SetSkinName("Tiny");
    }
    const TsSkinManager& Manager() const { return manager_; }
    int Section(const char* name) const { return manager_.FindSection(name); }
    const TsMaskData& Mask(const char* section, const char* key) const {
        return manager_.MaskTable()[manager_.FindMaskExact(section, key)];
    }

private:
    QTemporaryDir home_;
    TsSkinManager manager_;
};

Bitmap Filled(int w, int h, uint32_t px) {
    Bitmap b(w, h);
    b.Image().fill(px);
    return b;
}

// A 2 x 2 texture of four colours at (0, 0) of a master picture.
const uint32_t kTile[2][2] = {{Px(200, 0, 0), Px(0, 200, 0)}, {Px(0, 0, 200), Px(200, 200, 0)}};

QImage MasterWithTile(int w = 40, int h = 20) {
    QImage m(w, h, QImage::Format_RGB32);
    m.fill(Qt::gray);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            m.setPixel(x, y, kTile[y][x]);
    return m;
}

// Every layout of the texture table on a 5 x 5 rectangle: which pixels the
// texture covers, from which tile pixel, and the section colour elsewhere.
TEST(SkinPaint, TextureFillModes) {
    const uint32_t color = Px(9, 9, 9), untouched = Px(1, 2, 3);
    struct Case {
        int mode;
        // The tile pixel at (x, y), or none when the colour fills it.
        std::function<std::optional<QPoint>(int, int)> tile;
    };
    const Case cases[] = {
        {0, [](int x, int y) { return std::optional(QPoint(x % 2, y % 2)); }},
        {1, [](int x, int y) { return std::optional(QPoint(x * 2 / 5, y * 2 / 5)); }},
        {2, [](int x, int y) { return y < 2 ? std::optional(QPoint(x % 2, y)) : std::nullopt; }},
        {3, [](int x, int y) { return x < 2 ? std::optional(QPoint(x, y % 2)) : std::nullopt; }},
        {4,
         [](int x, int y) { return y < 2 ? std::optional(QPoint(x * 2 / 5, y)) : std::nullopt; }},
        {5,
         [](int x, int y) { return x < 2 ? std::optional(QPoint(x, y * 2 / 5)) : std::nullopt; }},
        {6,
         [](int x, int y) {
             return y >= 3 ? std::optional(QPoint(x % 2, (y - 3) % 2)) : std::nullopt;
         }},
        {7,
         [](int x, int y) {
             return x >= 3 ? std::optional(QPoint((x - 3) % 2, y % 2)) : std::nullopt;
         }},
        {10, [](int x, int y) { return std::optional(QPoint(x % 2, y % 2)); }},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        const TinySkin skin(
            QString("[S]\r\nCOLOR=%1\r\nIMAGEPERCENT=100\r\nPATTERN=~0000~0000~0002~0002~%2~0\r\n")
                .arg(Rgb(color))
                .arg(c.mode, 2, 10, QChar('0')),
            MasterWithTile());
        Bitmap actual = Filled(5, 5, untouched);
        RenderSectionBackground(skin.Manager(), {.Target = actual, .Section = skin.Section("S")});
        Bitmap expected(5, 5);
        for (int y = 0; y < 5; ++y)
            for (int x = 0; x < 5; ++x) {
                const auto t = c.tile(x, y);
                // Whole tiles only: the last row and column stay as they were.
                const bool cut = c.mode == 10 && (x >= 4 || y >= 4);
                expected.ScanLine(y)[x] = cut ? untouched : t ? kTile[t->y()][t->x()] : color;
            }
        EXPECT_TRUE(SamePixels(expected, actual, QString("fill-mode-%1").arg(c.mode)));
    }
}

// Flat sections over a colour and over a picture, by transparency.
TEST(SkinPaint, TransparencyOverColourAndPicture) {
    const uint32_t own = Px(200, 100, 40), parentColor = Px(10, 20, 30);
    Bitmap parent(8, 8);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            parent.ScanLine(y)[x] = Px(x * 30, y * 30, 77);
    for (int t : {0, 30, 100}) {
        SCOPED_TRACE(t);
        const TinySkin skin(QString("[S]\r\nCOLOR=%1\r\nTRANSPARENCY=%2\r\n").arg(Rgb(own)).arg(t),
                            MasterWithTile());
        // Over a colour: mixed with the parent keeping t percent.
        Bitmap b(3, 2);
        RenderSectionBackground(skin.Manager(),
                                {.Target = b,
                                 .Section = skin.Section("S"),
                                 .Parent = ParentCacheInfo::Color(RgbColor{Rgb(parentColor)})});
        const uint32_t mixed = MixColors(Rgb(parentColor), Rgb(own), t / 100.0);
        EXPECT_EQ(Rgb(b.ScanLine(1)[2]), mixed);
        // Over a picture: blended with a = t × 255 / 100 for the parent.
        RenderSectionBackground(skin.Manager(), {.Target = b,
                                                 .Section = skin.Section("S"),
                                                 .Parent = ParentCacheInfo::Picture(&parent, 1, 2),
                                                 .Position = QPoint(3, 1)});
        const int a = t * 255 / 100;
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x) {
                const uint32_t under = parent.ScanLine(2 + 1 + y)[1 + 3 + x];
                uint32_t want = 0;
                for (int shift = 0; shift < 24; shift += 8)
                    want |= ((((under >> shift) & 0xFF) * a + ((own >> shift) & 0xFF) * (255 - a) +
                              127) >>
                             8)
                            << shift;
                if (t == 0)
                    want = own;
                if (t == 100)
                    want = under;
                EXPECT_EQ(b.ScanLine(y)[x] & 0xFFFFFF, want & 0xFFFFFF) << x << "," << y;
            }
    }
}

// Text kept for dense screens is gone once a section is painted over it, in
// place, unless the section shows the picture through unchanged: drawn
// again, old text would show through the new picture.
TEST(SkinPaint, SectionPaintedOverKeptTextForgetsIt) {
    platform::SetKeepTexts(true);
    for (int t : {0, 30, 100}) {
        SCOPED_TRACE(t);
        const TinySkin skin(QString("[S]\r\nCOLOR=%1\r\nTRANSPARENCY=%2\r\n").arg(0x102030).arg(t),
                            MasterWithTile());
        Bitmap b = Filled(60, 20, Px(200, 180, 120));
        platform::Canvas c(b);
        QRect r(2, 2, 56, 16);
        c.DrawText(QStringLiteral("Руна"), r, platform::DT_SINGLELINE);
        ASSERT_EQ(b.Texts().size(), 1u);
        RenderSectionByIndex(skin.Manager(), {.Target = b,
                                              .Section = skin.Section("S"),
                                              .Parent = ParentCacheInfo::Picture(&b, 0, 0)});
        EXPECT_EQ(b.Texts().size(), t == 100 ? 1u : 0u);
    }
    platform::SetKeepTexts(false);
}

// Texture and gradient together: 50/50 in one pass, 40/30 in layers.
TEST(SkinPaint, GradientWithTexture) {
    const QString options = "[S]\r\nCOLOR=%1\r\nIMAGEPERCENT=%2\r\nGRADIENTPERCENT=%3\r\n"
                            "GRADIENTDATA=255;255;100;0;0\r\nPATTERN=~0000~0000~0002~0002~00~0\r\n";
    const uint32_t color = Px(0, 90, 0), gradient = Px(255, 0, 0); // 255 is red
    const uint32_t t = kTile[0][0];
    auto channel = [](uint32_t v, int shift) { return int((v >> shift) & 0xFF); };
    {
        const TinySkin skin(options.arg(Rgb(color)).arg(50).arg(50), MasterWithTile());
        Bitmap b(4, 4);
        RenderSectionBackground(skin.Manager(), {.Target = b, .Section = skin.Section("S")});
        const int a = 50 * 255 / 100;
        for (int shift : {0, 8, 16})
            EXPECT_EQ(channel(b.ScanLine(0)[0], shift),
                      channel(gradient, shift) +
                          (((channel(t, shift) - channel(gradient, shift)) * a) >> 8));
    }
    {
        const TinySkin skin(options.arg(Rgb(color)).arg(40).arg(30), MasterWithTile());
        Bitmap b(4, 4);
        RenderSectionBackground(skin.Manager(), {.Target = b, .Section = skin.Section("S")});
        const int a = 40 * 255 / 100; // 102: the texture keeps its weight
        for (int shift : {0, 8, 16}) {
            const int layered =
                (channel(t, shift) * a + channel(gradient, shift) * (255 - a) + 127) >> 8;
            const int want = int(std::lround(layered * 0.7 + channel(color, shift) * 0.3));
            EXPECT_EQ(channel(b.ScanLine(0)[0], shift), want) << shift;
        }
    }
}

// The 7-pixel example: widths 5 and 5 become 4 and 3, and the middle
// column of the frame is never drawn.
TEST(SkinPaint, BorderWidthsShrinkToFit) {
    QImage master = MasterWithTile();
    for (int x = 0; x < 11; ++x)
        for (int y = 4; y < 7; ++y)
            master.setPixel(x, y,
                            x < 5    ? Px(100, 0, x)
                            : x == 5 ? Px(0, 255, 0)
                                     : Px(0, 0, 100 + x));
    const TinySkin skin("[S]\r\nBORDERSMASK=^0000^0004^0011^0007^0005^0001^0005^0001^1^0^0^0\r\n",
                        master);
    Bitmap b = Filled(7, 3, Px(1, 1, 1));
    DrawBorderMask(b, b.Rect(), KeyPixels::KeepTarget, VisualState::Normal,
                   skin.Mask("S", "BORDERSMASK"), ParentCacheInfo());
    const uint32_t want[7] = {Px(100, 0, 0), Px(100, 0, 1), Px(100, 0, 2), Px(100, 0, 3),
                              Px(0, 0, 108), Px(0, 0, 109), Px(0, 0, 110)};
    for (int x = 0; x < 7; ++x)
        EXPECT_EQ(b.ScanLine(0)[x] & 0xFFFFFF, want[x] & 0xFFFFFF) << x;
    // Narrower than two pixels: nothing.
    Bitmap thin = Filled(1, 3, Px(1, 1, 1));
    DrawBorderMask(thin, thin.Rect(), KeyPixels::KeepTarget, VisualState::Normal,
                   skin.Mask("S", "BORDERSMASK"), ParentCacheInfo());
    EXPECT_EQ(thin.ScanLine(0)[0], Px(1, 1, 1));
}

// The border's see-through geometry, which the window outline and the
// drop-downs' corners read, names exactly the corner pixels that painting
// leaves see-through: also where the sides are fitted into a rectangle too
// small for them.
TEST(SkinPaint, BorderSeeThroughIsWhatPaintingLeaves) {
    QImage master = MasterWithTile(20, 20);
    // An 11 x 7 frame from (0, 4), sides 4, 2, 4, 2; magenta along the
    // whole top row of both top corners and down the left edge.
    for (int y = 4; y < 11; ++y)
        for (int x = 0; x < 11; ++x)
            master.setPixel(x, y, Px(10 * x, 10 * y, 77));
    for (int x : {0, 1, 2, 3, 7, 8, 9, 10})
        master.setPixel(x, 4, Px(255, 0, 255));
    for (int y = 5; y < 11; ++y)
        master.setPixel(0, y, Px(255, 0, 255));
    const TinySkin skin("[S]\r\nBORDERSMASK=^0000^0004^0011^0011^0004^0002^0004^0002^1^0^0^0\r\n",
                        master);
    const TsMaskData& mask = skin.Mask("S", "BORDERSMASK");
    const uint32_t marker = Px(1, 2, 3);
    for (const QSize size : {QSize(11, 7), QSize(30, 9), QSize(7, 5), QSize(5, 3)}) {
        Bitmap b = Filled(size.width(), size.height(), marker);
        DrawBorderMask(b, b.Rect(), KeyPixels::KeepTarget, VisualState::Normal, mask,
                       ParentCacheInfo());
        QRegion seeThrough;
        for (const QRect& r : mask.Border().SeeThroughOver(0, size))
            seeThrough += r;
        const QMargins sides = mask.Border().FittedTo(size);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); ++x) {
                const bool corner = (x < sides.left() || x >= size.width() - sides.right()) &&
                                    (y < sides.top() || y >= size.height() - sides.bottom());
                if (corner)
                    EXPECT_EQ(seeThrough.contains(QPoint(x, y)), b.ScanLine(y)[x] == marker)
                        << size.width() << "x" << size.height() << " at " << x << "," << y;
                else
                    EXPECT_FALSE(seeThrough.contains(QPoint(x, y))) << x << "," << y;
            }
    }
}

// A piece copied over a target with a key pixel: how the keys are taken,
// what lies behind, and what the key pixel becomes.
struct PieceCase {
    KeyPixels keys;
    ParentCacheInfo p;
    uint32_t keyPixel;
};
const uint32_t kPieceParent = Px(5, 6, 7), kPieceTarget = Px(200, 100, 0);
constexpr RgbColor kPieceColor{0x332211};

// Masked pieces: blended by the mask, magenta corners taking the parent
// (a picture, or a colour) only with the corners flag.
TEST(SkinPaint, MaskedPieces) {
    QImage master = MasterWithTile();
    // A 2 x 1 picture over its mask: (60, 60, 60) with mask 64, and magenta.
    master.setPixel(10, 0, Px(60, 60, 60));
    master.setPixel(11, 0, Px(255, 0, 255));
    master.setPixel(10, 1, Px(64, 64, 64));
    master.setPixel(11, 1, Px(255, 255, 255));
    const TinySkin skin("[S]\r\nG=@0010@0000@0012@0002@1@1\r\n", master);
    const TsMaskData& mask = skin.Mask("S", "G");
    const Bitmap& image = skin.Manager().MasterImage();
    const Bitmap parent = Filled(4, 4, kPieceParent);
    const uint32_t dst = kPieceTarget;
    auto blended = [&](uint32_t d) {
        uint32_t out = 0;
        for (int shift : {0, 8, 16})
            out |= uint32_t(MaskBlend(int((d >> shift) & 0xFF), 60, 64)) << shift;
        return out;
    };
    const RgbColor brown = kPieceColor;
    const PieceCase cases[] = {
        {KeyPixels::ShowParent, ParentCacheInfo::Picture(&parent, 1, 1), Px(5, 6, 7)},
        {KeyPixels::ShowParent, ParentCacheInfo::Color(brown), Px(0x11, 0x22, 0x33)},
        {KeyPixels::KeepTarget, ParentCacheInfo::Color(brown), dst},
    };
    PaintScratch scratch;
    for (const PieceCase& c : cases) {
        Bitmap b = Filled(2, 1, dst);
        CopyMaskedPiece(b, QRect(0, 0, 2, 1), QRect(10, 0, 2, 1), mask, image, c.keys, c.p,
                        scratch);
        EXPECT_EQ(b.ScanLine(0)[0] & 0xFFFFFF, blended(dst) & 0xFFFFFF);
        EXPECT_EQ(b.ScanLine(0)[1] & 0xFFFFFF, c.keyPixel & 0xFFFFFF);
    }
}

TEST(SkinPaint, DottedFocusOnThirtyByNine) {
    Bitmap b = Filled(31, 10, Px(128, 128, 128));
    DrawDottedFocus(b, QRect(0, 0, 30, 9), RgbColor{0xFFFFFF}, RgbColor{0x000000});
    auto dark = [&](int x, int y) { return (b.ScanLine(y)[x] & 0xFFFFFF) == 0; };
    auto light = [&](int x, int y) { return (b.ScanLine(y)[x] & 0xFFFFFF) == 0xFFFFFF; };
    // The right and bottom edges lie on column 28 and row 7.
    for (int x = 0; x <= 30; x += 3) {
        EXPECT_TRUE(dark(x, 0)) << x;
        EXPECT_TRUE(dark(x, 7)) << x;
        if (x > 0) {
            EXPECT_TRUE(light(x - 1, 0)) << x;
        }
    }
    for (int y : {0, 3, 6}) {
        EXPECT_TRUE(dark(0, y)) << y;
        EXPECT_TRUE(dark(28, y)) << y;
    }
    EXPECT_TRUE(light(28, 2));
    EXPECT_FALSE(dark(1, 1));
    EXPECT_FALSE(dark(3, 8));
}

// Whatever lies behind (the parent's picture, its colour, or the colour
// the caller falls back to), a dimmed control keeps 40 % of itself.
TEST(SkinPaint, DisabledLookKeepsFortyPercentOverAnyParent) {
    const Bitmap parent = Filled(6, 6, Px(0, 0, 200));
    const RgbColor blue = ToRgb(Pixel{Px(0, 0, 200)});
    const struct {
        const char* behind;
        ParentCacheInfo p;
        RgbColor otherwise;
    } rows[] = {
        {"picture", ParentCacheInfo::Picture(&parent, 0, 0), RgbColor{0}},
        {"colour", ParentCacheInfo::Color(blue), RgbColor{0}},
        {"fallback", ParentCacheInfo{}, blue},
    };
    for (const auto& row : rows) {
        Bitmap b = Filled(2, 2, Px(100, 50, 0));
        DrawDisabledLook(b, dkBlended, QPoint(1, 1), row.p, row.otherwise);
        EXPECT_EQ(b.ScanLine(1)[1] & 0xFFFFFF, Px(40, 20, 120) & 0xFFFFFF) << row.behind;
    }
}

TEST(SkinPaint, GradientsByMode) {
    // Two steps down four rows: 50 % from black to red, then red to blue.
    Bitmap b(1, 4);
    PaintGradient(b, b.Rect(), {Step(0x000000, 0x0000FF, 50), Step(0x0000FF, 0xFF0000, 50)});
    EXPECT_EQ(Rgb(b.ScanLine(0)[0]), 0x000000u);
    EXPECT_EQ(Rgb(b.ScanLine(1)[0]), 0x00007Fu); // 255 × 1 / 2
    EXPECT_EQ(Rgb(b.ScanLine(2)[0]), 0x0000FFu);
    EXPECT_EQ(Rgb(b.ScanLine(3)[0]), 0x7F0080u); // 255 − 255 / 2 and 255 / 2, truncated
    // Left to right, one flat step.
    Bitmap c(3, 1);
    PaintGradient(c, c.Rect(), {Step(0x123456, 0x123456, 100, 1)});
    EXPECT_EQ(Rgb(c.ScanLine(0)[2]), 0x123456u);
    // Four triangles: the middle pixel of a 3 x 3 takes the middle colour,
    // a corner leans towards its own colour; on 9 x 5 all stays in range.
    const TsGradArray corners{Step(0x0000FF, 0, 0, 2), Step(0x00FF00, 0, 0), Step(0x0000FF, 0, 0),
                              Step(0x0000FF, 0, 0), Step(0x0000FF, 0, 0)};
    Bitmap t(3, 3);
    PaintGradient(t, t.Rect(), corners);
    EXPECT_EQ(Rgb(t.ScanLine(1)[1]), 0x00FF00u);
    EXPECT_GT((t.ScanLine(0)[0] >> 16) & 0xFF, (t.ScanLine(0)[0] >> 8) & 0xFF);
    Bitmap wide(9, 5);
    wide.Image().fill(0xFF000000u);
    PaintGradient(wide, wide.Rect(), corners);
    for (int y = 0; y < 5; ++y)
        for (int x = 0; x < 9; ++x)
            EXPECT_EQ(wide.ScanLine(y)[x] & 0xFF0000FF, 0xFF000000u) << x << "," << y; // no blue
}

// The program's own skin in a manager of its own.
class WoodSkin {
public:
    WoodSkin() { content::UseInternalSkinOnly(manager_, home_.path()); }
    TsSkinManager& Manager() { return manager_; }

private:
    QTemporaryDir home_;
    TsSkinManager manager_;
};

// The program's own button: the worked example over a picture parent.
TEST(SkinPaint, WoodButtonOverAPicture) {
    WoodSkin skin;
    TsSkinManager& manager = skin.Manager();
    const int button = manager.FindSection("BUTTON");
    const TsMaskData& frame = manager.MaskTable()[manager.SectionTable()[button].BordersMask];
    Bitmap parent(200, 60);
    for (int y = 0; y < 60; ++y)
        for (int x = 0; x < 200; ++x)
            parent.ScanLine(y)[x] = Px(x, y * 4, 128);
    const QPoint at(30, 10);
    for (int state : {0, 1, 2}) {
        SCOPED_TRACE(state);
        Bitmap b(114, 27);
        RenderSectionByIndex(manager, {.Target = b,
                                       .Section = button,
                                       .State = VisualState{state},
                                       .Parent = ParentCacheInfo::Picture(&parent, 0, 0),
                                       .Position = at});
        // The middle shows the parent in state 0; in the hot states the
        // gradient is laid over it with a = 79 × 255 / 100 = 201 for the parent.
        const uint32_t under = parent.ScanLine(at.y() + 13)[at.x() + 57];
        const uint32_t middle = b.ScanLine(13)[57];
        if (state == 0) {
            EXPECT_EQ(middle & 0xFFFFFF, under & 0xFFFFFF);
        } else {
            Bitmap g(114, 27);
            PaintGradient(g, g.Rect(), manager.SectionTable()[button].StateData[1].Gradient);
            const uint32_t grad = g.ScanLine(13)[57];
            for (int shift : {0, 8, 16})
                EXPECT_EQ((middle >> shift) & 0xFF,
                          BlendByte((under >> shift) & 0xFF, (grad >> shift) & 0xFF, 201));
        }
        // The top-left corner is frame `state` of the mask, blended over what
        // lay there by its mask half.
        const Bitmap& master = manager.MasterImage();
        const int sx = frame.Area.Left + state * 21 + 4, sy = frame.Area.Top + 4;
        const uint32_t src = master.ScanLine(sy)[sx], m = master.ScanLine(sy + 21)[sx];
        EXPECT_NE(src & 0xFFFFFF, 0xFF00FFu);
        Bitmap bg(114, 27);
        RenderSectionBackground(manager, {.Target = bg,
                                          .Section = button,
                                          .State = VisualState{state},
                                          .Parent = ParentCacheInfo::Picture(&parent, 0, 0),
                                          .Position = at});
        for (int shift : {0, 8, 16})
            EXPECT_EQ(int((b.ScanLine(4)[4] >> shift) & 0xFF),
                      MaskBlend(int((bg.ScanLine(4)[4] >> shift) & 0xFF),
                                int((src >> shift) & 0xFF), int((m >> shift) & 0xFF)));
    }
}

} // namespace

namespace {

// Row y of the gradient as the gradient painter lays it over `height`
// rows (the painter's own rows are checked by GradientsByMode).
uint32_t GradientRow(const TsGradArray& steps, int height, int y) {
    Bitmap b(1, height);
    PaintGradient(b, b.Rect(), steps);
    return b.ScanLine(y)[0];
}

TEST(SkinPaint, WoodSectionsAsTheFormulasSay) {
    WoodSkin skin;
    TsSkinManager& m = skin.Manager();
    const Bitmap& master = m.MasterImage();
    auto render = [&](const char* name, int w, int h, int state, const ParentCacheInfo& p) {
        Bitmap b(w, h);
        RenderSectionByIndex(m, {.Target = b,
                                 .Section = m.FindSection(name),
                                 .State = VisualState{state},
                                 .Parent = p});
        return b;
    };
    // PANEL: its gradient and the big texture laid in one pass, each half.
    {
        const TsGeneralData& panel = m.SectionTable()[m.FindSection("PANEL")];
        const Bitmap b = render("PANEL", 333, 77, 0, ParentCacheInfo());
        for (const QPoint at : {QPoint(40, 20), QPoint(300, 60)}) {
            const uint32_t g = GradientRow(panel.Gradient, 77, at.y());
            const uint32_t t = master.ScanLine(182 + at.y() % 145)[at.x() % 398];
            for (int shift : {0, 8, 16}) {
                const int gc = (g >> shift) & 0xFF, tc = (t >> shift) & 0xFF;
                EXPECT_EQ(int((b.ScanLine(at.y())[at.x()] >> shift) & 0xFF),
                          gc + (((tc - gc) * 127) >> 8))
                    << at.x() << "," << at.y();
            }
        }
    }
    // FORM: its background picture tiled from the top-left inside the frame.
    {
        const Bitmap b = render("FORM", 500, 300, 0, ParentCacheInfo());
        const Bitmap& back = *m.MaskTable()[m.FindMaskExact("FORM", "PATTERN")].OwnImage;
        for (const QPoint at : {QPoint(10, 10), QPoint(450, 200)})
            EXPECT_EQ(b.ScanLine(at.y())[at.x()] & 0xFFFFFF,
                      back.ScanLine(at.y() % back.Height())[at.x() % back.Width()] & 0xFFFFFF);
    }
    // MENUITEM: the parent alone when normal (no border in state 0); when hot
    // the hot gradient over it with 50 % for the parent, and the border.
    {
        const ParentCacheInfo p = ParentCacheInfo::Color(RgbColor{0x336699});
        const Bitmap normal = render("MENUITEM", 120, 20, 0, p);
        EXPECT_EQ(platform::ColorFromPixel(normal.ScanLine(0)[0]), 0x336699u);
        EXPECT_EQ(platform::ColorFromPixel(normal.ScanLine(10)[60]), 0x336699u);
        const TsGeneralData& item = m.SectionTable()[m.FindSection("MENUITEM")];
        const Bitmap hot = render("MENUITEM", 120, 20, 1, p);
        const uint32_t g = GradientRow(item.StateData[1].Gradient, 20, 10);
        const uint32_t parent = PixelOfColor(0x336699);
        for (int shift : {0, 8, 16})
            EXPECT_EQ((hot.ScanLine(10)[60] >> shift) & 0xFF,
                      BlendByte((parent >> shift) & 0xFF, (g >> shift) & 0xFF, 127));
        EXPECT_NE(hot.ScanLine(0)[60], hot.ScanLine(10)[60]); // the border's top edge
    }
    // EDIT: its flat colour inside its three-pixel border.
    {
        const Bitmap b = render("EDIT", 431, 433, 0, ParentCacheInfo::Color(RgbColor{0}));
        EXPECT_EQ(platform::ColorFromPixel(b.ScanLine(200)[200]), 8500947u);
        EXPECT_NE(platform::ColorFromPixel(b.ScanLine(200)[1]), 8500947u);
    }
    // A state beyond the section's states is its last: BUTTON state 3 is 2.
    {
        const ParentCacheInfo p = ParentCacheInfo::Color(RgbColor{0x808080});
        EXPECT_TRUE(SamePixels(render("BUTTON", 60, 30, 2, p), render("BUTTON", 60, 30, 3, p),
                               "button-state-3"));
        EXPECT_TRUE(
            SamePixels(render("EDIT", 30, 30, 0, p), render("EDIT", 30, 30, 5, p), "edit-state-5"));
    }
}

} // namespace

namespace {

// The colours of captions: a disabled one in the faded font colour; an
// enabled one with its contour colours one pixel aside.
TEST(SkinPaint, SectionTextColours) {
    const TinySkin skin("[S]\r\nCOLOR=16711680\r\nFONTCOLOR=255\r\nTCLEFT=65280\r\nSTATES=1\r\n",
                        MasterWithTile());
    auto draw = [&](bool enabled) {
        Bitmap b = Filled(60, 40, Px(255, 255, 255));
        platform::Canvas canvas(b);
        canvas.Font.Name = "Liberation Sans";
        canvas.Font.Height = 30;
        canvas.Font.Style = platform::fsBold;
        DrawSectionText(
            canvas, QStringLiteral("Ш"),
            {.Rect = QRect(5, 0, 50, 40), .Format = platform::DT_SINGLELINE, .Enabled = enabled},
            &skin.Manager(), skin.Section("S"));
        QSet<uint32_t> colours;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 60; ++x)
                colours.insert(Rgb(b.ScanLine(y)[x]));
        return colours;
    };
    const QSet<uint32_t> disabled = draw(false);
    EXPECT_TRUE(disabled.contains(MixColors(255, 16711680, 0.4))); // 40 % red, 60 % blue
    EXPECT_FALSE(disabled.contains(255));
    const QSet<uint32_t> enabled = draw(true);
    EXPECT_TRUE(enabled.contains(255));   // the text
    EXPECT_TRUE(enabled.contains(65280)); // its left contour
}

} // namespace

namespace {

// Keyed pieces: magenta takes the parent's picture or colour only with the
// corners flag; other pixels are copied whole.
TEST(SkinPaint, KeyedPieces) {
    QImage master = MasterWithTile();
    master.setPixel(20, 0, Px(60, 70, 80));
    master.setPixel(21, 0, Px(255, 0, 255));
    const TinySkin skin("[S]\r\nG=@0020@0000@0022@0001@1@0\r\n", master);
    const Bitmap& image = skin.Manager().MasterImage();
    const Bitmap parent = Filled(4, 4, kPieceParent);
    const uint32_t dst = kPieceTarget;
    const RgbColor brown = kPieceColor;
    const PieceCase cases[] = {
        {KeyPixels::ShowParent, ParentCacheInfo::Picture(&parent, 2, 2), Px(5, 6, 7)},
        {KeyPixels::ShowParent, ParentCacheInfo::Color(brown), Px(0x11, 0x22, 0x33)},
        {KeyPixels::KeepTarget, ParentCacheInfo::Picture(&parent, 2, 2), dst},
        {KeyPixels::KeepTarget, ParentCacheInfo::Color(brown), dst},
    };
    for (const PieceCase& c : cases) {
        Bitmap b = Filled(2, 1, dst);
        CopyKeyedPiece(b, QPoint(0, 0), image, QRect(20, 0, 2, 1), c.keys, c.p);
        EXPECT_EQ(b.ScanLine(0)[0] & 0xFFFFFF, Px(60, 70, 80) & 0xFFFFFF);
        EXPECT_EQ(b.ScanLine(0)[1] & 0xFFFFFF, c.keyPixel & 0xFFFFFF) << int(c.keys);
    }
}

} // namespace

namespace {

// Hostile values: a section's STATES may be any integer, the most negative
// one too, and a parent's offset may lie at either end of the integer
// range. The sanitizer build turns any overflow here into a failure.
TEST(SkinPaint, ExtremeStateCountsAndStates) {
    struct Row {
        int count, state, expected;
    };
    const Row rows[] = {
        {INT_MIN, 0, 0},
        {INT_MIN, INT_MAX, 0},
        {INT_MIN, INT_MIN, 0},
        {0, 5, 0},
        {1, 1, 0},
        {3, 5, 2},
        {3, -4, 0},
        {3, 1, 1},
        {INT_MAX, INT_MAX, INT_MAX - 1},
    };
    for (const Row& row : rows) {
        TsGeneralData d;
        d.StateCount = row.count;
        EXPECT_EQ(Number(ClampState(d, VisualState{row.state})), row.expected)
            << row.count << " " << row.state;
    }
    // A whole section with that count paints every state as its normal one.
    const TinySkin skin("[S]\r\nCOLOR=255\r\nHOTCOLOR=65280\r\nSTATES=-2147483648\r\n",
                        MasterWithTile());
    auto paint = [&](int state) {
        Bitmap b = Filled(4, 4, Px(1, 2, 3));
        RenderSectionByIndex(
            skin.Manager(),
            {.Target = b, .Section = skin.Section("S"), .State = VisualState{state}});
        return b;
    };
    const Bitmap normal = paint(0);
    EXPECT_EQ(Rgb(normal.ScanLine(2)[2]), 255u);
    for (int state : {1, INT_MAX, INT_MIN})
        EXPECT_TRUE(SamePixels(normal, paint(state), QString("min-states-%1").arg(state)));
}

TEST(SkinPaint, ParentOffsetsAtTheEndsOfTheRange) {
    const Bitmap parent = Filled(4, 4, Px(5, 6, 7));
    // Moving far out and back lands where one would expect; beyond the
    // limit the parent simply has no pixel there.
    const ParentCacheInfo near = ParentCacheInfo::Picture(&parent, 3, 1);
    EXPECT_EQ(near.Moved(-3, -1).PixelAt(0, 0), parent.ScanLine(0));
    EXPECT_EQ(near.PixelAt(0, 2), parent.ScanLine(3) + 3);
    for (const QPoint at : {QPoint(INT_MAX, INT_MAX), QPoint(INT_MIN, INT_MIN),
                            QPoint(INT_MAX, INT_MIN), QPoint(0, INT_MIN)}) {
        const ParentCacheInfo far = ParentCacheInfo::Picture(&parent, at.x(), at.y());
        for (const ParentCacheInfo& p :
             {far, far.Moved(INT_MAX, INT_MAX), far.Moved(INT_MIN, INT_MIN), far.Moved(8, 8)}) {
            EXPECT_EQ(p.PixelAt(0, 0), nullptr);
            EXPECT_EQ(p.PixelAt(INT_MAX, INT_MIN), nullptr);
        }
    }
    // A see-through section over a parent that far away leaves its target
    // alone, whatever its position.
    const TinySkin skin("[S]\r\nCOLOR=255\r\nTRANSPARENCY=100\r\nSTATES=1\r\n", MasterWithTile());
    for (const QPoint at : {QPoint(INT_MAX, INT_MAX), QPoint(INT_MIN, 0)}) {
        Bitmap b = Filled(3, 3, Px(1, 2, 3));
        RenderSectionByIndex(skin.Manager(),
                             {.Target = b,
                              .Section = skin.Section("S"),
                              .Parent = ParentCacheInfo::Picture(&parent, at.x(), at.y()),
                              .Position = QPoint(INT_MAX, INT_MIN)});
        EXPECT_TRUE(SamePixels(Filled(3, 3, Px(1, 2, 3)), b, "far-parent"));
    }
}

} // namespace

TEST(Blend, CoverageBlendRoundsAndKeepsBothEnds) {
    // Every value the blends can meet, against the division in doubles.
    for (uint32_t x = 0; x <= 255 * 255; ++x)
        ASSERT_EQ(Div255(x), uint32_t(std::lround(x / 255.0))) << x;
    for (uint32_t c : {0u, 1u, 128u, 254u, 255u})
        for (uint32_t s : {0u, 77u, 255u}) {
            EXPECT_EQ(CoverBlend(c, s, 0), c);
            EXPECT_EQ(CoverBlend(c, s, 255), s);
        }
}
