#include "skin/data/SkinMasks.h"
#include "skin/data/SkinLookup.h"

#include "support/Files.h"
#include "support/Printers.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace skin;
using testing_support::Encoded;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

QImage Solid(int w, int h, QColor c) {
    QImage img(w, h, QImage::Format_RGB32);
    img.fill(c);
    return img;
}

const char* kOptions = "[GLOBALINFO]\r\n"
                       "MASTERBITMAP=MASTER.BMP\r\n"
                       "BOXCHECKED=@0013@0016@0043@0020@3@0\r\n"
                       "[EDIT]\r\n"
                       "BORDERSMASK=^0006^0006^0010^0010^0001^0001^0001^0001^1^0^1^1\r\n"
                       "[COMBOBOX]\r\n"
                       "PARENTCLASS=EDIT\r\n"
                       "[BUTTON]\r\n"
                       "BORDERSMASK=^0000^0006^0063^0048^0008^0008^0008^0008^3^1^1^1\r\n"
                       "PATTERN=N/A\r\n"
                       "[SCROLLBAR2H]\r\n"
                       "BORDERSMASK=^0002^0005^0010^0013^0000^0001^0001^0001^1^0^1^1\r\n"
                       "[GRIPH]\r\n"
                       "PATTERN=~0054~0013~0060~0015~10~1\r\n"
                       "[PANEL]\r\n"
                       "PATTERN=~0000~0002~0060~0040~00\r\n"
                       "IMGTOPLEFT=@0000@0000@0004@0004@1@0\r\n"
                       "[COMPUTED]\r\n"
                       "BORDERSMASK=^0010^0010^0040^0022^0000^0000^0000^0000^1^0^1^0\r\n"
                       "[UNIFORM]\r\n"
                       "BORDERSMASK=^0010^0010^0040^0022^0000^0000^0000^0000^1^0^1^2\r\n"
                       "[BUTTON_HUGE]\r\n"
                       "BORDERSMASK=!OWN.BMP!3!1!0!0032!0032!0032!0032\r\n"
                       "[LOWER]\r\n"
                       "BORDERSMASK=!own.bmp!3!1!0\r\n"
                       "[SHEET]\r\n"
                       "GLYPHMASK=!SHEET.PNG!1!0!7\r\n"
                       "[PLAIN]\r\n"
                       "BORDERSMASK=plain.bmp\r\n"
                       "OLD=#1#2#3\r\n"
                       "MISSING=!NONE.BMP!1!0!0\r\n"
                       "[FORM]\r\n"
                       "HOTPATTERN=BG_SMALL.JPG\r\n"
                       "PATTERN=bg_big.jpg\r\n";

// A tiny skin with every kind of picture, as a package.
TacSkinConvertor Package() {
    QImage master = Solid(60, 40, QColor(90, 60, 30));
    master.setPixel(5, 5, qRgb(255, 0, 255));
    QImage own(96, 64, QImage::Format_Indexed8);
    own.setColorTable({qRgb(10, 20, 30), qRgb(255, 0, 255)});
    own.fill(0);
    QImage sheet(4, 2, QImage::Format_ARGB32);
    sheet.fill(QColor(255, 255, 255, 0));
    sheet.setPixel(0, 0, qRgba(200, 100, 50, 255));
    TacImageItems members{
        {"Master.bmp", true, Encoded(master, "BMP")},
        {"Own.bmp", true, Encoded(own, "BMP")},
        {"Sheet.png", false, Encoded(sheet, "PNG")},
        {"Plain.bmp", true, Encoded(Solid(30, 12, Qt::gray), "BMP")},
        {"Bg_small.jpg", false, Encoded(Solid(999, 900, Qt::darkGreen), "JPG")},
        {"Bg_big.jpg", false, Encoded(Solid(1000, 900, Qt::darkGreen), "JPG")},
    };
    return UnpackPackage(PackPackage(QByteArray(kOptions), members));
}

struct Loaded {
    TIniFile Ini;
    TsGeneralDataArray Sections;
    TsSkinImages Images;
};

