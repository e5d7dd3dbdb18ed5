// Skins made to hurt the readers: values far outside what any real skin
// holds. Each must be refused with a message or read in bounded time and
// memory; none may crash.
#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinLookup.h"
#include "skin/data/SkinModel.h"
#include "skin/data/SkinPackage.h"

#include "platform/Encoding.h"
#include "support/Files.h"
#include "support/Packages.h"
#include "support/SkinValues.h"
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonDocument>
#include <QJsonObject>
#include <QJsonParseError>
#include <QProcess>
#include <QTemporaryDir>
#include <fcntl.h>
#include <functional>
#include <future>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace skin;
using testing_support::Int32;
using testing_support::Package;
using testing_support::Record;
using testing_support::SkinErrorOf;
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
    EXPECT_EQ(deepest.Color, SkinColor{123});
    EXPECT_EQ(deepest.BordersMask, 0);
    EXPECT_EQ(model.Sections[3001].Color, SkinColor{16777215}); // R0: the default
    EXPECT_EQ(model.Sections[3001].BordersMask, -1);
    for (int i = 13001; i < 13004; ++i)
        EXPECT_EQ(model.Sections[i].Transparency, 40)
            << model.Sections[i].SectionName.toStdString();
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
    EXPECT_EQ(SkinErrorOf([&] { UnpackPackage(Package(Record("Options.dat", atLimit + ';'), 1)); }),
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
    EXPECT_EQ(SkinErrorOf([&] { UnpackPackage(Package(bigRecord + bigRecord + bigRecord, 3)); }),
              "The skin package is too large: its members unpacked together (at most "
              "134217728 bytes)");
    EXPECT_EQ(SkinErrorOf([&] { UnpackPackage(Package(Record("A", "a", kMaxMemberSize + 1), 1)); }),
              "Skin package member size is invalid");
    QByteArray empties;
    for (int i = 0; i < kMaxMemberCount; ++i)
        empties += Record("E", QByteArray());
    EXPECT_EQ(UnpackPackage(Package(empties, kMaxMemberCount)).Members.size(),
              size_t(kMaxMemberCount));
    EXPECT_EQ(SkinErrorOf([&] { UnpackPackage(Package(QByteArray(), kMaxMemberCount + 1)); }),
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
    const TsSkinModel model =
        LoadSkinFromPackage(UnpackPackage(PackPackage(Options(text), members)), QString());
    ASSERT_EQ(model.Images.Masks.size(), 5u);
    for (const TsMaskData& m : model.Images.Masks)
        EXPECT_EQ(m.OwnImage->Image().constBits(), model.Images.MasterImage.Image().constBits());

    // One more pixel is too many.
    members.push_back({"Dot.bmp", true, Rle8Bmp(1, 1, QByteArray("\x01\x07\0\x01", 4))});
    text += "DOT=DOT.BMP\r\n";
    const std::string error = SkinErrorOf([&] {
        LoadSkinFromPackage(UnpackPackage(PackPackage(Options(text), members)), QString());
    });
    EXPECT_NE(error.find("too large"), std::string::npos) << error;
    EXPECT_NE(error.find("at most 33554432 pixels together"), std::string::npos) << error;
}

TEST(HostileSkin, AJpegClaimingAHugePictureIsRefusedBeforeItIsDecoded) {
    // Start of image, a progressive frame of 16384 x 4096 with one component,
    // and a scan header: all the decoder reads before it would allocate.
    const QByteArray jpeg =
        QByteArray("\xFF\xD8\xFF\xC2\0\x0B\x08\x10\x00\x40\x00\x01\x01\x11\0", 15) +
        QByteArray("\xFF\xDA\0\x08\x01\x01\0\0\x3F\0", 10) + QByteArray(1000, '\0');
    EXPECT_EQ(SkinErrorOf([&] { DecodeJpeg(jpeg, kMaxSkinPixels); }),
              "JPEG: the picture is too large");
    const QByteArray options = "[GLOBALINFO]\r\n[FORM]\r\nPATTERN=BIG.JPG\r\n";
    const std::string error = SkinErrorOf([&] {
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
    EXPECT_NE(SkinErrorOf([&] { ReadSkinFile(sparse.fileName()); }).find("is too large for a skin"),
              std::string::npos);
    ASSERT_TRUE(sparse.remove());

    ASSERT_TRUE(
        WriteFile(dir.filePath("Options.dat"), "[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n"));
    ASSERT_TRUE(QFile::link("/dev/zero", dir.filePath("master.bmp")));
    const std::string error = SkinErrorOf([&] { LoadSkinFromFolder(dir.path()); });
    EXPECT_NE(error.find("master.bmp\". It is not a regular file"), std::string::npos) << error;
}

TEST(HostileSkin, MemberNamesAreInTheOptionsCodePage) {
    // Names the code page spells survive a package and are found by the
    // references of an options text in the same code page.
    const QByteArray dot = Rle8Bmp(1, 1, QByteArray("\x01\x07\0\x01", 4));
    const QByteArray options =
        Options(QStringLiteral("[GLOBALINFO]\r\nMASTERBITMAP=МАСТЕР.BMP\r\n"));
    const TacSkinConvertor package = UnpackPackage(PackPackage(
        options, {{"МАСТЕР.BMP", true, dot}, {"Фон.bmp", true, dot}, {"Дуб.bmp", true, dot}}));
    ASSERT_EQ(package.Members.size(), 3u);
    EXPECT_EQ(package.Members[1].MemberName, "Фон.bmp");
    EXPECT_EQ(package.Members[2].MemberName, "Дуб.bmp");
    EXPECT_EQ(LoadSkinFromPackage(package, QString()).Images.MasterImage.Width(), 1);
    // A name it cannot spell is refused rather than written as question marks.
    EXPECT_NE(SkinErrorOf([&] {
                  PackPackage(std::nullopt, {{"木.bmp", true, dot}});
              }).find("cannot be written in a skin package"),
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
        SkinErrorOf([&] { LoadSkinFromPath(packages.filePath(name)); });
        EXPECT_LT(clock.elapsed(), 20000) << name.toStdString();
        ++read;
    }
    const QDir options(seeds.filePath("options"));
    for (const QString& name : options.entryList(QDir::Files, QDir::Name)) {
        SkinErrorOf([&] {
            LoadSkinModel(TIniFile::FromBytes(testing_support::ReadFile(options.filePath(name))),
                          PictureSource{});
        });
        ++read;
    }
    const QDir jpegs(seeds.filePath("jpeg"));
    for (const QString& name : jpegs.entryList(QDir::Files, QDir::Name)) {
        SkinErrorOf(
            [&] { DecodeJpeg(testing_support::ReadFile(jpegs.filePath(name)), kMaxSkinPixels); });
        ++read;
    }
    const QDir pngs(seeds.filePath("png"));
    for (const QString& name : pngs.entryList(QDir::Files, QDir::Name)) {
        SkinErrorOf(
            [&] { DecodePng(testing_support::ReadFile(pngs.filePath(name)), kMaxSkinPixels); });
        ++read;
    }
    EXPECT_GE(read, 10);
}

// ---------------------------------------------------------------------------
// Work that grows with what a skin repeats, not with its size
// ---------------------------------------------------------------------------

namespace {

// A picture that decodes (one red pixel) in a member or file of `size`
// bytes: what follows the picture is not read by the decoder.
QByteArray PaddedDot(qsizetype size) {
    const QByteArray dot = Rle8Bmp(1, 1, QByteArray("\x01\x07\0\x01", 4));
    return dot + QByteArray(size - dot.size(), '\0');
}

QString Keys(const QString& section, int count, const QString& value) {
    QString text = QStringLiteral("[%1]\r\n").arg(section);
    for (int i = 0; i < count; ++i)
        text += QStringLiteral("K%1=%2\r\n").arg(i).arg(value);
    return text;
}

qint64 Milliseconds(const std::function<void()>& f) {
    QElapsedTimer clock;
    clock.start();
    f();
    return clock.elapsed();
}

} // namespace

TEST(HostileSkin, ANamedPipeInPlaceOfASkinFileIsRefusedWithoutBlocking) {
    struct Case {
        const char* Name;
        const char* Fifo;    // made a named pipe
        const char* Options; // written when given
        bool Package;
    };
    const Case cases[] = {
        {"package", "Wood.asz", nullptr, true},
        {"options in upper case", "OPTIONS.DAT", nullptr, false},
        {"picture", "master.bmp", "[GLOBALINFO]\r\nMASTERBITMAP=MASTER.BMP\r\n", false},
    };
    for (const Case& c : cases) {
        QTemporaryDir dir;
        const QString fifo = dir.filePath(c.Fifo);
        ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
        if (c.Options) {
            ASSERT_TRUE(WriteFile(dir.filePath("Options.dat"), c.Options));
        }
        auto load = std::async(std::launch::async, [&] {
            return SkinErrorOf([&] {
                if (c.Package)
                    UnpackPackageFile(fifo);
                else
                    LoadSkinFromFolder(dir.path());
            });
        });
        if (load.wait_for(std::chrono::seconds(5)) == std::future_status::timeout) {
            // Free the reader by opening the other end, then fail.
            const int writer = ::open(QFile::encodeName(fifo).constData(), O_WRONLY | O_NONBLOCK);
            if (writer >= 0)
                ::close(writer);
            load.wait();
            ADD_FAILURE() << c.Name << ": the open blocked";
            continue;
        }
        const std::string error = load.get();
        EXPECT_NE(error.find(std::string(c.Fifo) + "\". It is not a regular file"),
                  std::string::npos)
            << c.Name << ": " << error;
    }
}

TEST(HostileSkin, AMemberOrFileNamedByManyKeysIsReadAndDecodedOnce) {
    // 1000 keys on one picture of 64 MiB, which the package does not keep
    // inflated: each key read it again once (over a minute here).
    const QByteArray big = PaddedDot(kMaxMemberSize);
    const QString text = "[GLOBALINFO]\r\n" + Keys("MANY", 1000, "!BIG.BMP!1!0!0");
    const TacSkinConvertor package =
        UnpackPackage(PackPackage(Options(text), {{"Big.bmp", true, big}}));
    ASSERT_TRUE(package.Members[0].MemberData.isEmpty());
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("Options.dat"), Options(text)));
    ASSERT_TRUE(WriteFile(dir.filePath("big.bmp"), big));
    const std::pair<const char*, std::function<TsSkinModel()>> loads[] = {
        {"package", [&] { return LoadSkinFromPackage(package, QString()); }},
        {"folder", [&] { return *LoadSkinFromFolder(dir.path()); }},
    };
    for (const auto& [name, load] : loads) {
        TsSkinModel model;
        EXPECT_LT(Milliseconds([&] { model = load(); }), 10000) << name;
        ASSERT_EQ(model.Images.Masks.size(), 1000u) << name;
        for (const TsMaskData& m : model.Images.Masks)
            ASSERT_EQ(m.OwnImage->Image().constBits(),
                      model.Images.Masks[0].OwnImage->Image().constBits())
                << name;
    }
}

TEST(HostileSkin, DerivedPicturesExistOnceHoweverManyKeysNameThem) {
    // A texture JPEG named by 300 keys, and a pattern JPEG with 8 MiB after
    // its end named by 20: each key used to keep a copy of its own.
    const QByteArray texture =
        testing_support::Encoded(QImage(948, 948, QImage::Format_RGB32), "JPG");
    ASSERT_LT(948 * 948, kPatternPixels);
    QImage backImage(1000, 900, QImage::Format_RGB32);
    backImage.fill(QColor(40, 90, 60));
    const QByteArray back = testing_support::Encoded(backImage, "JPG");
    const QByteArray padded = back + QByteArray(8 * 1024 * 1024, '\0');
    QString text = "[GLOBALINFO]\r\n";
    for (int i = 0; i < 300; ++i)
        text += QStringLiteral("[T%1]\r\nPATTERN=SMALL.JPG\r\n").arg(i);
    for (int i = 0; i < 20; ++i)
        text += QStringLiteral("[P%1]\r\nPATTERN=BACK.JPG\r\n").arg(i);
    const TacSkinConvertor package = UnpackPackage(
        PackPackage(Options(text), {{"Small.jpg", false, texture}, {"Back.jpg", false, padded}}));
    const TsSkinModel model = LoadSkinFromPackage(package, QString());
    ASSERT_EQ(model.Images.Masks.size(), 300u);
    for (const TsMaskData& m : model.Images.Masks)
        ASSERT_EQ(m.OwnImage->Image().constBits(),
                  model.Images.Masks[0].OwnImage->Image().constBits());
    // A turned hue changes the shared picture once, for all of them.
    SkinLoadOptions turned;
    turned.HueOffset = 90;
    const TsSkinModel hued = LoadSkinFromPackage(package, QString(), turned);
    for (const TsMaskData& m : hued.Images.Masks)
        ASSERT_EQ(m.OwnImage->Image().constBits(),
                  hued.Images.Masks[0].OwnImage->Image().constBits());
    EXPECT_NE(hued.Images.Masks[0].OwnImage->Image().constBits(),
              model.Images.Masks[0].OwnImage->Image().constBits());
    ASSERT_EQ(model.Images.Patterns.size(), 20u);
    const TsPatternData& first = model.Images.Patterns[0];
    EXPECT_EQ(first.PatternImage, back); // what follows the picture is not kept
    for (const TsPatternData& p : model.Images.Patterns)
        ASSERT_EQ(p.PatternImage.constData(), first.PatternImage.constData());
    // Painted, the pattern is decoded once for all its keys.
    const platform::Bitmap painted = PatternPicture(first);
    ASSERT_EQ(painted.Width(), 1000);
    EXPECT_EQ(painted.ScanLine(450)[500] & 0xFF000000u, 0xFF000000u);
    EXPECT_EQ(PatternPicture(model.Images.Patterns[19]).Image().constBits(),
              painted.Image().constBits());
}

TEST(HostileSkin, PngTextChunksAreSkippedNotInflated) {
    // 999 compressed texts of 8 MB each in a picture of 4 x 4.
    QImage image(4, 4, QImage::Format_ARGB32);
    image.fill(QColor(10, 200, 30));
    const QByteArray png = testing_support::Encoded(image, "PNG");
    const QByteArray text = QByteArray("Comment\0\0", 9) + Zlib(QByteArray(8000000, 'a'));
    QByteArray chunk = QByteArray("\0\0\0\0zTXt", 8) + text + QByteArray(4, '\0');
    for (int i = 0; i < 4; ++i)
        chunk[i] = char((text.size() >> (24 - 8 * i)) & 0xFF);
    const uLong crc =
        crc32(0, reinterpret_cast<const Bytef*>(chunk.constData() + 4), text.size() + 4);
    for (int i = 0; i < 4; ++i)
        chunk[8 + text.size() + i] = char((crc >> (24 - 8 * i)) & 0xFF);
    QByteArray chunks;
    for (int i = 0; i < 999; ++i)
        chunks += chunk;
    const qsizetype afterHeader = 8 + 25; // signature, then the header chunk
    const QByteArray hostile = png.left(afterHeader) + chunks + png.mid(afterHeader);
    platform::Bitmap picture;
    EXPECT_LT(Milliseconds([&] { picture = DecodePng(hostile); }), 3000);
    ASSERT_EQ(picture.Width(), 4);
    EXPECT_EQ(picture.ScanLine(3)[3], 0xFF0AC81Eu);
}

namespace {

// A progressive JPEG of 64 x 64 grey pixels in `scans` scans of its DC
// coefficients (all zero), the same scan again and again.
QByteArray ProgressiveJpeg(int scans) {
    QByteArray jpeg("\xFF\xD8", 2);
    jpeg += QByteArray("\xFF\xDB\0\x43\0", 5) + QByteArray(64, '\x01');
    jpeg += QByteArray("\xFF\xC2\0\x0B\x08\0\x40\0\x40\x01\x01\x11\0", 13);
    jpeg += QByteArray("\xFF\xC4\0\x14\0\x01", 6) + QByteArray(15, '\0') + QByteArray(1, '\0');
    for (int i = 0; i < scans; ++i)
        jpeg += QByteArray("\xFF\xDA\0\x08\x01\x01\0\0\0\0", 10) + QByteArray(8, '\0');
    return jpeg + QByteArray("\xFF\xD9", 2);
}

} // namespace

TEST(HostileSkin, AJpegOfTooManyScansIsRefused) {
    const platform::Bitmap few = DecodeJpeg(ProgressiveJpeg(10));
    EXPECT_EQ(few.Width(), 64);
    EXPECT_EQ(few.ScanLine(63)[63], 0xFF808080u);
    EXPECT_EQ(SkinErrorOf([] { DecodeJpeg(ProgressiveJpeg(kMaxJpegScans)); }), "(no error)");
    EXPECT_EQ(SkinErrorOf([] { DecodeJpeg(ProgressiveJpeg(5000)); }),
              "JPEG: the picture has more than 100 scans");
    // Larger pictures may have fewer, down to the least any may have.
    EXPECT_EQ(AllowedJpegScans(4096 * 4096), kMinJpegScans);
    EXPECT_EQ(AllowedJpegScans(2048 * 2048), 64);
    EXPECT_EQ(AllowedJpegScans(1), kMaxJpegScans);
}

TEST(HostileSkin, LookUpsAlongLongParentChainsStayQuick) {
    // 30,000 sections, each the parent of the one before; the last has the
    // mask. Every section asks, from either end: each step of the chain was
    // a search of the whole table, for every question.
    constexpr int count = 30000;
    TsGeneralDataArray sections(count);
    for (int i = 0; i < count; ++i) {
        sections[i].SectionName = QStringLiteral("S%1").arg(i);
        if (i + 1 < count)
            sections[i].ParentClass = QStringLiteral("S%1").arg(i + 1);
    }
    // And a ring of three without the key.
    for (int i = 0; i < 3; ++i) {
        TsGeneralData d;
        d.SectionName = QStringLiteral("R%1").arg(i);
        d.ParentClass = QStringLiteral("R%1").arg((i + 1) % 3);
        sections.push_back(d);
    }
    TsSkinImages images;
    images.Masks.resize(2);
    images.Masks[1].SectionName = QStringLiteral("S%1").arg(count - 1);
    images.Masks[1].KeyName = "BORDERSMASK";
    images.Masks[1].ImageKind = 1;
    const SkinLookup lookup(sections, images);
    int found = 0;
    EXPECT_LT(Milliseconds([&] {
                  for (int i = 0; i < count; ++i) {
                      const int at = i % 2 ? i : count - 1 - i;
                      found += lookup.Mask(at, sections[at].SectionName, "BORDERSMASK") == 1;
                      found += lookup.Texture(at, sections[at].SectionName, "BORDERSMASK") == 1;
                  }
              }),
              5000);
    EXPECT_EQ(found, 2 * count);
    EXPECT_EQ(lookup.Mask(count, "R0", "BORDERSMASK"), -1);
    EXPECT_EQ(lookup.Section("S29999"), count - 1);
    EXPECT_EQ(lookup.Mask(0, "S0", "GLYPHMASK"), -1);
}

TEST(HostileSkin, ReferencesThatFindNothingStayQuick) {
    // 10,000 names that no file or member has: a folder was listed, and
    // every member's name upper-cased, for each of them.
    QString missing = "[GLOBALINFO]\r\n[MISSING]\r\n";
    for (int i = 0; i < 10000; ++i)
        missing += QStringLiteral("K%1=!NONE%1.BMP!1!0!0\r\n").arg(i);
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("Options.dat"), Options(missing)));
    for (int i = 0; i < 10000; ++i)
        ASSERT_TRUE(WriteFile(dir.filePath(QStringLiteral("file%1.bmp").arg(i)), "x"));
    EXPECT_LT(
        Milliseconds([&] { EXPECT_TRUE(LoadSkinFromFolder(dir.path())->Images.Masks.empty()); }),
        5000);
    TacImageItems members;
    for (int i = 0; i < kMaxMemberCount - 1; ++i)
        members.push_back({QStringLiteral("member%1.bmp").arg(i), true, "x"});
    const TacSkinConvertor package = UnpackPackage(PackPackage(Options(missing), members));
    EXPECT_LT(Milliseconds([&] {
                  EXPECT_TRUE(LoadSkinFromPackage(package, QString()).Images.Masks.empty());
              }),
              5000);
}

