#include "skin/data/SkinSections.h"
#include "platform/Colors.h"
#include "skin/data/SkinPackage.h"

#include "support/Printers.h"
#include "support/SkinValues.h"
#include <functional>
#include <gtest/gtest.h>
#include <set>

using namespace skin;
using testing_support::SkinErrorOf;
using testing_support::Step;

namespace {

const char* kOptions =
    "; a small skin\r\n"
    "[GLOBALINFO]\r\n"
    "VERSION = 6.5\r\n"
    "COLOR=5407913\r\n"
    "SHADOW1OFFSET=1\r\n"
    "BORDERWIDTH=nonsense\r\n"
    "AUTHOR=\xCC\xE0\xF1\xF2\xE5\xF0\r\n" // "Мастер" in the 8-bit code page
    "\r\n"
    "[EDIT]\r\n"
    "COLOR=8500947\r\n"
    "HOTCOLOR=8500947\r\n"
    "STATES=1\r\n"
    "[COMBOBOX]\r\n"
    "PARENTCLASS=EDIT\r\n"
    "[BUTTON]\r\n"
    "COLOR=11394299\r\n"
    "HOTCOLOR=5473964\r\n"
    "TRANSPARENCY=100\r\n"
    "HOTTRANSPARENCY=79\r\n"
    "SHOWFOCUS=TRUE\r\n"
    "FADINGENABLED=true\r\n"
    "FADINGITERATIONS=20\r\n"
    "GRADIENTPERCENT=0\r\n"
    "GRADIENTDATA=N/A\r\n"
    "HOTGRADIENTPERCENT=100\r\n"
    "HOTGRADIENTDATA=0;4639743;97;0;0;4639743;4639743;0;0;0\r\n"
    "[PANEL]\r\n"
    "GRADIENTPERCENT=50\r\n"
    "IMAGEPERCENT=50\r\n"
    "GRADIENTDATA=9620190;5605550;51;0;0;5605550;5539500;46;0;0;5539500;5539500;0;0;0\r\n"
    "[SEVEN]\r\n"
    "GRADIENTPERCENT=40\r\n"
    "GRADIENTDATA=1;2;300;1;0;6;7\r\n"
    "[PLAIN]\r\n"
    "GRADIENTPERCENT=40\r\n"
    "COLOR=$FF000005\r\n"
    "GCOL=0x0000FF\r\n"
    "GSIZE=260\r\n"
    "[Z]\r\n"
    "TRANSPARENCY=40\r\n"
    "[Y]\r\n"
    "PARENTCLASS=Z\r\n"
    "TRANSPARENCY=-1\r\n"
    "GRADIENTDATA=?\r\n"
    "[X]\r\n"
    "PARENTCLASS=Y\r\n"
    "[SELF]\r\n"
    "PARENTCLASS=SELF\r\n"
    "[A]\r\n"
    "PARENTCLASS=B\r\n"
    "[B]\r\n"
    "PARENTCLASS=A\r\n"
    "[EDIT]\r\n"
    "COLOR=1\r\n";

const TIniFile& Ini() {
    static const TIniFile ini = TIniFile::FromBytes(kOptions);
    return ini;
}

const TsGeneralData& Section(const TsGeneralDataArray& table, const QString& name) {
    for (const TsGeneralData& d : table)
        if (d.SectionName == name)
            return d;
    throw std::runtime_error("no section " + name.toStdString());
}

} // namespace

TEST(Options, DialectAndIntegers) {
    EXPECT_EQ(Ini().Sections().size(), 14);
    EXPECT_EQ(Ini().Sections().count("EDIT"), 2); // both listed, reads go to the first
    EXPECT_EQ(Ini().ReadInteger("EDIT", "COLOR", 0), 8500947);
    EXPECT_EQ(Ini().ReadString("GLOBALINFO", "VERSION", ""), "6.5");
    EXPECT_EQ(Ini().ReadString("GLOBALINFO", "version", "none"), "none"); // exact case
    struct Row {
        const char* text;
        std::optional<qint32> value;
    } rows[] = {{"12", 12},
                {"-7", -7},
                {"$FF", 255},
                {"0x10", 16},
                {"0XfF", 255},
                {"$FF000005", qint32(0xFF000005)},
                {"N/A", std::nullopt},
                {"", std::nullopt},
                {"1.5", std::nullopt},
                {"99999999999", std::nullopt},
                {"$", std::nullopt},
                {"12a", std::nullopt}};
    for (const Row& row : rows)
        EXPECT_EQ(ParseInteger(row.text), row.value) << row.text;
    EXPECT_EQ(SkinErrorOf([] { StrictInteger("N/A"); }), "''N/A'' is not a valid integer value");
}

