// The program's own skin, loaded as the program loads it.
#include "app/InternalSkin.h"
#include "skin/data/SkinLookup.h"
#include "skin/data/SkinModel.h"
#include "skin/data/TsSkinManager.h"

#include "support/Printers.h"
#include "support/SkinValues.h"
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace skin;
using testing_support::Step;

namespace {

const TsSkinModel& Wood() {
    static const TsSkinModel model =
        LoadSkinFromPackage(UnpackPackage(content::InternalSkinPackage()), QString());
    return model;
}

const SkinLookup& WoodLookup() {
    static const SkinLookup lookup(Wood().Sections, Wood().Images);
    return lookup;
}

const TsGeneralData& Section(const char* name) {
    const int i = WoodLookup().Section(name);
    if (i < 0)
        throw std::runtime_error(std::string("no section ") + name);
    return Wood().Sections[i];
}

const TsMaskData& Mask(const char* section, const char* key) {
    const int i = WoodLookup().MaskExact(section, key);
    if (i < 0)
        throw std::runtime_error(std::string("no mask ") + section + "/" + key);
    return Wood().Images.Masks[i];
}

TEST(WoodSkin, PackageHoldsItsMembersInOrder) {
    const TacSkinConvertor package = UnpackPackage(content::InternalSkinPackage());
    ASSERT_TRUE(package.OptionsText.has_value());
    EXPECT_FALSE(package.OptionsText->startsWith("\xEF\xBB\xBF"));
    EXPECT_TRUE(package.OptionsText->contains("\r\n"));
    EXPECT_EQ(package.OptionsText->count("\n"), package.OptionsText->count("\r\n")); // CR LF only
    QStringList names;
    for (const TacImageItem& m : package.Members)
        names << m.MemberName;
    EXPECT_EQ(names, QStringList({"ButtonHuge.bmp", "Master.bmp", "Bg_b.jpg"}));
    // Stored, not compressed, so that every start reads it at copying speed.
    qsizetype members = package.OptionsText->size();
    for (const TacImageItem& m : package.Members)
        members += m.MemberData.size();
    EXPECT_GT(content::InternalSkinPackage().size(), members);
}

TEST(WoodSkin, HoldsWhatTheProgramReliesOn) {
    const TsSkinModel& m = Wood();
    EXPECT_EQ(VersionText(m.Data.Version), "6.5");
    EXPECT_EQ(m.Sections.size(), 61u);
    EXPECT_EQ(m.Sections.front().SectionName, "GLOBALINFO");
    EXPECT_EQ(m.Sections.back().SectionName, "SELECTION");
    EXPECT_EQ(m.Images.Masks.size(), 125u);
    EXPECT_TRUE(m.Images.Patterns.empty());
    EXPECT_EQ(m.Images.MasterImage.Width(), 398);
    EXPECT_EQ(m.Images.MasterImage.Height(), 327);
    int kinds[5] = {};
    for (const TsMaskData& mask : m.Images.Masks)
        ++kinds[mask.ImageKind];
    EXPECT_EQ(kinds[0], 50); // 49 border frames and the big button's picture
    EXPECT_EQ(kinds[1], 49); // 47 textures and the two of the background picture
    EXPECT_EQ(kinds[2], 26);

    EXPECT_EQ(m.Data.TitleHeight, 30);
    EXPECT_EQ(m.Data.MaxHeight, 30);
    EXPECT_EQ(m.Data.Shadow1Color, SkinColor{12249087});
    EXPECT_EQ(m.Data.BorderColor, SkinColor{2244954});
    EXPECT_EQ(m.Data.BILeft, 2);

    // Values of the sections the program's windows use.
    const TsGeneralData& button = Section("BUTTON");
    EXPECT_EQ(button.StateCount, 4);
    EXPECT_EQ(button.StateData[1].Color, SkinColor{5473964});
    EXPECT_EQ(button.StateData[1].Transparency, 79);
    EXPECT_EQ(button.StateData[1].FontColors.Text, SkinColor{0});
    EXPECT_TRUE(button.Gradient.empty());
    EXPECT_EQ(button.GradientPercent, 0);
    const TsGeneralData& combo = Section("COMBOBOX");
    EXPECT_EQ(combo.ParentClass, "EDIT");
    EXPECT_EQ(combo.Color, SkinColor{8500947});
    EXPECT_EQ(combo.StateCount, 1);
    EXPECT_EQ(combo.StateData[1], combo.StateData[0]);
    EXPECT_EQ(Section("ALPHACOMBOBOX").ParentClass, "ALPHAEDIT");
    const TsGeneralData& panel = Section("PANEL");
    ASSERT_EQ(panel.Gradient.size(), 3u);
    EXPECT_EQ(panel.Gradient[0], Step(9620190, 5605550, 51));
    EXPECT_EQ(panel.Gradient[2], Step(5539500, 5539500, 0));
    EXPECT_EQ(Section("SELECTION").StateData[1].Color, SkinColor{2845326});
    EXPECT_EQ(Section("FORMTITLE").StateData[1].FontColors.Text, SkinColor{11071231});
    int parents = 0;
    for (const TsGeneralData& d : m.Sections)
        parents += !d.ParentClass.isEmpty();
    EXPECT_EQ(parents, 2);
}

TEST(WoodSkin, MaskValuesAsWritten) {
    const TsMaskData& first = Wood().Images.Masks.front();
    EXPECT_EQ(first.SectionName, "GLOBALINFO");
    EXPECT_EQ(first.KeyName, "BOXCHECKED");
    EXPECT_EQ(first.Area, (TsArea{133, 166, 181, 180}));
    EXPECT_EQ(first.FrameCount, 3);
    EXPECT_EQ(first.ImageKind, 2);

    const TsMaskData& button = Mask("BUTTON", "BORDERSMASK");
    EXPECT_EQ(button.Area, (TsArea{0, 106, 63, 148}));
    EXPECT_EQ(button.FrameWidth(), 21);
    EXPECT_EQ(button.FrameHeight(), 21);
    EXPECT_EQ(button.FillMode, 1);
    const TsMaskData& huge = Mask("BUTTON_HUGE", "BORDERSMASK");
    ASSERT_TRUE(huge.OwnImage.has_value());
    EXPECT_EQ(huge.OwnImage->SourceBitsPerPixel(), 8);
    EXPECT_EQ(huge.Area, (TsArea{0, 0, 288, 192}));
    EXPECT_EQ(huge.LeftWidth, 32);
    EXPECT_EQ(huge.FillMode, 4);
    const TsMaskData& griph = Mask("GRIPH", "PATTERN");
    EXPECT_EQ(griph.FillMode, 10);
    EXPECT_EQ(griph.MaskKind, 1);
    EXPECT_EQ(MaskLeftWidth(Wood().Images, WoodLookup().MaskExact("SCROLLBAR2H", "BORDERSMASK")),
              1);
    // The combo box finds the edit's border through its parent.
    const int combo = WoodLookup().Section("COMBOBOX");
    EXPECT_EQ(WoodLookup().Mask(combo, "COMBOBOX", "BORDERSMASK"),
              WoodLookup().MaskExact("EDIT", "BORDERSMASK"));
    // The background picture is small enough to be a texture, hot look first.
    const auto& masks = Wood().Images.Masks;
    EXPECT_EQ(masks[123].KeyName, "HOTPATTERN");
    EXPECT_EQ(masks[124].KeyName, "PATTERN");
    EXPECT_EQ(masks[124].SectionName, "FORM");
    EXPECT_EQ(masks[124].OwnImage->Width(), 398);
    EXPECT_EQ(masks[124].OwnImage->Height(), 145);
}

// Every mask lies inside its picture, no frame is empty, and the lower half
// of a masked frame is a mask: greys only, and not one flat value.
TEST(WoodSkin, PicturesFitTheirMasks) {
    for (const TsMaskData& m : Wood().Images.Masks) {
        SCOPED_TRACE((m.SectionName + "/" + m.KeyName).toStdString());
        const platform::Bitmap& picture = m.OwnImage ? *m.OwnImage : Wood().Images.MasterImage;
        if (m.OwnImage && m.Area == TsArea{}) {
            // A background picture: its area is left empty, it is tiled whole.
            EXPECT_FALSE(picture.Empty());
            continue;
        }
        EXPECT_TRUE(picture.Rect().contains(
            QRect(m.Area.Left, m.Area.Top, m.Area.Width(), m.Area.Height())));
        EXPECT_GT(m.FrameWidth(), 0);
        EXPECT_GT(m.FrameHeight(), 0);
        if (m.MaskKind != 1)
            continue;
        bool flat = true;
        uint32_t firstValue =
            picture.ScanLine(m.Area.Top + m.FrameHeight())[m.Area.Left] & 0xFFFFFF;
        for (int y = m.Area.Top + m.FrameHeight(); y < m.Area.Bottom; ++y)
            for (int x = m.Area.Left; x < m.Area.Right; ++x) {
                const uint32_t v = picture.ScanLine(y)[x] & 0xFFFFFF;
                const uint32_t b = v & 0xFF;
                ASSERT_EQ(v, b | (b << 8) | (b << 16)) << "not grey at " << x << "," << y;
                flat = flat && v == firstValue;
            }
        EXPECT_FALSE(flat);
    }
}

// The wood of the pictures is the wood the options name.
TEST(WoodSkin, PictureColoursAgreeWithTheOptions) {
    auto mean = [](const platform::Bitmap& b, QRect r) {
        double sum[3] = {};
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const uint32_t c = b.ScanLine(y)[x];
                sum[0] += (c >> 16) & 0xFF, sum[1] += (c >> 8) & 0xFF, sum[2] += c & 0xFF;
            }
        const double n = double(r.width()) * r.height();
        return std::array<double, 3>{sum[0] / n, sum[1] / n, sum[2] / n};
    };
    auto near = [](std::array<double, 3> m, SkinColor stored, double tolerance) {
        const int32_t color = Value(stored);
        return std::abs(m[0] - (color & 0xFF)) <= tolerance &&
               std::abs(m[1] - ((color >> 8) & 0xFF)) <= tolerance &&
               std::abs(m[2] - ((color >> 16) & 0xFF)) <= tolerance;
    };
    const SkinColor global = Section("GLOBALINFO").Color;
    const auto big = mean(Wood().Images.MasterImage, QRect(0, 182, 398, 145));
    EXPECT_TRUE(near(big, global, 2.0)) << big[0] << "," << big[1] << "," << big[2];
    const platform::Bitmap& back = *Mask("FORM", "PATTERN").OwnImage;
    const auto b = mean(back, back.Rect());
    EXPECT_TRUE(near(b, Section("FORM").Color, 4.0)) << b[0] << "," << b[1] << "," << b[2];
}

