// Our picture decoders against peer test data that no one here wrote: BMP
// Suite and PngSuite (../shared/testdata from the project root).
#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinPackage.h"

#include "support/Files.h"
#include "support/Printers.h"
#include <QBuffer>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <algorithm>
#include <gtest/gtest.h>

using namespace skin;
using testing_support::Encoded;
using testing_support::ReadFile;

namespace {

QString TestData() {
    return QStringLiteral(CHAROLIST_SOURCE_DIR "/../shared/testdata");
}

#define NEED_TESTDATA(sub)                                                                         \
    if (!QDir(TestData() + sub).exists())                                                          \
    GTEST_SKIP() << "peer test data not found at " << (TestData() + sub).toStdString()

// Pixel bytes as [r, g, b, a] per pixel, as the PngSuite listings have them.
std::vector<int> Rgba(const platform::Bitmap& b) {
    std::vector<int> out;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x) {
            const uint32_t px = b.ScanLine(y)[x];
            out.insert(out.end(),
                       {int((px >> 16) & 255), int((px >> 8) & 255), int(px & 255), int(px >> 24)});
        }
    return out;
}

std::vector<int> Expected(const QString& name) {
    const QString dir = TestData() + "/pngsuite/json/";
    QString path = dir + name + "_to8.json";
    if (!QFile::exists(path))
        path = dir + name + ".json";
    std::vector<int> out;
    for (const QJsonValue& v : QJsonDocument::fromJson(ReadFile(path)).array())
        out.push_back(v.toInt());
    return out;
}

// Whether a decoded listing matches the expected one. The colour of a fully
// transparent pixel carries no meaning: there both the listed colour and
// the all-zero pixel of the white-transparent rule are right. With
// `colourOnly`, opacity is not compared at all.
// Listings of 16-bit pictures cut to 8 bits round in their own way: there a
// difference of one is allowed.
bool Matches(const std::vector<int>& ours, const std::vector<int>& expected, bool colourOnly,
             int tolerance = 0) {
    if (ours.size() != expected.size())
        return false;
    for (size_t p = 0; p < ours.size(); p += 4) {
        if (expected[p + 3] == 0)
            continue;
        for (size_t c = 0; c < (colourOnly ? 3u : 4u); ++c)
            if (std::abs(ours[p + c] - expected[p + c]) > tolerance)
                return false;
    }
    return true;
}

// 16-bit listings without an 8-bit version cannot be compared with 8-bit pixels.
bool Is16BitListing(const std::vector<int>& v) {
    return std::any_of(v.begin(), v.end(), [](int x) { return x > 255; });
}

// Where two listings first differ, for the failure message.
std::string FirstDifference(const std::vector<int>& a, const std::vector<int>& b) {
    if (a.size() != b.size())
        return "sizes " + std::to_string(a.size()) + " and " + std::to_string(b.size());
    for (size_t i = 0; i < a.size(); ++i)
        if (a[i] != b[i])
            return "pixel " + std::to_string(i / 4) + " channel " + std::to_string(i % 4) + ": " +
                   std::to_string(a[i]) + " and " + std::to_string(b[i]);
    return "none";
}

} // namespace