TEST(Options, TextEncodings) {
    const QByteArray cp1251 = "[S]\r\nK=\xD0\xF3\xED\xE0\r\n";
    EXPECT_EQ(TIniFile::FromBytes(cp1251).ReadString("S", "K", ""), "Руна");
    EXPECT_EQ(TIniFile::FromBytes("\xEF\xBB\xBF[S]\nK=Руна").ReadString("S", "K", ""), "Руна");
    const QString text = "[S]\rK=Руна";
    QByteArray utf16("\xFF\xFE");
    utf16.append(reinterpret_cast<const char*>(text.utf16()), text.size() * 2);
    EXPECT_EQ(TIniFile::FromBytes(utf16).ReadString("S", "K", ""), "Руна");
}

TEST(Options, GlobalData) {
    TsSkinData data;
    LoadGlobalData(Ini(), data);
    EXPECT_DOUBLE_EQ(data.Version, 6.5);
    EXPECT_EQ(data.Author, "Мастер");
    EXPECT_EQ(data.Shadow1Offset, 1);
    EXPECT_EQ(data.Shadow1Blur, -1);
    EXPECT_EQ(data.BorderWidth, 4); // lenient: not an integer counts as absent
    EXPECT_EQ(data.TitleHeight, 30);
    EXPECT_EQ(data.MaxHeight, 30);
    EXPECT_EQ(data.FormOffset, 8);
    // A strict key that is not an integer ends the load.
    const TIniFile bad = TIniFile::FromText("[GLOBALINFO]\nSHADOW1BLUR=soft");
    EXPECT_EQ(SkinErrorOf([&] {
                  TsSkinData d;
                  LoadGlobalData(bad, d);
              }),
              "''soft'' is not a valid integer value");
    // Sixteen-bit fields keep the low 16 bits.
    TsSkinData wide;
    LoadGlobalData(TIniFile::FromText("[GLOBALINFO]\nTITLEHEIGHT=65537\nMAXHEIGHT=0"), wide);
    EXPECT_EQ(wide.TitleHeight, 1);
    EXPECT_EQ(wide.MaxHeight, 1);
}

TEST(Options, SectionsAndTheirLooks) {
    const TsGeneralDataArray table = LoadSections(Ini());
    ASSERT_EQ(table.size(), 14u);
    EXPECT_EQ(table[0].SectionName, "GLOBALINFO");

    const TsGeneralData& combo = Section(table, "COMBOBOX");
    EXPECT_EQ(combo.ParentClass, "EDIT");
    EXPECT_EQ(combo.Color, SkinColor{8500947});
    EXPECT_EQ(combo.StateCount, 1);
    EXPECT_EQ(combo.StateData[1], combo.StateData[0]);
    EXPECT_EQ(combo.HotColor, SkinColor{0}); // hot fields stay empty with one state

    const TsGeneralData& button = Section(table, "BUTTON");
    EXPECT_EQ(button.StateCount, 4);
    EXPECT_EQ(button.StateData[1].Color, SkinColor{5473964});
    EXPECT_EQ(button.StateData[1].Transparency, 79);
    EXPECT_EQ(button.StateData[1].FontColors.Text, SkinColor{0});
    EXPECT_EQ(button.StateData[1].FontColors.Left, kNoSkinColor);
    EXPECT_TRUE(button.Gradient.empty());
    EXPECT_EQ(button.GradientText, "N/A");
    EXPECT_TRUE(button.SectionShowFocus);
    EXPECT_TRUE(button.FadingEnabled);
    EXPECT_EQ(button.FadingIterations, 20);
    EXPECT_EQ(button.StateData[1].GradientPercent, 100);
    EXPECT_EQ(button.HotGradient, (TsGradArray{Step(0, 4639743, 97), Step(4639743, 4639743, 0)}));
    EXPECT_EQ(button.StateData[0].Transparency, 100);

    const TsGeneralData& panel = Section(table, "PANEL");
    EXPECT_EQ(panel.Gradient, (TsGradArray{Step(9620190, 5605550, 51), Step(5605550, 5539500, 46),
                                           Step(5539500, 5539500, 0)}));
    EXPECT_EQ(panel.StateData[0].GradientPercent, 50);
    EXPECT_EQ(panel.StateData[0].ImagePercent, 50);
    EXPECT_EQ(panel.FadingIterations, 5);

    const TsGeneralData& seven = Section(table, "SEVEN");
    EXPECT_EQ(seven.Gradient, (TsGradArray{Step(1, 2, 100, 1)})); // percent clamped

    const TsGeneralData& plain = Section(table, "PLAIN");
    EXPECT_EQ(plain.GradientText, " ");
    EXPECT_EQ(plain.GradientPercent, 0);
    EXPECT_EQ(plain.Color, SkinColor(platform::GetSysColor(platform::COLOR_WINDOW)));
    EXPECT_EQ(plain.GlowColor, SkinColor{255});
    EXPECT_EQ(plain.GlowSize, 4); // low 8 bits of 260
    EXPECT_EQ(plain.StateData[0].Color, plain.Color);
    EXPECT_EQ(plain.CornerTopLeft, -1);
    EXPECT_EQ(plain.BordersMask, -1);
}

