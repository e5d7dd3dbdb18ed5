#include "oracle/RuneCatalogue.h"
#include "platform/Bitmap.h"
#include "platform/ImageList.h"

#include "support/Printers.h"
#include <QFile>
#include <QFontDatabase>
#include <QPainter>
#include <QPainterPath>
#include <QRegularExpression>
#include <QStringList>
#include <algorithm>
#include <cmath>
#include <gtest/gtest.h>
#include <set>

using namespace oracle;

namespace {

struct RuneRow {
    const char* heading;
    int characters, lines;
    const char* line6; // null: no "РУНА В ГАДАНИИ." block
};

// Heading lines are exact; the sizes are the targets the texts keep within 15 %.
const RuneRow kRunes[kRuneCount] = {
    {"РУНА -  АС.", 810, 23, ""},         {"РУНА - Б (Берёза).", 3093, 78, ""},
    {"РУНА - В (Веди).", 595, 15, ""},    {"РУНА - Г (Глаголь). ", 2267, 60, ""},
    {"РУНА - Д (Добро).", 1280, 34, ""},  {"РУНА - Е (Есть).", 1422, 33, ""},
    {"РУНА - Ж (Живете).", 1052, 28, ""}, {"РУНА - З (Земля).", 730, 20, ""},
    {"РУНА - И (Иже).", 2089, 44, ""},    {"РУНА - К (Како).", 3221, 71, ""},
    {"РУНА - Л (Людие).", 3310, 68, ""},  {"РУНА - М (Мыслите).", 1982, 44, ""},
    {"РУНА - Н (Наш).", 2087, 42, " "},   {"РУНА - О (Он).", 1517, 33, ""},
    {"РУНА - П (Покой).", 1640, 36, ""},  {"РУНА - Р (Рцы).", 2650, 52, ""},
    {"РУНА - С (Слово).", 1150, 32, ""},  {"РУНА - Т (Твёрдо).", 2156, 47, " "},
    {"РУНА - У (Ук).", 1934, 52, ""},     {"РУНА - Ф (Ферт).", 1496, 36, ""},
    {"РУНА - Х (Хер).", 1311, 28, " "},   {"РУНА - Ч (Чары).", 718, 17, ""},
    {"РУНА - Ы.", 2031, 43, ""},          {"Руна - Зело (Очень,много).", 1232, 25, nullptr},
};

const TextStore& Store() {
    static const TextStore store = TextStore::LoadEmbedded();
    return store;
}

QStringList Lines(const QString& text) {
    return text.split(QStringLiteral("\r\n"));
}

QString Spaces(int n) {
    return QString(n, u' ');
}

const QString kOpenInOrder = QStringLiteral("ОТКРЫВАЙТЕ РУНЫ ПО ПОРЯДКУ!");
const QString kMeanings = QStringLiteral("Значения рун в этом раскладе следующие:");

} // namespace

TEST(Catalogue, LabelsAreKeyedByNumber) {
    EXPECT_EQ(InterpretationLabel(1), "sLabel1");
    EXPECT_EQ(InterpretationLabel(24), "sLabel24");
    EXPECT_EQ(InterpretationLabel(0), QString());
    EXPECT_EQ(InterpretationLabel(25), QString());
    EXPECT_EQ(GuideLabel(4), "sLabel25");
    EXPECT_EQ(GuideLabel(6), "sLabel27");
    EXPECT_EQ(GuideLabel(1), QString());
    EXPECT_EQ(Store().Count(), 27);
    EXPECT_EQ(Store().Caption("sLabel28"), QString());
}

TEST(Catalogue, EveryRuneNameIsTheOneItsTextIsHeadedWith) {
    std::set<QString> names;
    for (int n = 1; n <= kRuneCount; ++n) {
        const QString name = RuneName(n);
        ASSERT_FALSE(name.isEmpty()) << n;
        names.insert(name);
        // The heading gives the name in brackets or as a word after the dash.
        const QString heading = Lines(Store().Caption(InterpretationLabel(n)))[2];
        const QRegularExpression word(QStringLiteral("[-(]\\s*%1[.) ]").arg(name),
                                      QRegularExpression::CaseInsensitiveOption);
        const bool named = heading.contains(word);
        EXPECT_TRUE(named) << n << " " << name.toStdString() << " / " << heading.toStdString();
    }
    EXPECT_EQ(int(names.size()), kRuneCount);
    EXPECT_EQ(RuneName(0), QString());
    EXPECT_EQ(RuneName(25), QString());
}