TEST(HostileSkin, SectionsShareTheGradientTheyInheritAndTheirNumberIsCapped) {
    QString steps;
    for (int i = 0; i < 100; ++i)
        steps += QStringLiteral("%1;%2;1;0;0;").arg(i).arg(i + 1);
    QString text = "[GLOBALINFO]\r\n[G]\r\nGRADIENTPERCENT=50\r\nGRADIENTDATA=" + steps + "\r\n";
    for (int i = 0; i < 15000; ++i)
        text += QStringLiteral("[S%1]\r\nPARENTCLASS=G\r\n").arg(i);
    const TsSkinModel model = LoadSkinModel(TIniFile::FromText(text), PictureSource{});
    ASSERT_EQ(model.Sections.size(), 15002u);
    const TsGradArray& shared = model.Sections[1].Gradient;
    ASSERT_EQ(shared.size(), 100);
    EXPECT_EQ(shared[99].EndColor, SkinColor{100});
    for (const TsGeneralData& d : model.Sections) {
        if (d.SectionName != kGlobalInfo) {
            ASSERT_EQ(d.Gradient.constData(), shared.constData()) << d.SectionName.toStdString();
        }
    }

    QString many;
    for (int i = 0; i <= kMaxSections; ++i)
        many += QStringLiteral("[%1]\r\n").arg(i);
    EXPECT_EQ(SkinErrorOf([&] { LoadSkinModel(TIniFile::FromText(many), PictureSource{}); }),
              "The skin has too many sections: 16385 (at most 16384)");
}

