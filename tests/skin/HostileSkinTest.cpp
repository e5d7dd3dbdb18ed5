// Skins made to hurt the readers: values far outside what any real skin
// holds. Each must be refused with a message or read in bounded time and
// memory; none may crash.
#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinModel.h"
#include "skin/data/SkinPackage.h"

#include "platform/Encoding.h"
#include "support/Files.h"
#include "support/Packages.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace skin;
using testing_support::Int32;
using testing_support::Package;
using testing_support::Record;
using testing_support::WriteFile;
using testing_support::Zlib;

namespace {

QByteArray U16(int v) {
    return Int32(v).left(2);
}

// An 8-bit run-length BMP; palette entry i is grey i, but entry 7 is red.
QByteArray Rle8Bmp(int width, int height, const QByteArray& runs) {
    QByteArray palette;
    for (int i = 0; i < 256; ++i)
        palette += i == 7 ? QByteArray("\0\0\xFF\0", 4) : QByteArray(3, char(i)) + '\0';
    const int pixelsAt = 14 + 40 + palette.size();
    return "BM" + Int32(pixelsAt + runs.size()) + Int32(0) + Int32(pixelsAt) + Int32(40) +
           Int32(width) + Int32(height) + U16(1) + U16(8) + Int32(1) + Int32(runs.size()) +
           Int32(0) + Int32(0) + Int32(0) + Int32(0) + palette + runs;
}

std::string ErrorOf(const std::function<void()>& f) {
    try {
        f();
    } catch (const ESkinError& e) {
        return e.what();
    }
    return "(no error)";
}

QByteArray Options(const QString& text) {
    return platform::ToAnsi(text);
}

} // namespace

TEST(HostileSkin, RunLengthDeltasCannotWrapTheColumnAndWriteOutsideThePicture) {
    // Deltas of 255 columns, more of them than fit in 31 bits, then a red run:
    // the column must not come back round to the picture (or before it).
    QByteArray runs;
    const int deltas = INT32_MAX / 255 + 2;
    runs.reserve(4 * deltas + 6);
    for (int i = 0; i < deltas; ++i)
        runs.append("\0\x02\xFF\0", 4);
    runs.append("\x0A\x07\0\x01", 4);
    const platform::Bitmap b = DecodeBmp(Rle8Bmp(4, 4, runs));
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 4; ++x)
            EXPECT_NE(b.ScanLine(y)[x] & 0xFFFFFF, 0xFF0000u) << x << "," << y;
}

TEST(HostileSkin, LongAndLoopingParentChainsLoadInLinearTime) {
    // A chain of 3,000 parents, a ring of 10,000 sections with no value, and a
    // small ring where one member has the value: inherited reads find what
    // the first walk from each section would find, and stop on loops.
    QString text = "[GLOBALINFO]\r\n[S0]\r\nCOLOR=123\r\nBORDERSMASK=^0000^0000^0009^0009"
                   "^0001^0001^0001^0001^1^0^1^1\r\n";
    for (int i = 1; i < 3000; ++i)
        text += QStringLiteral("[S%1]\r\nPARENTCLASS=S%2\r\n").arg(i).arg(i - 1);
    for (int i = 0; i < 10000; ++i)
        text += QStringLiteral("[R%1]\r\nPARENTCLASS=R%2\r\n").arg(i).arg((i + 1) % 10000);
    text += "[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=C\r\nTRANSPARENCY=40\r\n"
            "[C]\r\nPARENTCLASS=A\r\nTRANSPARENCY=-1\r\n";
    QElapsedTimer clock;
    clock.start();
    const TsSkinModel model = LoadSkinModel(TIniFile::FromText(text), PictureSource{});
    // Walking the chain again for every section and key took minutes here.
    EXPECT_LT(clock.elapsed(), 20000);
    ASSERT_EQ(model.Sections.size(), 1u + 3000 + 10000 + 3);
    const TsGeneralData& deepest = model.Sections[3000];
    EXPECT_EQ(deepest.SectionName, "S2999");
    EXPECT_EQ(deepest.Color, 123);
    EXPECT_EQ(deepest.BordersMask, 0);
    EXPECT_EQ(model.Sections[3001].Color, 16777215); // R0: the default
    EXPECT_EQ(model.Sections[3001].BordersMask, -1);
    for (int i = 13001; i < 13004; ++i)
        EXPECT_EQ(model.Sections[i].Transparency, 40) << model.Sections[i].SectionName.toStdString();
}

