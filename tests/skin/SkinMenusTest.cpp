// The skinned menus against their rules, with the Wood skin: a drop-down's
// background and outline, item heights, normal, hot and disabled items, a
// separator, a caption item and bar items.
#include "app/InternalSkin.h"
#include "platform/Canvas.h"
#include "skin/draw/SkinPaint.h"
#include "skin/menus/TsSkinableMenus.h"

#include <QTemporaryDir>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

namespace {

using platform::Bitmap;
using skin::TsMenuItem;

class SkinMenusTest : public ::testing::Test {
protected:
    static skin::TsSkinManager& Manager() { return content::InternalSkinManager(); }
    skin::TsSkinableMenus menus{&Manager()};
    int first = 0; // identifies the drop-down
    int second = 0;

    TsMenuItem Item(const QString& caption, const void* id) {
        TsMenuItem item;
        item.Id = id;
        item.FirstItem = &first;
        item.Caption = caption;
        return item;
    }
    // The height of "W" in the menu font, as the toolkit measures it.
    static int WHeight(bool bold = false) {
        Bitmap b(1, 1);
        platform::Canvas c(b);
        c.Font.Name = QStringLiteral("Tahoma");
        c.Font.Height = 11;
        c.Font.Style = bold ? platform::fsBold : 0;
        return c.TextHeight(QStringLiteral("W"));
    }
    const skin::TsMaskData& Mask(const char* section) {
        const int i =
            Manager().FindMaskExact(QString::fromLatin1(section), QStringLiteral("BORDERSMASK"));
        return Manager().MaskTable().at(i);
    }
    static int Ch(uint32_t px, int shift) { return (px >> shift) & 0xFF; }
};

TEST_F(SkinMenusTest, BackgroundIsTheColourHalfMixedWithTheTextureAndItsCornersSeeThrough) {
    const QSize size(90, 70);
    TsMenuItem item = Item(QStringLiteral("Одна руна..."), &first);
    const skin::MenuBackground& bg = menus.BuildMenuBackground(item, size);
    ASSERT_EQ(bg.Picture.Image().size(), size);

    // Inside the 4-pixel border: 50 % of the texture (tiled from the top-left
    // corner), 50 % of the colour 9817827, rounded.
    const skin::TsGeneralData& mm = Manager().SectionTable()[Manager().FindSection("MAINMENU")];
    const uint32_t color = uint32_t(mm.StateData[0].Color);
    const int tex = Manager().FindTexture(Manager().FindSection("MAINMENU"), "MAINMENU", "PATTERN");
    ASSERT_GE(tex, 0);
    const skin::TsMaskData& t = Manager().MaskTable()[tex];
    const Bitmap& master = Manager().MasterImage();
    for (int y = 4; y < size.height() - 4; y += 3)
        for (int x = 4; x < size.width() - 4; x += 5) {
            const uint32_t p =
                master.ScanLine(t.Area.Top + y % t.Area.Height())[t.Area.Left + x % t.Area.Width()];
            const uint32_t got = bg.Picture.ScanLine(y)[x];
            // Colours are 0x00BBGGRR, pixels 0xAARRGGBB.
            const int c[3] = {int((color >> 16) & 0xFF), int((color >> 8) & 0xFF),
                              int(color & 0xFF)};
            for (int k = 0; k < 3; ++k) {
                const long want = std::lround(Ch(p, 8 * k) * 0.5 + c[k] * 0.5);
                ASSERT_NEAR(Ch(got, 8 * k), want, 0) << x << "," << y << " channel " << k;
            }
        }

    // The corners: every magenta pixel of the border frame's corner pieces,
    // placed at the picture's corners.
    const skin::TsMaskData& m = Mask("MAINMENU");
    const int fw = m.Area.Width(), fh = m.Area.Height() / 2;
    std::set<std::pair<int, int>> want;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
            if ((master.ScanLine(m.Area.Top + y)[m.Area.Left + x] & 0xFFFFFF) != 0xFF00FF)
                continue;
            const bool left = x < m.LeftWidth, right = x >= fw - m.RightWidth;
            const bool top = y < m.TopWidth, bottom = y >= fh - m.BottomWidth;
            if ((left || right) && (top || bottom))
                want.insert(
                    {right ? size.width() - (fw - x) : x, bottom ? size.height() - (fh - y) : y});
        }
    ASSERT_FALSE(want.empty());
    std::set<std::pair<int, int>> got;
    for (const QRect& r : bg.Corners)
        for (int x = r.left(); x <= r.right(); ++x)
            for (int y = r.top(); y <= r.bottom(); ++y)
                got.insert({x, y});
    EXPECT_EQ(got, want);
    const QRegion outline = skin::TsSkinableMenus::MenuOutline(bg);
    for (const auto& [x, y] : want)
        EXPECT_FALSE(outline.contains(QPoint(x, y)));
    EXPECT_TRUE(outline.contains(QPoint(3, 3)));
    EXPECT_TRUE(outline.contains(QPoint(size.width() - 4, size.height() - 4)));
    EXPECT_EQ(menus.SkinBorderWidth(), 1);
}