TEST(Catalogue, StoredTextsUseCrLfWithNoBreakAfterTheLastLine) {
    EXPECT_EQ(TextStore::ToLogForm("a\nb\n"), "a\r\nb");
    EXPECT_EQ(TextStore::ToLogForm("a\r\n\nb"), "a\r\n\r\nb");
    for (int n = 1; n <= 27; ++n) {
        const QString text = Store().Caption(QStringLiteral("sLabel%1").arg(n));
        EXPECT_FALSE(text.endsWith(u'\n')) << n;
        EXPECT_EQ(text.count(u'\r'), text.count(u'\n')) << n;
        EXPECT_EQ(text.count(QStringLiteral("\r\n")), text.count(u'\n')) << n;
    }
}

TEST(Catalogue, EveryInterpretationFollowsTheLayout) {
    int withAnalogues = 0;
    for (int n = 1; n <= kRuneCount; ++n) {
        SCOPED_TRACE("rune " + std::to_string(n));
        const RuneRow& row = kRunes[n - 1];
        const QString text = Store().Caption(InterpretationLabel(n));
        const QStringList lines = Lines(text);
        ASSERT_GT(lines.size(), 8);
        EXPECT_EQ(lines[0], QString());
        EXPECT_EQ(lines[1], QString());
        EXPECT_EQ(lines[2], QString::fromUtf8(row.heading));
        EXPECT_EQ(lines[3], QString());
        int bodyStart = 4;
        if (row.line6) {
            EXPECT_EQ(lines[4], QStringLiteral("РУНА В ГАДАНИИ."));
            EXPECT_EQ(lines[5], QString::fromUtf8(row.line6));
            bodyStart = 6;
        } else {
            EXPECT_FALSE(lines.contains(QStringLiteral("РУНА В ГАДАНИИ.")));
        }
        EXPECT_FALSE(lines[bodyStart].trimmed().isEmpty());
        for (const QString& line : lines)
            EXPECT_LE(line.size(), 77) << line.toStdString();
        EXPECT_NEAR(text.size(), row.characters, row.characters * 0.15);
        EXPECT_NEAR(lines.size(), row.lines, row.lines * 0.15);
        EXPECT_FALSE(text.contains(u'&'));
        EXPECT_FALSE(text.contains(u'\t'));
        withAnalogues += std::any_of(lines.begin(), lines.end(), [](const QString& l) {
            return l.startsWith(QStringLiteral("Аналог"));
        });
    }
    EXPECT_GT(withAnalogues, kRuneCount / 2);
}

TEST(Catalogue, FourRuneGuideIsExact) {
    const QString expected =
        QStringList{
            Spaces(20) + kOpenInOrder,
            "",
            Spaces(14) + kMeanings,
            "",
            "1.нынешнее положение вещей",
            "2.препятствия, преграды, источник проблем, сдерживающая сила",
            "3.позитивные факторы, то, что помогает в данной ситуации",
            "4.то, что получится в результате ",
        }
            .join("\r\n");
    EXPECT_EQ(Store().Caption(GuideLabel(4)), expected);
    EXPECT_EQ(expected.size(), 289);
}