TEST(HostileSkin, ASectionWithAHugeNumberOfKeysReadsInLinearTime) {
    QString text = "[GLOBALINFO]\r\n[BIG]\r\n";
    for (int i = 0; i < 200000; ++i)
        text += QStringLiteral("K%1=%1\r\n").arg(i);
    text += "K5=again\r\n";
    QElapsedTimer clock;
    clock.start();
    const TIniFile ini = TIniFile::FromText(text);
    int count = 0;
    QString fifth;
    ini.ForEachValue([&](const QString&, const QString& key, const QString& value) {
        ++count;
        if (key == "K5")
            fifth += value + ";";
    });
    EXPECT_LT(clock.elapsed(), 20000);
    EXPECT_EQ(count, 200001);
    EXPECT_EQ(fifth, "5;5;"); // a key written twice is read with its first value
    EXPECT_EQ(ini.ReadString("BIG", "K199999", ""), "199999");
    EXPECT_EQ(ini.ReadString("BIG", "K5", ""), "5");
}

TEST(HostileSkin, PackagesPastTheLimitsAreRefusedAndThoseAtThemRead) {
    const QByteArray options = "[GLOBALINFO]\r\n";
    const QByteArray atLimit = options + QByteArray(kMaxOptionsSize - options.size(), ';');
    EXPECT_EQ(UnpackPackage(Package(Record("Options.dat", atLimit), 1)).OptionsText->size(),
              kMaxOptionsSize);
    EXPECT_EQ(ErrorOf([&] { UnpackPackage(Package(Record("Options.dat", atLimit + ';'), 1)); }),
              "The skin package is too large: its options text (at most 2097152 bytes)");

    // One member at the largest size is walked through, not kept; two more
    // of them pass the total. The stream is made once and written three times.
    const QByteArray big(kMaxMemberSize, '\0');
    const QByteArray bigRecord = Record("A.BMP", big);
    const TacSkinConvertor one = UnpackPackage(Package(bigRecord, 1));
    ASSERT_EQ(one.Members.size(), 1u);
    EXPECT_TRUE(one.Members[0].MemberData.isEmpty());
    EXPECT_EQ(one.MemberBytes(one.Members[0]), big);
    EXPECT_EQ(UnpackPackage(Package(bigRecord + bigRecord, 2)).Members.size(), 2u);
    EXPECT_EQ(ErrorOf([&] { UnpackPackage(Package(bigRecord + bigRecord + bigRecord, 3)); }),
              "The skin package is too large: its members unpacked together (at most "
              "134217728 bytes)");
    EXPECT_EQ(ErrorOf([&] { UnpackPackage(Package(Record("A", "a", kMaxMemberSize + 1), 1)); }),
              "Skin package member size is invalid");
    QByteArray empties;
    for (int i = 0; i < kMaxMemberCount; ++i)
        empties += Record("E", QByteArray());
    EXPECT_EQ(UnpackPackage(Package(empties, kMaxMemberCount)).Members.size(),
              size_t(kMaxMemberCount));
    EXPECT_EQ(ErrorOf([&] { UnpackPackage(Package(QByteArray(), kMaxMemberCount + 1)); }),
              "The skin package has too many members: 4097 (at most 4096)");

    // Small members are kept as they are read.
    const TacSkinConvertor small = UnpackPackage(Package(Record("B.BMP", "bytes"), 1));
    EXPECT_EQ(small.Members[0].MemberData, "bytes");
}