TEST_F(SkinMenusTest, ItemKindsAndHeights) {
    const int text = int(std::nearbyint(1.25 * WHeight()));
    Bitmap glyph(24, 20);
    struct Case {
        QString Caption;
        const Bitmap* Glyph;
        skin::TsMenuItemType Type;
        int Height;
    } cases[] = {
        {"Крест...", nullptr, skin::TsMenuItemType::smNormal, std::max(text, 16) + 4},
        {"С картинкой", &glyph, skin::TsMenuItemType::smNormal, std::max(text, 20) + 4},
        {"-", nullptr, skin::TsMenuItemType::smDivider, 2},
        {"-Заголовок-", nullptr, skin::TsMenuItemType::smCaption, text + 4},
        {"-а", nullptr, skin::TsMenuItemType::smNormal, std::max(text, 16) + 4},
        {"--", nullptr, skin::TsMenuItemType::smCaption, text + 4},
    };
    for (const Case& c : cases) {
        TsMenuItem item = Item(c.Caption, &second);
        item.Glyph = c.Glyph;
        EXPECT_EQ(skin::TsSkinableMenus::ItemType(item), c.Type) << c.Caption.toStdString();
        EXPECT_EQ(menus.ItemHeight(item), c.Height) << c.Caption.toStdString();
        EXPECT_EQ(menus.MeasureMenuItem(item).height(), c.Height);
    }
    TsMenuItem bar = Item("Файл", &second);
    bar.TopLevel = true;
    EXPECT_EQ(skin::TsSkinableMenus::ItemType(bar), skin::TsMenuItemType::smTopLine);
    EXPECT_EQ(menus.MeasureBarItem(bar).height(), 18);
    EXPECT_TRUE(menus.Painting());
}