TEST(HostileSkin, RunsPastThePicturesEdgeCostNothing) {
    // 64 MiB of runs of 255 pixels for a picture of one pixel.
    QByteArray runs;
    runs.reserve(kMaxMemberSize);
    while (runs.size() < kMaxMemberSize - 2)
        runs.append("\xFF\x07", 2);
    runs.append("\0\x01", 2);
    const QByteArray bmp = Rle8Bmp(1, 1, runs);
    platform::Bitmap picture;
    EXPECT_LT(Milliseconds([&] { picture = DecodeBmp(bmp); }), 2000);
    EXPECT_EQ(picture.ScanLine(0)[0], 0xFFFF0000u);
}

TEST(HostileSkin, ALoadReadsAtMostItsBudget) {
    // Five files of 64 MiB (sparse), each a picture that decodes.
    QTemporaryDir dir;
    QString text = "[GLOBALINFO]\r\n[MANY]\r\n";
    for (int i = 0; i < 5; ++i) {
        QFile file(dir.filePath(QStringLiteral("p%1.bmp").arg(i)));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(PaddedDot(100));
        ASSERT_TRUE(file.resize(kMaxSkinFileSize));
        text += QStringLiteral("K%1=!P%1.BMP!1!0!0\r\n").arg(i);
    }
    ASSERT_TRUE(WriteFile(dir.filePath("Options.dat"), Options(text)));
    EXPECT_EQ(SkinErrorOf([&] { LoadSkinFromFolder(dir.path()); }),
              "The skin reads too much to load: more than 268435456 bytes of pictures");
}