TEST(Decoders, GoodBmpSuiteFilesMatchAnIndependentReader) {
    NEED_TESTDATA("/bmpsuite/g");
    const QDir dir(TestData() + "/bmpsuite/g");
    int checked = 0;
    for (const QString& name : dir.entryList({"*.bmp"}, QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        const platform::Bitmap ours = DecodeBmp(ReadFile(dir.filePath(name)));
        const QImage theirs = QImage(dir.filePath(name)).convertToFormat(QImage::Format_RGB32);
        ASSERT_FALSE(theirs.isNull());
        ASSERT_EQ(ours.Width(), theirs.width());
        ASSERT_EQ(ours.Height(), theirs.height());
        int differ = 0;
        for (int y = 0; y < ours.Height(); ++y)
            for (int x = 0; x < ours.Width(); ++x)
                differ += (ours.ScanLine(y)[x] & 0xFFFFFF) != (theirs.pixel(x, y) & 0xFFFFFF);
        EXPECT_EQ(differ, 0);
        ++checked;
    }
    EXPECT_GE(checked, 20);
}

TEST(Decoders, BadBmpSuiteFilesAreRefusedOrReadWithoutHarm) {
    NEED_TESTDATA("/bmpsuite/b");
    const QDir dir(TestData() + "/bmpsuite/b");
    for (const QString& name : dir.entryList({"*.bmp"}, QDir::Files)) {
        SCOPED_TRACE(name.toStdString());
        QElapsedTimer clock;
        clock.start();
        try {
            const platform::Bitmap b = DecodeBmp(ReadFile(dir.filePath(name)));
            EXPECT_LE(b.Width(), kMaxPictureSide);
            EXPECT_LE(b.Height(), kMaxPictureSide);
        } catch (const ESkinError& e) {
            EXPECT_TRUE(QString(e.what()).startsWith("Invalid bitmap: ")) << e.what();
        }
        EXPECT_LT(clock.elapsed(), 2000);
    }
}

TEST(Decoders, PngSuiteDecodesToItsListedPixels) {
    NEED_TESTDATA("/pngsuite/png");
    const QDir dir(TestData() + "/pngsuite/png");
    int good = 0, refused = 0;
    QStringList mismatched;
    for (const QString& file : dir.entryList({"*.png"}, QDir::Files)) {
        const QString name = QFileInfo(file).completeBaseName();
        const QByteArray bytes = ReadFile(dir.filePath(file));
        if (name.startsWith(u'x')) {
            EXPECT_THROW(DecodePng(bytes), ESkinError) << file.toStdString();
            ++refused;
            continue;
        }
        platform::Bitmap b = DecodePng(bytes);
        ApplyWhiteTransparentRule(b);
        const std::vector<int> ours = Rgba(b), expected = Expected(name);
        if (Is16BitListing(expected))
            continue;
        const bool cut = QFile::exists(TestData() + "/pngsuite/json/" + name + "_to8.json");
        if (!Matches(ours, expected, false, cut ? 1 : 0))
            mismatched << name + " (" + QString::fromStdString(FirstDifference(ours, expected)) +
                              ")";
        ++good;
    }
    EXPECT_GT(good, 140);
    EXPECT_GT(refused, 10);
    EXPECT_EQ(mismatched, QStringList());
}

TEST(Decoders, PngSuiteAsBmpThroughOurReader) {
    NEED_TESTDATA("/pngsuite/bmp");
    const QDir dir(TestData() + "/pngsuite/bmp");
    QStringList mismatched;
    int checked = 0;
    for (const QString& file : dir.entryList({"*.bmp"}, QDir::Files)) {
        const QString name = QFileInfo(file).completeBaseName();
        const std::vector<int> ours = Rgba(DecodeBmp(ReadFile(dir.filePath(file))));
        const std::vector<int> expected = Expected(name);
        if (Is16BitListing(expected))
            continue;
        // Colours only: the listings' opacity belongs to the PNG originals.
        if (!Matches(ours, expected, true))
            mismatched << name + " (" + QString::fromStdString(FirstDifference(ours, expected)) +
                              ")";
        ++checked;
    }
    EXPECT_GT(checked, 100);
    EXPECT_EQ(mismatched, QStringList());
}

TEST(Decoders, HugeOrEmptyPicturesAreRefusedBeforeAllocating) {
    // A BMP header claiming 100000 x 100000 pixels in a 60-byte file.
    QByteArray bmp(60, '\0');
    bmp[0] = 'B';
    bmp[1] = 'M';
    bmp[14] = 40;
    auto put32 = [&](int at, uint32_t v) {
        for (int i = 0; i < 4; ++i)
            bmp[at + i] = static_cast<char>((v >> (8 * i)) & 255);
    };
    put32(18, 100000);
    put32(22, 100000);
    bmp[26] = 1;
    bmp[28] = 24;
    EXPECT_THROW(DecodeBmp(bmp), ESkinError);
    EXPECT_THROW(DecodeJpeg("\xFF\xD8\xFF"), ESkinError);
    EXPECT_THROW(DecodePicture("GIF89a"), ESkinError);
}

TEST(Decoders, JpegThroughLibjpeg) {
    QImage img(40, 20, QImage::Format_RGB32);
    img.fill(QColor(200, 120, 40));
    const QByteArray bytes = Encoded(img, "JPG", 95);
    ASSERT_FALSE(bytes.isEmpty());
    const platform::Bitmap b = DecodePicture(bytes);
    ASSERT_EQ(b.Width(), 40);
    ASSERT_EQ(b.Height(), 20);
    const QColor c = platform::ToQColor(b.Pixel(20, 10));
    EXPECT_NEAR(c.red(), 200, 3);
    EXPECT_NEAR(c.green(), 120, 3);
    EXPECT_NEAR(c.blue(), 40, 3);
    EXPECT_EQ(b.ScanLine(10)[20] >> 24, 255u);
    // Cut short, it is refused with libjpeg's own words.
    try {
        DecodeJpeg(bytes.left(100));
        ADD_FAILURE() << "a truncated JPEG was accepted";
    } catch (const ESkinError& e) {
        EXPECT_TRUE(QString(e.what()).startsWith("JPEG: ")) << e.what();
    }
}