TEST(Options, InheritanceFollowsParentsSkipsMarkersAndStopsLoops) {
    const TsGeneralDataArray table = LoadSections(Ini());
    EXPECT_EQ(Section(table, "X").Transparency, 40); // through Y's explicit -1 to Z
    EXPECT_EQ(Section(table, "Y").Transparency, 40);
    EXPECT_EQ(Section(table, "X").GradientText, " "); // "?" counts as lacking
    EXPECT_EQ(Section(table, "SELF").Color, SkinColor{16777215});
    EXPECT_EQ(Section(table, "A").Color, SkinColor{16777215}); // A <-> B: default, no endless loop
    EXPECT_EQ(ReadInheritedInt(Ini(), "B", "TRANSPARENCY", 7), 7);
    EXPECT_EQ(ReadInheritedString(Ini(), "COMBOBOX", "HOTCOLOR", "d"), "8500947");
    EXPECT_EQ(ReadInheritedString(Ini(), "MISSING", "COLOR", "d"), "d");
}

TEST(Options, BadGradientEndsTheLoad) {
    EXPECT_EQ(SkinErrorOf([] { LoadSections(TIniFile::FromText("[S]\nGRADIENTDATA=1;x;3;4;5")); }),
              "''x'' is not a valid integer value");
    EXPECT_TRUE(ParseGradient("1;2;3;4").empty());
    EXPECT_EQ(ParseGradient("-5;-6;-1;2;9").front(), Step(0, 0, 0, 2));
}

TEST(Options, CommonSectionsOverlayTheTable) {
    TsGeneralDataArray table = LoadSections(Ini());
    const size_t before = table.size();
    MergeCommonSections(table, Ini(),
                        "[BUTTON]\n HOTCOLOR = 255 \nCOLOR=-1\n[NEWBTN]\nPARENTCLASS=button\n"
                        "TRANSPARENCY=12\n[FRESH]\nCOLOR=7\n");
    const TsGeneralData& button = Section(table, "BUTTON");
    EXPECT_EQ(button.StateData[1].Color, SkinColor{255});
    EXPECT_EQ(button.Color, SkinColor{11394299}); // -1 keeps the value
    const TsGeneralData& added = Section(table, "NEWBTN");
    EXPECT_EQ(added.ParentClass, "BUTTON");
    EXPECT_EQ(added.Transparency, 12);
    EXPECT_EQ(added.HotColor, SkinColor{255}); // from its base record
    // NEWBTN has no STATES in the skin: four states, so a hot look of its own.
    EXPECT_EQ(added.StateData[1].Color, SkinColor{255});
    const TsGeneralData& fresh = Section(table, "FRESH");
    EXPECT_EQ(fresh.Color, SkinColor{7});
    EXPECT_EQ(fresh.FadingIterations, 5);
    EXPECT_EQ(table.size(), before + 2);
    MergeCommonSections(table, Ini(), QString());
    EXPECT_EQ(table.size(), before + 2);
}

TEST(Options, TheKeyTableCoversEveryKeyOnce) {
    std::set<std::string> keys;
    for (const SectionKey& k : SectionKeys()) {
        EXPECT_TRUE(keys.insert(k.Key).second) << k.Key;
        EXPECT_TRUE(k.IntField || k.ColorField || k.BoolField || k.TextField || k.LowByte) << k.Key;
    }
    EXPECT_EQ(keys.size(), 32u);
    // Every key's default reaches a record built from an empty section.
    const TsGeneralData d = LoadSections(TIniFile::FromText("[EMPTY]")).front();
    EXPECT_EQ(d.Color, SkinColor{16777215});
    const TsFontColors textOnly{SkinColor{0}, kNoSkinColor, kNoSkinColor, kNoSkinColor,
                                kNoSkinColor};
    EXPECT_EQ(d.FontColors, textOnly);
    EXPECT_EQ(d.HotFontColors, textOnly);
    EXPECT_EQ(d.HotColor, SkinColor{16777215});
    EXPECT_EQ(d.HotGlowColor, SkinColor{16777215});
    EXPECT_EQ(d.GlowColor, SkinColor{16777215});
    EXPECT_EQ(d.StateCount, 4);
    EXPECT_EQ(d.HotGradientText, QString());
}