Loaded Load(const TacSkinConvertor& package) {
    Loaded l{TIniFile::FromBytes(*package.OptionsText), {}, {}};
    const PictureSource source{&package, QString()};
    LoadMasks(l.Ini, source, l.Images);
    LoadPatterns(l.Ini, source, l.Images);
    l.Sections = LoadSections(l.Ini);
    FillSectionMasks(l.Sections, l.Images);
    return l;
}

int Mask(const Loaded& l, const char* section, const char* key) {
    return SkinLookup(l.Sections, l.Images).MaskExact(section, key);
}

} // namespace

TEST(Masks, NotationsGiveTheirRecords) {
    const TacSkinConvertor package = Package();
    const Loaded l = Load(package);
    const auto& masks = l.Images.Masks;
    // Glyph, border and texture areas of the master image, in text order.
    ASSERT_FALSE(masks.empty());
    EXPECT_EQ(masks[0].SectionName, "GLOBALINFO");
    EXPECT_EQ(masks[0].KeyName, "BOXCHECKED");
    EXPECT_EQ(masks[0].Area, (TsArea{13, 16, 43, 20}));
    EXPECT_EQ(masks[0].FrameCount, 3);
    EXPECT_EQ(masks[0].ImageKind, 2);
    EXPECT_FALSE(masks[0].OwnImage);

    const TsMaskData& button = masks[Mask(l, "BUTTON", "BORDERSMASK")];
    EXPECT_EQ(button.Area, (TsArea{0, 6, 63, 48}));
    EXPECT_EQ(button.LeftWidth, 8);
    EXPECT_EQ(button.BottomWidth, 8);
    EXPECT_EQ(button.FrameCount, 3);
    EXPECT_EQ(button.MaskKind, 1);
    EXPECT_EQ(button.FillMode, 1);
    EXPECT_EQ(button.UniformWidth, 1);
    EXPECT_EQ(button.FrameWidth(), 21);
    EXPECT_EQ(button.FrameHeight(), 21);
    EXPECT_EQ(Mask(l, "BUTTON", "PATTERN"), -1); // "N/A"

    const int bar = Mask(l, "SCROLLBAR2H", "BORDERSMASK");
    EXPECT_EQ(masks[bar].LeftWidth, 0);         // kept as written
    EXPECT_EQ(MaskLeftWidth(l.Images, bar), 1); // the uniform width
    EXPECT_EQ(MaskTopWidth(l.Images, bar), 1);

    const TsMaskData& griph = masks[Mask(l, "GRIPH", "PATTERN")];
    EXPECT_EQ(griph.FillMode, 10);
    EXPECT_EQ(griph.MaskKind, 1);
    EXPECT_EQ(griph.ImageKind, 1);
    EXPECT_EQ(masks[Mask(l, "PANEL", "PATTERN")].MaskKind, 0); // short value: no mask kind

    const TsMaskData& computed = masks[Mask(l, "COMPUTED", "BORDERSMASK")];
    EXPECT_EQ(computed.LeftWidth, 10);
    EXPECT_EQ(computed.RightWidth, 10);
    EXPECT_EQ(computed.TopWidth, 4);
    EXPECT_EQ(computed.BottomWidth, 4);
    const TsMaskData& uniform = masks[Mask(l, "UNIFORM", "BORDERSMASK")];
    EXPECT_EQ(uniform.LeftWidth, 2);
    EXPECT_EQ(uniform.TopWidth, 2);
}