TEST_F(SkinMenusTest, NormalHotAndDisabledItemsOverTheBackground) {
    const QSize window(120, 3 * 20 + 6);
    TsMenuItem item = Item(QStringLiteral("Четыре руны..."), &second);
    const QRect r(0, 20, 114, 20);
    auto draw = [&](bool selected, bool enabled) {
        Bitmap out(r.width(), r.height());
        item.Enabled = enabled;
        menus.DrawMenuItem(item, out, r.topLeft(), r, {.Selected = selected}, window);
        return out;
    };
    const Bitmap normal = draw(false, true);
    const Bitmap hot = draw(true, true);
    const Bitmap disabled = draw(false, false);
    const Bitmap& bg = menus.FindMenuBackground(item, QSize())->Picture;
    const int textLeft = 16 + 2 * 2 + 8;

    // Normal: "MENUITEM" is see-through and has no border in state 0.
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < textLeft; ++x)
            ASSERT_EQ(normal.ScanLine(y)[x] & 0xFFFFFF,
                      bg.ScanLine(r.top() + 3 + y)[3 + x] & 0xFFFFFF);

    // Hot: inside the 7-pixel border, the hot gradient laid over the
    // background with the background keeping 50 %: (bg × 127 + g × 128 + 127) >> 8.
    const skin::TsGeneralData& mi = Manager().SectionTable()[Manager().FindSection("MENUITEM")];
    Bitmap gradient(r.width(), r.height());
    skin::PaintGradient(gradient, gradient.Rect(), mi.StateData[1].Gradient);
    for (int y = 7; y < r.height() - 7; ++y)
        for (int x = 7; x < textLeft; ++x) {
            const uint32_t b = bg.ScanLine(r.top() + 3 + y)[3 + x], g = gradient.ScanLine(y)[x];
            for (int k = 0; k < 24; k += 8)
                ASSERT_EQ(Ch(hot.ScanLine(y)[x], k), (Ch(b, k) * 127 + Ch(g, k) * 128 + 127) >> 8)
                    << x << "," << y;
        }
    EXPECT_NE(hot.ScanLine(0)[r.width() / 2], normal.ScanLine(0)[r.width() / 2]); // its frame

    // Disabled: 40 % of the item as drawn enabled, 60 % of the background.
    int textPixels = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const uint32_t b = bg.ScanLine(r.top() + 3 + y)[3 + x], e = normal.ScanLine(y)[x];
            textPixels += (b & 0xFFFFFF) != (e & 0xFFFFFF);
            for (int k = 0; k < 24; k += 8)
                ASSERT_EQ(Ch(disabled.ScanLine(y)[x], k),
                          std::lround(Ch(b, k) - (Ch(b, k) - Ch(e, k)) * 0.4))
                    << x << "," << y;
        }
    EXPECT_GT(textPixels, 20); // the caption was drawn
}

TEST_F(SkinMenusTest, SeparatorAndCaptionItems) {
    const QSize window(120, 60);
    TsMenuItem divider = Item("-", &second);
    const QRect dr(0, 10, 114, 2);
    Bitmap line(dr.width(), dr.height());
    menus.DrawMenuItem(divider, line, dr.topLeft(), dr, {}, window);
    const Bitmap& bg = menus.FindMenuBackground(divider, QSize())->Picture;
    // The line starts past the icon column (2 + 16 + 8) and 2 more, and ends
    // Margin before the right edge; elsewhere the background shows. The
    // Wood "DIVIDERV" frame is two rows high, as high as the separator, each
    // row of one colour: its top and bottom edges make the whole line.
    const skin::TsMaskData& mask = Mask("DIVIDERV");
    const Bitmap& master = Manager().MasterImage();
    ASSERT_EQ(mask.FrameHeight(), 2);
    for (int y = 0; y < 2; ++y)
        for (int x = mask.Area.Left; x < mask.Area.Left + mask.FrameWidth(); ++x)
            ASSERT_EQ(master.ScanLine(mask.Area.Top + y)[x],
                      master.ScanLine(mask.Area.Top + y)[mask.Area.Left]);
    const int left = 2 + 16 + 8 + 2, right = dr.width() - 2;
    for (int y = 0; y < dr.height(); ++y)
        for (int x = 0; x < dr.width(); ++x) {
            const uint32_t expected = x < left || x >= right
                                          ? bg.ScanLine(dr.top() + 3 + y)[3 + x]
                                          : master.ScanLine(mask.Area.Top + y)[mask.Area.Left];
            ASSERT_EQ(line.ScanLine(y)[x] & 0xFFFFFF, expected & 0xFFFFFF) << x << "," << y;
        }
    // Two rows that differ from each other and from the background.
    EXPECT_NE(line.ScanLine(0)[left] & 0xFFFFFF, line.ScanLine(1)[left] & 0xFFFFFF);
    EXPECT_NE(line.ScanLine(0)[left] & 0xFFFFFF, bg.ScanLine(dr.top() + 3)[3 + left] & 0xFFFFFF);

    TsMenuItem caption = Item("-Заголовок-", &second);
    const QRect cr(0, 20, 114, 22);
    Bitmap title(cr.width(), cr.height());
    menus.DrawMenuItem(caption, title, cr.topLeft(), cr, {}, window);
    // A one-pixel ring of the background around the "TOOLBAR" picture.
    for (int x = 0; x < cr.width(); ++x) {
        ASSERT_EQ(title.ScanLine(0)[x] & 0xFFFFFF, bg.ScanLine(cr.top() + 3)[3 + x] & 0xFFFFFF);
        ASSERT_EQ(title.ScanLine(cr.height() - 1)[x] & 0xFFFFFF,
                  bg.ScanLine(cr.bottom() + 3)[3 + x] & 0xFFFFFF);
    }
    Bitmap toolbar(cr.width() - 2, cr.height() - 2);
    skin::RenderSectionByIndex(Manager(),
                               {.Target = toolbar, .Section = Manager().FindSection("TOOLBAR")});
    // Inside its 4-pixel border the "TOOLBAR" picture is opaque.
    for (int y = 4; y < toolbar.Height() - 4; ++y)
        for (int x = 4; x < 12; ++x)
            ASSERT_EQ(title.ScanLine(1 + y)[1 + x] & 0xFFFFFF, toolbar.ScanLine(y)[x] & 0xFFFFFF);
}