TEST(Catalogue, CrossAndSixRuneGuidesKeepTheirExactLines) {
    const QStringList cross = Lines(Store().Caption(GuideLabel(5)));
    EXPECT_EQ(Store().Caption(GuideLabel(5)).size(), 597);
    ASSERT_EQ(cross.size(), 15);
    EXPECT_EQ(cross[0], Spaces(20) + kOpenInOrder);
    EXPECT_EQ(cross[1], QString());
    for (int i = 2; i <= 6; ++i) {
        EXPECT_TRUE(cross[i].startsWith(u' ') && !cross[i].startsWith(QStringLiteral("  ")));
        EXPECT_GT(cross[i].size(), 20);
    }
    EXPECT_EQ(cross[7], Spaces(14));
    EXPECT_EQ(cross[8], Spaces(15) + kMeanings);
    EXPECT_EQ(cross[9], QString());
    EXPECT_EQ(cross.mid(10), (QStringList{
                                 "1.прошлое, первопричина нынешней ситуации",
                                 "2.нынешнее положение вещей",
                                 "3.будущее, то, что получится в результате",
                                 "4.позитивные факторы, то, что помогает в данной ситуации",
                                 "5.препятствия, преграды, источник проблем, сдерживающая сила",
                             }));

    const QStringList six = Lines(Store().Caption(GuideLabel(6)));
    EXPECT_EQ(Store().Caption(GuideLabel(6)).size(), 339);
    ASSERT_EQ(six.size(), 13);
    EXPECT_EQ(six[0], Spaces(23) + kOpenInOrder);
    EXPECT_EQ(six[1], QString());
    EXPECT_FALSE(six[2].isEmpty());
    EXPECT_FALSE(six[3].isEmpty());
    EXPECT_EQ(six[4], QString());
    EXPECT_EQ(six[5], Spaces(27) + QStringLiteral("Отвечают же они на следующее:"));
    EXPECT_EQ(six[6], QString());
    EXPECT_EQ(six.mid(7), (QStringList{
                              "1.Какова моя натура?",
                              "2.Зачем я родился?",
                              "3.Каково моё призвание?",
                              "4.Какова моя Судьба?",
                              "5.Каков мой крест (т.е., испытания)?",
                              "6.Какова моя сущность?",
                          }));
}

// ---- Pictures -------------------------------------------------------------

namespace {

constexpr platform::TColor kPureRed = platform::RGBColor(255, 0, 0);

int CountPixels(const platform::Bitmap& b, const std::function<bool(platform::TColor)>& pred) {
    int n = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            n += pred(b.Pixel(x, y));
    return n;
}

bool IsDark(platform::TColor c) {
    const uint32_t u = static_cast<uint32_t>(c);
    return platform::GetRValue(u) < 40 && platform::GetGValue(u) < 40 &&
           platform::GetBValue(u) < 40;
}

const platform::TImageList& Pictures() {
    static const platform::TImageList list = [] {
        platform::TImageList l(kPictureWidth, kPictureHeight);
        l.LoadStrip(platform::Bitmap::Load(kImageListResource));
        return l;
    }();
    return list;
}

// The black mask of numeral `digit` as the serif face draws it, centred.
std::vector<bool> NumeralMask(int digit) {
    QImage img(kPictureWidth, kPictureHeight, QImage::Format_RGB32);
    img.fill(Qt::white);
    QFont font(QStringLiteral("Liberation Serif"));
    font.setPixelSize(52);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, QString::number(digit));
    const QRectF r = path.boundingRect();
    QPainter p(&img);
    p.fillPath(path.translated((kPictureWidth - r.width()) / 2 - r.left(),
                               (kPictureHeight - r.height()) / 2 - r.top()),
               Qt::black);
    std::vector<bool> mask;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            mask.push_back(qGray(img.pixel(x, y)) < 128);
    return mask;
}

double Overlap(const std::vector<bool>& a, const std::vector<bool>& b) {
    int both = 0, either = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        both += a[i] && b[i];
        either += a[i] || b[i];
    }
    return either ? double(both) / either : 0.0;
}

} // namespace

TEST(Catalogue, ThePictureSetHasItsRoles) {
    const auto& list = Pictures();
    ASSERT_EQ(list.Count(), kPictureCount);
    const platform::Bitmap back = platform::Bitmap::Load(kRuneBackResource);
    EXPECT_EQ(back.Width(), kPictureWidth);
    EXPECT_EQ(back.Height(), kPictureHeight);
    EXPECT_EQ(back.SourceBitsPerPixel(), 24);
    EXPECT_TRUE(list.Picture(kRuneBackPicture) == back);
    EXPECT_EQ(CountPixels(back, [](auto c) { return c == kPureRed; }), 0);

    std::set<std::vector<bool>> glyphs;
    for (int n = 1; n <= kRuneCount; ++n) {
        const platform::Bitmap& face = list.Picture(FacePicture(n));
        std::vector<bool> mask;
        for (int y = 0; y < face.Height(); ++y)
            for (int x = 0; x < face.Width(); ++x)
                mask.push_back(face.Pixel(x, y) == kPureRed);
        const int red = static_cast<int>(std::count(mask.begin(), mask.end(), true));
        EXPECT_GT(red, 150) << "rune " << n << " needs a clear red glyph";
        EXPECT_LT(red, 1200) << "rune " << n << " should stay mostly wood";
        glyphs.insert(mask);
    }
    EXPECT_EQ(glyphs.size(), size_t(kRuneCount)) << "every glyph is distinct";
    EXPECT_EQ(CountPixels(list.Picture(kPlainFacePicture), [](auto c) { return c == kPureRed; }),
              0);
}