TEST(Masks, PicturesOfTheirOwn) {
    const TacSkinConvertor package = Package();
    const Loaded l = Load(package);
    const TsMaskData& huge = l.Images.Masks[Mask(l, "BUTTON_HUGE", "BORDERSMASK")];
    ASSERT_TRUE(huge.OwnImage);
    EXPECT_EQ(huge.Area, (TsArea{0, 0, 96, 64}));
    EXPECT_EQ(huge.LeftWidth, 32);
    EXPECT_EQ(huge.FrameCount, 3);
    EXPECT_EQ(huge.MaskKind, 1);
    EXPECT_EQ(huge.ImageKind, 0);
    EXPECT_EQ(huge.FillMode, 4);
    EXPECT_EQ(huge.OwnImage->ScanLine(0)[0], 0xFF0A141Eu); // opaque
    EXPECT_EQ(Mask(l, "LOWER", "BORDERSMASK"), -1);        // a lower-case reference finds no member
    EXPECT_EQ(Mask(l, "PLAIN", "MISSING"), -1);            // a missing picture is no error
    EXPECT_EQ(Mask(l, "PLAIN", "OLD"), -1);                // the older notation is skipped

    const TsMaskData& sheet = l.Images.Masks[Mask(l, "SHEET", "GLYPHMASK")];
    EXPECT_EQ(sheet.ImageKind, 4); // above 4 becomes 4
    EXPECT_EQ(sheet.FillMode, 4);
    EXPECT_EQ(sheet.OwnImage->ScanLine(0)[1], 0u); // white and clear becomes all zeros
    EXPECT_EQ(sheet.OwnImage->ScanLine(0)[0], 0xFFC86432u);
    EXPECT_EQ(sheet.LeftWidth, 1); // four words: computed, 4 / 3

    const TsMaskData& plain = l.Images.Masks[Mask(l, "PLAIN", "BORDERSMASK")];
    EXPECT_EQ(plain.FrameCount, 3);
    EXPECT_EQ(plain.LeftWidth, 3); // 30 / (3 x 3)
    EXPECT_EQ(plain.TopWidth, 2);  // 12 / (2 x 3)
}

TEST(Masks, MasterImageAndJpegBackgrounds) {
    const TacSkinConvertor package = Package();
    const Loaded l = Load(package);
    const platform::Bitmap& master = l.Images.MasterImage;
    ASSERT_EQ(master.Width(), 60);
    EXPECT_EQ(master.ScanLine(5)[5], 0x00FF00FFu); // magenta stays see-through
    EXPECT_EQ(master.ScanLine(0)[0] >> 24, 255u);
    // 999 x 900 is below 900000 pixels: a texture with upper-case names.
    const int small = Mask(l, "FORM", "HOTPATTERN");
    ASSERT_GE(small, 0);
    EXPECT_EQ(l.Images.Masks[small].ImageKind, 1);
    EXPECT_EQ(l.Images.Masks[small].Area, TsArea{});
    EXPECT_EQ(small, int(l.Images.Masks.size()) - 1); // appended after the notations
    // 1000 x 900 stays a compressed pattern.
    ASSERT_EQ(l.Images.Patterns.size(), 1u);
    EXPECT_EQ(l.Images.Patterns[0].KeyName, "PATTERN");
    EXPECT_EQ(l.Images.Patterns[0].Width, 1000);
    const int form = SkinLookup(l.Sections, l.Images).Section("FORM");
    EXPECT_EQ(SkinLookup(l.Sections, l.Images).Pattern(form, "FORM", "PATTERN"), 0);
    EXPECT_EQ(SkinLookup(l.Sections, l.Images).Pattern(form, "FORM", "HOTPATTERN"), -1);
}

TEST(Masks, LookupsFollowParents) {
    const TacSkinConvertor package = Package();
    const Loaded l = Load(package);
    const int combo = SkinLookup(l.Sections, l.Images).Section("COMBOBOX");
    const int edit = Mask(l, "EDIT", "BORDERSMASK");
    EXPECT_EQ(SkinLookup(l.Sections, l.Images).Mask(combo, "COMBOBOX", "BORDERSMASK"), edit);
    EXPECT_EQ(l.Sections[combo].BordersMask, edit);
    EXPECT_EQ(SkinLookup(l.Sections, l.Images).MaskExact("COMBOBOX", "BORDERSMASK"), -1);
    EXPECT_EQ(SkinLookup(l.Sections, l.Images).Mask(-1, "EDIT", "BORDERSMASK"), -1);
    EXPECT_EQ(SkinLookup(l.Sections, l.Images).Mask(combo, "", "BORDERSMASK"), -1);
    EXPECT_EQ(SkinLookup(l.Sections, l.Images).Texture(combo, "COMBOBOX", "BORDERSMASK"), -1);
    const int panel = SkinLookup(l.Sections, l.Images).Section("PANEL");
    EXPECT_EQ(l.Sections[panel].CornerTopLeft, Mask(l, "PANEL", "IMGTOPLEFT"));
    EXPECT_EQ(l.Sections[panel].CornerBottomRight, -1);
    EXPECT_EQ(l.Sections[0].BordersMask, -1); // GLOBALINFO is left alone
    EXPECT_TRUE(IsValidMask(l.Images, 0));
    EXPECT_FALSE(IsValidMask(l.Images, int(l.Images.Masks.size())));
    EXPECT_FALSE(IsValidMask(l.Images, -1));
    EXPECT_EQ(MaskLeftWidth(l.Images, -1), 0);
}