TEST(HostileSkin, TheToolWritesValidJsonAndKeepsToItsFolders) {
    const QString tool = QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin");
    QTemporaryDir dir;
    auto run = [&](const QStringList& arguments, int exit) {
        QProcess p;
        p.start(tool, arguments);
        EXPECT_TRUE(p.waitForFinished(20000));
        EXPECT_EQ(p.exitCode(), exit)
            << arguments.join(' ').toStdString() << ": " << p.readAllStandardError().toStdString();
        return p.readAllStandardOutput() + p.readAllStandardError();
    };
    // A version JSON has no number for.
    for (const char* version : {"nan", "inf", "-inf"}) {
        ASSERT_TRUE(WriteFile(dir.filePath("v.asz"),
                              PackPackage(QByteArray("[GLOBALINFO]\r\nVERSION=") + version, {})));
        QJsonParseError error{};
        const QJsonDocument json =
            QJsonDocument::fromJson(run({"dump", dir.filePath("v.asz")}, 0), &error);
        EXPECT_EQ(error.error, QJsonParseError::NoError) << version;
        EXPECT_TRUE(json["SkinData"]["Version"].isNull()) << version;
    }
    // Packing: a link out of the folder, and an options file that is a link
    // to nothing, are refused rather than packed.
    ASSERT_TRUE(QDir(dir.path()).mkpath("out-link"));
    ASSERT_TRUE(WriteFile(dir.filePath("out-link/Options.dat"), "[GLOBALINFO]\r\n"));
    ASSERT_TRUE(WriteFile(dir.filePath("secret.txt"), "not a skin's"));
    ASSERT_TRUE(QFile::link(dir.filePath("secret.txt"), dir.filePath("out-link/picture.bmp")));
    EXPECT_TRUE(run({"pack", dir.filePath("out-link"), dir.filePath("a.asz")}, 1)
                    .contains("is a link out of the folder"));
    ASSERT_TRUE(QDir(dir.path()).mkpath("dangling"));
    ASSERT_TRUE(QFile::link(dir.filePath("none.dat"), dir.filePath("dangling/Options.dat")));
    EXPECT_TRUE(run({"pack", dir.filePath("dangling"), dir.filePath("b.asz")}, 1)
                    .contains("is a link to nothing"));
    EXPECT_FALSE(QFile::exists(dir.filePath("a.asz")) || QFile::exists(dir.filePath("b.asz")));
    // A link inside the folder is packed as what it points to.
    ASSERT_TRUE(QFile::remove(dir.filePath("out-link/picture.bmp")));
    ASSERT_TRUE(WriteFile(dir.filePath("out-link/real.bmp"), "bytes"));
    ASSERT_TRUE(QFile::link("real.bmp", dir.filePath("out-link/picture.bmp")));
    run({"pack", dir.filePath("out-link"), dir.filePath("c.asz")}, 0);
    const auto packed = UnpackPackageFile(dir.filePath("c.asz"));
    ASSERT_TRUE(packed && packed->Members.size() == 2u);
    EXPECT_EQ(packed->MemberBytes(packed->Members[0]), "bytes");

    // Unpacking never writes through a link already in the folder.
    ASSERT_TRUE(QDir(dir.path()).mkpath("target"));
    ASSERT_TRUE(QFile::link(dir.filePath("secret.txt"), dir.filePath("target/real.bmp")));
    EXPECT_TRUE(run({"unpack", dir.filePath("c.asz"), dir.filePath("target")}, 1)
                    .contains("A link is in its place"));
    EXPECT_EQ(testing_support::ReadFile(dir.filePath("secret.txt")), "not a skin's");
}