TEST(HostileSkin, EachPictureIsDecodedOnceAndAllOfThemStayWithinTheBudget) {
    // 8192 x 4096 is the whole budget: named by six keys, decoded once.
    QByteArray runs;
    for (int y = 0; y < 4096; ++y)
        runs.append("\0\0", 2);
    runs.append("\0\x01", 2);
    runs.append(QByteArray(70000, '\0')); // what a picture this size must at least bring
    ASSERT_EQ(8192LL * 4096, kMaxSkinPixels);
    const QByteArray huge = Rle8Bmp(8192, 4096, runs);
    QString text = "[GLOBALINFO]\r\nMASTERBITMAP=HUGE.BMP\r\n[PANEL]\r\n";
    for (int i = 0; i < 5; ++i)
        text += QStringLiteral("K%1=HUGE.BMP\r\n").arg(i);
    TacImageItems members{{"Huge.bmp", true, huge}};
    const TsSkinModel model = LoadSkinFromPackage(
        UnpackPackage(PackPackage(Options(text), members)), QString());
    ASSERT_EQ(model.Images.Masks.size(), 5u);
    for (const TsMaskData& m : model.Images.Masks)
        EXPECT_EQ(m.OwnImage->Image().constBits(), model.Images.MasterImage.Image().constBits());

    // One more pixel is too many.
    members.push_back({"Dot.bmp", true, Rle8Bmp(1, 1, QByteArray("\x01\x07\0\x01", 4))});
    text += "DOT=DOT.BMP\r\n";
    const std::string error = ErrorOf([&] {
        LoadSkinFromPackage(UnpackPackage(PackPackage(Options(text), members)), QString());
    });
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_NE(error.find("at most 33554432 pixels together"), std::string::npos) << error;
}

TEST(HostileSkin, AJpegClaimingAHugePictureIsRefusedBeforeItIsDecoded) {
    // Start of image, a progressive frame of 16384 x 4096 with one component,
    // and a scan header: all the decoder reads before it would allocate.
    const QByteArray jpeg = QByteArray("\xFF\xD8\xFF\xC2\0\x0B\x08\x10\x00\x40\x00\x01\x01\x11\0",
                                       15) +
                            QByteArray("\xFF\xDA\0\x08\x01\x01\0\0\x3F\0", 10) +
                            QByteArray(1000, '\0');
    EXPECT_EQ(ErrorOf([&] { DecodeJpeg(jpeg, kMaxSkinPixels); }), "JPEG: the picture is too large");
    const QByteArray options = "[GLOBALINFO]\r\n[FORM]\r\nPATTERN=BIG.JPG\r\n";
    const std::string error = ErrorOf([&] {
        LoadSkinFromPackage(UnpackPackage(PackPackage(options, {{"Big.jpg", false, jpeg}})),
                            QString());
    });
    EXPECT_NE(error.find("JPEG: the picture is too large: \"BIG.JPG\""), std::string::npos)
        << error;
}

TEST(HostileSkin, AFolderSkinFileThatNeverEndsIsRefused) {
    QTemporaryDir dir;
    // Files up to the limit are read whole; one byte more is refused.
    QFile sparse(dir.filePath("big.bmp"));
    ASSERT_TRUE(sparse.open(QIODevice::WriteOnly) && sparse.resize(kMaxSkinFileSize));
    sparse.close();
    EXPECT_EQ(ReadSkinFile(sparse.fileName()).size(), kMaxSkinFileSize);
    ASSERT_TRUE(sparse.resize(kMaxSkinFileSize + 1));
    EXPECT_NE(ErrorOf([&] { ReadSkinFile(sparse.fileName()); }).find("is too large for a skin"),
              std::string::npos);
    ASSERT_TRUE(sparse.remove());

    ASSERT_TRUE(WriteFile(dir.filePath("Options.dat"), "[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n"));
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("master.bmp")));
    const std::string error = ErrorOf([&] { LoadSkinFromFolder(dir.path()); });
    EXPECT_NE(error.find("is too large for a skin (at most 67108864 bytes)"), std::string::npos)
        << error;
}