TEST_F(SkinMenusTest, BarItemsShowTheBandAndTheHotLook) {
    Bitmap band(200, 19);
    for (int y = 0; y < band.Height(); ++y)
        for (int x = 0; x < band.Width(); ++x)
            band.ScanLine(y)[x] = 0xFF000000u | uint32_t(x * 1000 + y * 37);
    TsMenuItem item = Item("Расклад...", &first);
    item.TopLevel = true;
    const QRect r(40, 0, 70, 18);
    auto draw = [&](bool selected) {
        Bitmap out(r.width(), r.height());
        menus.DrawBarItem(item, out, r.topLeft(), r, {.Selected = selected}, band);
        return out;
    };
    const Bitmap normal = draw(false);
    const Bitmap hot = draw(true);
    item.Enabled = false;
    const Bitmap disabled = draw(false);
    item.Enabled = true;
    int differs = 0;
    for (int y = 0; y < r.height(); ++y)
        for (int x = 0; x < r.width(); ++x) {
            const uint32_t b = band.ScanLine(y)[r.left() + x];
            // Normal: the band, except the caption (centred, so not at the ends).
            if (x < 3 || x >= r.width() - 3) {
                ASSERT_EQ(normal.ScanLine(y)[x] & 0xFFFFFF, b & 0xFFFFFF);
            }
            differs += (hot.ScanLine(y)[x] & 0xFFFFFF) != (normal.ScanLine(y)[x] & 0xFFFFFF);
            // Disabled: 102/255 of the item, the rest of the band.
            for (int k = 0; k < 24; k += 8)
                ASSERT_EQ(Ch(disabled.ScanLine(y)[x], k),
                          (Ch(normal.ScanLine(y)[x], k) * 102 + Ch(b, k) * 153 + 127) >> 8);
        }
    EXPECT_GT(differs, r.width() * r.height() / 2);
}

TEST_F(SkinMenusTest, EachOpeningBuildsItsBackgroundAfresh) {
    TsMenuItem a = Item("Сохранить...", &first);
    TsMenuItem b = Item("Справка...", &second);
    b.FirstItem = &second;
    const skin::MenuBackground* one = menus.FindMenuBackground(a, QSize(80, 40));
    EXPECT_EQ(menus.FindMenuBackground(a, QSize()), one);
    EXPECT_EQ(menus.FindMenuBackground(b, QSize()), nullptr);
    menus.ClearBackgrounds();
    EXPECT_EQ(menus.FindMenuBackground(a, QSize()), nullptr);
    // Named "SkinSelectItem", the drop-down has no extra line even when
    // extra lines are on.
    Manager().MenuSupport.UseExtraLine = true;
    a.Name = QStringLiteral("SkinSelectItem");
    EXPECT_FALSE(menus.BuildMenuBackground(a, QSize(80, 40)).HasExtraLine);
    EXPECT_TRUE(menus.BuildMenuBackground(b, QSize(80, 40)).HasExtraLine);
    Manager().MenuSupport.UseExtraLine = false;
}

} // namespace
