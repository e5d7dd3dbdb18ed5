#include "skin/data/SkinPackage.h"

#include "support/Files.h"
#include "support/Packages.h"
#include "support/Printers.h"
#include "support/SkinValues.h"
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include <zlib.h>

using namespace skin;
using testing_support::Encoded;
using testing_support::Int32;
using testing_support::Package;
using testing_support::ReadFile;
using testing_support::Record;
using testing_support::WriteFile;
using testing_support::Zlib;

namespace {

std::string ErrorOf(const QByteArray& package) {
    return testing_support::SkinErrorOf([&] { UnpackPackage(package); });
}

} // namespace

TEST(SkinPackage, ReadsMembersInOrderAndTheOptionsInAnyCase) {
    const QByteArray options = "[GLOBALINFO]\r\nVERSION=6.5\r\n";
    const QByteArray records =
        Record("ButtonHuge.bmp", QByteArray(3000, 'b')) + Record("options.DAT", options) +
        Record("Master.BMP", QByteArray(70000, 'm')) + Record("Bg_b.jpg", "jpeg bytes");
    const TacSkinConvertor skin = UnpackPackage(Package(records, 4) + "trailing bytes");
    ASSERT_TRUE(skin.OptionsText);
    EXPECT_EQ(*skin.OptionsText, options);
    ASSERT_EQ(skin.Members.size(), 3u);
    EXPECT_EQ(skin.Members[0].MemberName, "ButtonHuge.bmp");
    EXPECT_EQ(skin.Members[1].MemberData, QByteArray(70000, 'm'));
    EXPECT_EQ(skin.Members[2].MemberData, "jpeg bytes");
    EXPECT_EQ(skin.Members[0].IsBitmap, true);
    EXPECT_EQ(skin.Members[1].IsBitmap, true);
    EXPECT_EQ(skin.Members[2].IsBitmap, false);
    // Members are found by their upper-case name, compared exactly.
    EXPECT_EQ(skin.FindMember("MASTER.BMP"), &skin.Members[1]);
    EXPECT_EQ(skin.FindMember("Master.BMP"), nullptr);
    EXPECT_EQ(skin.FindMember("BG_B.JPG"), &skin.Members[2]);
}

TEST(SkinPackage, ALaterOptionsMemberReplacesAnEarlierOne) {
    const TacSkinConvertor skin =
        UnpackPackage(Package(Record("Options.dat", "first") + Record("OPTIONS.DAT", "second"), 2));
    EXPECT_EQ(*skin.OptionsText, "second");
    EXPECT_TRUE(skin.Members.empty());
}

TEST(SkinPackage, ZeroOrNegativeCountGivesAnEmptySkin) {
    for (qint32 count : {0, -3}) {
        const TacSkinConvertor skin = UnpackPackage(Package(Record("x.bmp", "x"), count));
        EXPECT_FALSE(skin.OptionsText);
        EXPECT_TRUE(skin.Members.empty());
    }
}

TEST(SkinPackage, WriterAndReaderAgree) {
    TacImageItems members{{"Master.bmp", true, QByteArray(1000, 'x')}, {"a.jpg", false, "j"}};
    const struct {
        PackCompression compression;
        QByteArray zlibHeader;
        bool smallerThanMembers;
    } rows[] = {
        {PackCompression::Default, QByteArray("\x78\x9C", 2), true},
        {PackCompression::Stored, QByteArray("\x78\x01", 2), false},
    };
    for (const auto& row : rows) {
        const QByteArray bytes = PackPackage(QByteArray("opts"), members, row.compression);
        EXPECT_EQ(bytes.mid(27, 2), row.zlibHeader);
        EXPECT_EQ(bytes.size() < 1000, row.smallerThanMembers) << bytes.size();
        const TacSkinConvertor skin = UnpackPackage(bytes);
        EXPECT_EQ(*skin.OptionsText, "opts");
        ASSERT_EQ(skin.Members.size(), 2u);
        EXPECT_EQ(skin.Members[0].MemberData, members[0].MemberData);
        EXPECT_EQ(skin.Members[1].MemberName, "a.jpg");
        EXPECT_EQ(skin.Members[1].MemberData, "j");
    }
}