TEST(Masks, BadValuesAndPictures) {
    auto errorOf = [](const QByteArray& options, const TacImageItems& members) -> std::string {
        try {
            const TacSkinConvertor p = UnpackPackage(PackPackage(options, members));
            TsSkinImages images;
            LoadMasks(TIniFile::FromBytes(*p.OptionsText), PictureSource{&p, QString()}, images);
        } catch (const ESkinError& e) {
            return e.what();
        }
        return "(no error)";
    };
    EXPECT_EQ(errorOf("[S]\r\nK=^00x0^0006^0063^0048^0008^0008^0008^0008^3^1^1^1", {}),
              "''00x0'' is not a valid integer value");
    EXPECT_EQ(errorOf("[S]\r\nK=@0000@0000", {}), "'''' is not a valid integer value");
    EXPECT_EQ(errorOf("[S]\r\nK=!BROKEN.BMP!1!0!0", {{"Broken.bmp", true, "BM garbage"}}),
              "Invalid bitmap: not a BMP file");
}

TEST(Masks, FromAFolderNamesMatchWithoutCase) {
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(WriteFile(dir.filePath(name), bytes));
    };
    // The options write upper case; the files are named otherwise. An external
    // name in lower case is not taken at all (it must contain ".BMP").
    write("Options.dat", "[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n[S]\r\nK=!OWN.BMP!1!0!0\r\n"
                         "L=!own.bmp!1!0!0\r\n");
    write("Master.bmp", Encoded(Solid(8, 8, Qt::red), "BMP"));
    write("Own.BMP", Encoded(Solid(6, 6, Qt::blue), "BMP"));
    const TIniFile ini =
        TIniFile::FromBytes(*PictureSource{nullptr, dir.path()}.Load("OPTIONS.DAT"));
    TsSkinImages images;
    LoadMasks(ini, PictureSource{nullptr, dir.path()}, images);
    EXPECT_EQ(images.MasterImage.Width(), 8);
    ASSERT_EQ(images.Masks.size(), 1u);
    EXPECT_EQ(images.Masks[0].Area, (TsArea{0, 0, 6, 6}));
}

TEST(Masks, CommonSectionsTakeTheirJpegsAsPatternsFromTheFolder) {
    // Whatever their size: a small one too, which in the skin's own options
    // would be a texture.
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("Small.jpg"), Encoded(Solid(40, 30, Qt::darkGreen), "JPG")));
    const TIniFile common = TIniFile::FromText(
        "[GLOBALINFO]\r\n[EXTRA]\r\nPATTERN=small.jpg\r\nHOTPATTERN=SMALL.JPG\r\n");
    TsSkinImages images;
    LoadPatterns(TIniFile(), PictureSource{nullptr, dir.path()}, images, &common);
    ASSERT_EQ(images.Patterns.size(), 2u);
    EXPECT_EQ(images.Patterns[0].KeyName, "PATTERN");
    EXPECT_EQ(images.Patterns[1].Width, 40);
    EXPECT_EQ(images.Patterns[0].PatternImage, ReadFile(dir.filePath("Small.jpg")));
    EXPECT_TRUE(images.Masks.empty());
}