TEST(WoodSkin, ToolReportsTheInternalSkin) {
    QProcess p;
    p.start(QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin"), {"info", "--internal"});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              "SkinInfo: 6.5\nSections: 61\nMasks: 125\nMasks by kind: 0=50 1=49 2=26 3=0 4=0\n"
              "Patterns: 0\nMasterImage: 398x327\n");
}

// The colour queries of the manager with this skin.
TEST(WoodSkin, ManagerAnswersFromIt) {
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("XDG_DATA_HOME");
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    {
        TsSkinManager manager;
        TsStoredSkin wood;
        wood.Name = content::kInternalSkinName;
        wood.Data = content::InternalSkinPackage();
        manager.SetInternalSkins({wood});
        manager.SetSkinName("Wood");
        EXPECT_EQ(manager.SkinName(), "Wood (internal)");
        EXPECT_EQ(manager.SkinInfo(), "6.5");
        EXPECT_EQ(skin::Value(manager.HighlightColor(true)), 2845326u);
        EXPECT_EQ(skin::Value(manager.HighlightColor(false)), 5673391u);
        EXPECT_EQ(skin::Value(manager.EditFontColor()), 0u);
        EXPECT_EQ(skin::Value(manager.GlobalColor()), 5407913u);
        // Wood has every section painting looks up by name but CAPTION,
        // whose place the title band's own caption takes.
        const skin::TsCommonIndexes& c = manager.CommonIndexes();
        for (int index : {c.GlobalInfo, c.Form, c.FormTitle, c.MenuLine, c.MenuItem, c.Selection,
                          c.Edit, c.ScrollBar})
            EXPECT_GE(index, 0);
        EXPECT_EQ(c.Caption, -1);
    }
    qputenv("XDG_DATA_HOME", oldHome);
}

} // namespace