TEST(Catalogue, NumberTilesShowTheirNumeralsOnTheBack) {
    const auto& list = Pictures();
    const platform::Bitmap back = platform::Bitmap::Load(kRuneBackResource);
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE("tile " + std::to_string(k));
        const platform::Bitmap& tile = list.Picture(NumberTilePicture(k));
        // Outside the numeral the tile is the back itself.
        EXPECT_EQ(tile.Pixel(2, 2), back.Pixel(2, 2));
        EXPECT_EQ(tile.Pixel(50, 74), back.Pixel(50, 74));
        EXPECT_GT(CountPixels(tile, [](auto c) { return c == kPureRed; }), 20) << "red shadow";
        std::vector<bool> black;
        for (int y = 0; y < tile.Height(); ++y)
            for (int x = 0; x < tile.Width(); ++x)
                black.push_back(IsDark(tile.Pixel(x, y)) && !IsDark(back.Pixel(x, y)));
        // The tile's numeral matches numeral k better than any other.
        int best = 0;
        double bestScore = -1;
        for (int d = 1; d <= 6; ++d) {
            const double score = Overlap(black, NumeralMask(d));
            if (score > bestScore) {
                bestScore = score;
                best = d;
            }
        }
        EXPECT_EQ(best, k);
    }
}

// Black reads on the tiles only where its surround is light: the pixels
// around the numeral must stand out from black as print from paper.
TEST(Catalogue, NumberTileNumeralsAreRingedWithALightEdge) {
    auto luminance = [](platform::TColor c) {
        const uint32_t u = static_cast<uint32_t>(c);
        auto lin = [](int v) {
            const double s = v / 255.0;
            return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
        };
        return 0.2126 * lin(platform::GetRValue(u)) + 0.7152 * lin(platform::GetGValue(u)) +
               0.0722 * lin(platform::GetBValue(u));
    };
    const auto& list = Pictures();
    for (int k = 1; k <= 6; ++k) {
        SCOPED_TRACE("tile " + std::to_string(k));
        const platform::Bitmap& tile = list.Picture(NumberTilePicture(k));
        auto black = [&](int x, int y) {
            return x >= 0 && y >= 0 && x < tile.Width() && y < tile.Height() &&
                   IsDark(tile.Pixel(x, y));
        };
        // The surround of the numeral: pixels three steps from the nearest black
        // one, past the blended edge.
        auto nearBlack = [&](int x, int y, int d) {
            for (int dy = -d; dy <= d; ++dy)
                for (int dx = -d; dx <= d; ++dx)
                    if (black(x + dx, y + dy))
                        return true;
            return false;
        };
        std::vector<double> ring;
        for (int y = 0; y < tile.Height(); ++y)
            for (int x = 0; x < tile.Width(); ++x)
                if (nearBlack(x, y, 3) && !nearBlack(x, y, 2))
                    ring.push_back(luminance(tile.Pixel(x, y)));
        ASSERT_GT(ring.size(), 30u);
        std::sort(ring.begin(), ring.end());
        // Contrast with black, (L + 0.05) / 0.05, for the median pixel of the ring.
        const double contrast = (ring[ring.size() / 2] + 0.05) / 0.05;
        EXPECT_GE(contrast, 4.5);
    }
}

TEST(Catalogue, IconIs32By32) {
    const QImage icon(kIconResource);
    EXPECT_EQ(icon.size(), QSize(32, 32));
}