TEST(SkinPackage, BadPackagesAreRefusedWithAClearMessage) {
    const QByteArray good = Record("a.bmp", QByteArray(500, 'a'));
    QByteArray corrupt = good;
    corrupt[good.size() - 10] = static_cast<char>(corrupt[good.size() - 10] ^ 0x55);
    struct Row {
        const char* what;
        QByteArray bytes;
        std::string message;
    } rows[] = {
        {"magic in another case", "aSZF" + Int32(1) + good,
         "Loaded data is not a packed skin file"},
        {"too short for a magic", "ASz", "Loaded data is not a packed skin file"},
        {"no count", "ASzf", "Skin package is truncated"},
        {"more members than records", Package(good, 2), "Skin package is truncated"},
        {"ends inside a name", Package(Int32(10) + "abc", 1), "Skin package is truncated"},
        {"negative name length", Package(Int32(-1), 1), "Skin package member name is too long"},
        {"huge name length", Package(Int32(0x7FFFFFFF), 1), "Skin package member name is too long"},
        {"negative size", Package(Int32(1) + "a" + Int32(-5), 1),
         "Skin package member size is invalid"},
        {"huge size", Package(Int32(1) + "a" + Int32(0x7FFFFFF0), 1),
         "Skin package member size is invalid"},
        {"stream shorter than declared", Package(Record("a", "abc", 10), 1), "Stream read error"},
        {"stream longer than declared", Package(Record("a", QByteArray(100000, 'z'), 10), 1),
         "Skin package member is larger than it declares"},
        {"stream cut off", Package(good.left(good.size() - 5), 1), "Stream read error"},
        {"corrupt stream", Package(corrupt, 1), "incorrect data check"},
        {"not zlib at all", Package(Int32(1) + "a" + Int32(4) + "\xFF\xFF\xFF\xFF", 1),
         "incorrect header check"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(ErrorOf(row.bytes), row.message) << row.what;
}

TEST(SkinPackage, AMissingFileIsNoSkinAndNoError) {
    QTemporaryDir dir;
    EXPECT_FALSE(UnpackPackageFile(dir.filePath("Wood.asz")));
    ASSERT_TRUE(WriteFile(dir.filePath("Wood.asz"), PackPackage(QByteArray("o"), {})));
    const auto skin = UnpackPackageFile(dir.filePath("Wood.asz"));
    ASSERT_TRUE(skin);
    EXPECT_EQ(*skin->OptionsText, "o");
}

TEST(SkinPackage, DirectoryTexts) {
    struct Row {
        const char* in;
        const char* out;
    } separators[] = {{"", ""},
                      {"c", "c:\\"},
                      {"c:\\Skins\\", "c:\\Skins\\"},
                      {"c:\\Skins/", "c:\\Skins\\"},
                      {"c:\\Skins", "c:\\Skins\\"}};
    for (const Row& row : separators)
        EXPECT_EQ(WithSeparator(row.in), row.out) << row.in;
    const QString p = "/opt/charolist/bin/";
    struct Resolve {
        const char* in;
        QString out;
    } resolves[] = {
        {"Skins", p + "Skins"},
        {"Skins\\Wood", p + "Skins\\Wood"},
        {".\\Skins", p + "Skins"},
        {"./Skins", p + "Skins"},
        {"..\\Skins", "/opt/charolist/Skins"},
        {"c:\\Skins", "c:\\Skins"},
        {"\\\\server\\Skins", "\\\\server\\Skins"},
        {"/srv/skins", "/srv/skins"}, // a local absolute path of this platform
    };
    for (const Resolve& row : resolves)
        EXPECT_EQ(ResolveSkinDirectory(row.in, p), row.out) << row.in;
}

TEST(SkinTool, PackThenUnpackGivesTheFilesBackAndNoNameLeavesTheFolder) {
    QTemporaryDir dir;
    QDir(dir.path()).mkdir("in");
    auto write = [&](const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(WriteFile(dir.filePath(name), bytes));
    };
    write("in/OPTIONS.DAT", "[GLOBALINFO]\r\n");
    write("in/Master.bmp", QByteArray(4000, 'm'));
    write("in/Bg_b.jpg", "jpeg");
    const QString tool = QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin");
    auto run = [&](const QStringList& args) {
        QProcess p;
        p.start(tool, args);
        p.waitForFinished(20000);
        return p.exitCode();
    };
    ASSERT_EQ(run({"pack", dir.filePath("in"), dir.filePath("a.asz"), "Master.bmp", "Bg_b.jpg"}),
              0);
    ASSERT_EQ(run({"unpack", dir.filePath("a.asz"), dir.filePath("out")}), 0);
    EXPECT_EQ(QDir(dir.filePath("out")).entryList(QDir::Files),
              (QStringList{"Bg_b.jpg", "Master.bmp", "Options.dat"}));
    EXPECT_EQ(ReadFile(dir.filePath("out/Master.bmp")), QByteArray(4000, 'm'));

    write("evil.asz", PackPackage(std::nullopt, {{"../escaped.bmp", true, "x"}}));
    EXPECT_EQ(run({"unpack", dir.filePath("evil.asz"), dir.filePath("out2")}), 1);
    EXPECT_FALSE(QFile::exists(dir.filePath("escaped.bmp")));
    EXPECT_EQ(run({"frobnicate"}), 2);
}

TEST(SkinTool, InfoCountsWhatASkinHolds) {
    QTemporaryDir dir;
    auto write = [&](const QString& name, const QByteArray& bytes) {
        ASSERT_TRUE(WriteFile(dir.filePath(name), bytes));
    };
    QImage master(20, 10, QImage::Format_RGB32);
    master.fill(Qt::gray);
    write("Master.bmp", Encoded(master, "BMP"));
    write("options.dat", "[GLOBALINFO]\r\nVERSION=6.5\r\nMASTERBITMAP=MASTER.BMP\r\n"
                         "G=@0000@0000@0002@0002@1@0\r\n[BUTTON]\r\n"
                         "BORDERSMASK=^0000^0000^0009^0009^0001^0001^0001^0001^1^0^1^1\r\n"
                         "PATTERN=~0000~0000~0009~0009~00~0\r\n");
    QProcess p;
    p.start(QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin"), {"info", dir.path()});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_EQ(QString::fromUtf8(p.readAllStandardOutput()),
              "SkinInfo: 6.5\nSections: 2\nMasks: 3\nMasks by kind: 0=1 1=1 2=1 3=0 4=0\n"
              "Patterns: 0\nMasterImage: 20x10\n");

    // The dump: the records' fields in their order, numbers as numbers.
    p.start(QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin"), {"dump", dir.path()});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    const QByteArray json = p.readAllStandardOutput();
    EXPECT_TRUE(json.contains(
        R"("Sections":[{"ParentClass":"","SectionName":"GLOBALINFO","StateData":[{"Color":16777215,"FontColors":{"Text":0,"Left":-1)"))
        << json.left(300).toStdString();
    const QJsonObject dump = QJsonDocument::fromJson(json).object();
    EXPECT_EQ(dump.keys(), (QStringList{"Masks", "Patterns", "Sections", "SkinData"}));
    EXPECT_EQ(dump["SkinData"]["Version"].toDouble(), 6.5);
    const QJsonObject button = dump["Sections"][1].toObject();
    EXPECT_EQ(button["SectionName"], "BUTTON");
    EXPECT_EQ(button["StateCount"], 4);
    EXPECT_EQ(button["BordersMask"], 1);
    EXPECT_EQ(button["StateData"].toArray().size(), 2);
    const QJsonObject border = dump["Masks"][1].toObject();
    EXPECT_EQ(border["Area"].toArray(), (QJsonArray{0, 0, 9, 9}));
    EXPECT_EQ(border["FrameWidth"], 9);
    EXPECT_EQ(border["LeftWidth"], 1);
    EXPECT_EQ(dump["Patterns"].toArray().size(), 0);

    write("options.dat", "[GLOBALINFO]\r\nSHADOW1BLUR=soft\r\n");
    p.start(QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin"), {"info", dir.path()});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_EQ(p.readAllStandardError().trimmed(), "''soft'' is not a valid integer value");
}