namespace {

TEST(WoodSkin, ToolRendersSections) {
    QTemporaryDir dir;
    const QString tool = QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin");
    auto run = [&](const QStringList& args) {
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(60000);
        return std::make_pair(p.exitCode(), QString::fromUtf8(p.readAllStandardError()).trimmed());
    };
    const QString out = dir.filePath("button.png");
    EXPECT_EQ(run({"render", "--internal", "BUTTON", "--state", "1", "--size", "114x27",
                   "--parent-color", "0x5284A9", "--out", out})
                  .first,
              0);
    const QImage picture(out);
    EXPECT_EQ(picture.size(), QSize(114, 27));
    EXPECT_FALSE(picture.hasAlphaChannel());
    // The middle of a hot button: the hot gradient over the parent colour.
    EXPECT_NE(picture.pixel(57, 13) & 0xFFFFFF, 0xA98452u);

    EXPECT_EQ(run({"render", "--internal", "NOSUCH", "--size", "10x10", "--out", out}),
              std::make_pair(1, QString("The skin has no section \"NOSUCH\"")));
    EXPECT_EQ(run({"render", "--internal", "BUTTON", "--size", "10", "--out", out}).first, 1);
    EXPECT_EQ(run({"render", "--internal", "--all", "--out", dir.filePath("all")}).first, 0);
    EXPECT_TRUE(QFile::exists(dir.filePath("all/FORM-state0-114x27.png")));
}

} // namespace