TEST(HostileSkin, MemberNamesAreInTheOptionsCodePage) {
    // Names the code page spells survive a package and are found by the
    // references of an options text in the same code page.
    const QByteArray dot = Rle8Bmp(1, 1, QByteArray("\x01\x07\0\x01", 4));
    const QByteArray options = Options(QStringLiteral("[GLOBALINFO]\r\nMASTERBITMAP=МАСТЕР.BMP\r\n"));
    const TacSkinConvertor package = UnpackPackage(PackPackage(
        options, {{"МАСТЕР.BMP", true, dot}, {"Фон.bmp", true, dot}, {"Дуб.bmp", true, dot}}));
    ASSERT_EQ(package.Members.size(), 3u);
    EXPECT_EQ(package.Members[1].MemberName, "Фон.bmp");
    EXPECT_EQ(package.Members[2].MemberName, "Дуб.bmp");
    EXPECT_EQ(LoadSkinFromPackage(package, QString()).Images.MasterImage.Width(), 1);
    // A name it cannot spell is refused rather than written as question marks.
    EXPECT_NE(ErrorOf([&] { PackPackage(std::nullopt, {{"木.bmp", true, dot}}); })
                  .find("cannot be written in a skin package"),
              std::string::npos);
}

TEST(HostileSkin, TheToolKeepsRenderedFilesInTheirFolderAndWarnsOfAMissingMaster) {
    QTemporaryDir dir;
    ASSERT_TRUE(QDir(dir.path()).mkpath("a/b/skin"));
    ASSERT_TRUE(WriteFile(dir.filePath("a/b/skin/Options.dat"),
                          "[GLOBALINFO]\r\nMASTERBITMAP=NONE.BMP\r\n[../../x]\r\nCOLOR=255\r\n"
                          "BORDERSMASK=^0000^0000^0009^0009^0001^0001^0001^0001^1^0^1^1\r\n"));
    const QString tool = QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin");
    QProcess p;
    p.start(tool, {"render", dir.filePath("a/b/skin"), "--all", "--out", dir.filePath("a/b/out")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0) << p.readAllStandardError().toStdString();
    EXPECT_TRUE(QFile::exists(dir.filePath("a/b/out/______x-state0-24x24.png")));
    EXPECT_TRUE(QDir(dir.path()).entryList(QDir::Files).isEmpty());
    EXPECT_TRUE(QDir(dir.filePath("a")).entryList(QDir::Files).isEmpty());

    p.start(tool, {"info", dir.filePath("a/b/skin")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 0);
    EXPECT_TRUE(p.readAllStandardOutput().contains(
        "Warning: no master picture was found (MASTERBITMAP of GLOBALINFO); 1 masks on it show "
        "nothing\n"));
}

TEST(HostileSkin, EveryKeptFuzzInputReadsOrIsRefusedQuickly) {
    // The fuzz seeds include one file for each fault found so far: read
    // them as the program would, so that the sanitizer build sees them too.
    const QDir seeds(QStringLiteral(CHAROLIST_SOURCE_DIR "/tests/skin/seeds"));
    int read = 0;
    const QDir packages(seeds.filePath("package"));
    for (const QString& name : packages.entryList(QDir::Files, QDir::Name)) {
        QElapsedTimer clock;
        clock.start();
        ErrorOf([&] { LoadSkinFromPath(packages.filePath(name)); });
        EXPECT_LT(clock.elapsed(), 20000) << name.toStdString();
        ++read;
    }
    const QDir options(seeds.filePath("options"));
    for (const QString& name : options.entryList(QDir::Files, QDir::Name)) {
        ErrorOf([&] {
            LoadSkinModel(TIniFile::FromBytes(testing_support::ReadFile(options.filePath(name))),
                          PictureSource{});
        });
        ++read;
    }
    const QDir jpegs(seeds.filePath("jpeg"));
    for (const QString& name : jpegs.entryList(QDir::Files, QDir::Name)) {
        ErrorOf([&] { DecodeJpeg(testing_support::ReadFile(jpegs.filePath(name)), kMaxSkinPixels); });
        ++read;
    }
    const QDir pngs(seeds.filePath("png"));
    for (const QString& name : pngs.entryList(QDir::Files, QDir::Name)) {
        ErrorOf([&] { DecodePng(testing_support::ReadFile(pngs.filePath(name)), kMaxSkinPixels); });
        ++read;
    }
    EXPECT_GE(read, 10);
}