namespace {

// Inside a rounded outline the section's own fill shows, never what lies
// under the control: only the pixels cut off outside the corners are the
// parent's. (The hot menu item once showed the parent in four specks
// inside its corners.)
TEST(WoodSkin, RoundedCornersShowTheParentOnlyOutsideTheOutline) {
    QTemporaryDir dir;
    const QString tool = QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin");
    constexpr QRgb kParent = 0x01FF02; // a colour the skin never uses
    const struct {
        const char* Section;
        int State;
        QSize Size;
        int Outline; // how far the rounded outline reaches in from the sides
    } cases[] = {
        {"MENUITEM", 1, {114, 22}, 3},    {"MENUITEM", 2, {114, 22}, 3},
        {"BUTTON", 1, {114, 27}, 3},      {"BUTTON", 2, {114, 27}, 3},
        {"BUTTON_HUGE", 1, {200, 80}, 6}, {"FORMTITLE", 0, {200, 27}, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.Section) + " state " + std::to_string(c.State));
        const QString out = dir.filePath("section.png");
        QProcess p;
        p.start(tool, {"render", "--internal", c.Section, "--state", QString::number(c.State),
                       "--size", QStringLiteral("%1x%2").arg(c.Size.width()).arg(c.Size.height()),
                       "--parent-color", "0x02FF01", "--out", out});
        ASSERT_TRUE(p.waitForFinished(60000));
        ASSERT_EQ(p.exitCode(), 0);
        const QImage picture(out);
        ASSERT_EQ(picture.size(), c.Size);
        // The parent shows at the very corner, so the check can see it.
        EXPECT_EQ(picture.pixel(0, 0) & 0xFFFFFF, kParent);
        int parentPixels = 0;
        for (int y = c.Outline; y < picture.height() - c.Outline; ++y)
            for (int x = c.Outline; x < picture.width() - c.Outline; ++x)
                parentPixels += (picture.pixel(x, y) & 0xFFFFFF) == kParent;
        EXPECT_EQ(parentPixels, 0);
    }
}

} // namespace
