// Draws the rune pictures from the descriptions in content/art:
//   back.bmp     the rune back, 53 x 77, 24 bits per pixel
//   runes.bmp    the 32 pictures of the image list side by side, 24 bits
//   mainicon.png the 32 x 32 application icon
//   icon-N.png   the same icon drawn at N x N for the desktop (N = 16 ... 256)
//   runes-400.png a review sheet of all pictures at 400 % (not shipped)
// Usage: charolist-runeart CONTENT_ART_DIR FONT_DIR OUT_DIR
#include "Glyphs.h"
#include "Wood.h"

#include <QFile>
#include <QFont>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace {

constexpr int kW = 53, kH = 77, kPictures = 32;
// The sizes of the desktop's icon theme that the program installs.
constexpr int kIconSizes[] = {16, 24, 32, 48, 64, 128, 256};

void PutLE(QByteArray& out, uint32_t v, int bytes) {
    for (int i = 0; i < bytes; ++i)
        out.append(static_cast<char>((v >> (8 * i)) & 0xFF));
}

// A bottom-up, 24 bits per pixel, uncompressed BMP.
void SaveBmp24(const QImage& img, const QString& path) {
    const int stride = (img.width() * 3 + 3) & ~3;
    QByteArray out;
    out.append("BM");
    PutLE(out, 54 + stride * img.height(), 4);
    PutLE(out, 0, 4);
    PutLE(out, 54, 4);
    PutLE(out, 40, 4);
    PutLE(out, img.width(), 4);
    PutLE(out, img.height(), 4);
    PutLE(out, 1, 2);
    PutLE(out, 24, 2);
    PutLE(out, 0, 4);
    PutLE(out, stride * img.height(), 4);
    PutLE(out, 2835, 4);
    PutLE(out, 2835, 4);
    PutLE(out, 0, 4);
    PutLE(out, 0, 4);
    for (int y = img.height() - 1; y >= 0; --y) {
        const auto* row = reinterpret_cast<const QRgb*>(img.constScanLine(y));
        for (int x = 0; x < img.width(); ++x) {
            out.append(static_cast<char>(qBlue(row[x])));
            out.append(static_cast<char>(qGreen(row[x])));
            out.append(static_cast<char>(qRed(row[x])));
        }
        out.append(QByteArray(stride - img.width() * 3, '\0'));
    }
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly) || f.write(out) != out.size())
        throw std::runtime_error("cannot write " + path.toStdString());
}

void Save(const QImage& img, const QString& path) {
    if (!img.save(path))
        throw std::runtime_error("cannot write " + path.toStdString());
}

struct NumeralStyle {
    QString family;
    int size, shadow;
    QColor halo; // a light rim, so the black numeral stands out from the dark wood
    double haloWidth;
};

QImage NumberTile(const QImage& back, int number, const NumeralStyle& style) {
    QImage tile = back.copy();
    QPainter p(&tile);
    p.setRenderHint(QPainter::Antialiasing);
    p.setRenderHint(QPainter::TextAntialiasing);
    QFont font(style.family);
    font.setPixelSize(style.size);
    font.setBold(true);
    QPainterPath path;
    path.addText(0, 0, font, QString::number(number));
    const QRectF r = path.boundingRect();
    const QPointF at(std::round((kW - r.width()) / 2 - r.left()),
                     std::round((kH - r.height()) / 2 - r.top()));
    const QPointF shadow(style.shadow, style.shadow);
    QPainterPath rim = path.translated(at);
    rim.addPath(path.translated(at + shadow));
    p.strokePath(rim,
                 QPen(style.halo, style.haloWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.fillPath(path.translated(at + shadow), QColor(255, 0, 0));
    p.fillPath(path.translated(at), Qt::black);
    return tile;
}

// The program's icon at `size` pixels square: a birch tablet with rounded
// corners and the first rune cut into it, drawn afresh at every size so that
// each stays crisp. The tablet's sides are whole pixels; its outline is one
// pixel (or more at large sizes) inside its edge.
//
//   |m|<---- size - 2m ---->|m|     m = 3 at 32 pixels, in proportion
//   +-+---------------------+-+
//   | |/~~~~~~~~~~~~~~~~~~~\| |
//   | |     wood, rune      | |
//   | |\___________________/| |
QImage Icon(const runeart::WoodStyle& light, const runeart::Noise& noise,
            const runeart::Glyph& glyph, int size) {
    const double k = size / 32.0;
    const int margin = size * 3 / 32, width = size - 2 * margin;
    QImage wood = runeart::PaintTablet(light, noise, width, size, 11.0 * k,
                                       std::max(2, static_cast<int>(std::lround(3 * k))));
    // Small icons get strokes of whole pixels and no carved shadow, which at
    // that size would only blur the strokes into each other.
    const double stroke = size < 32 ? std::round(3.2 * k) : 3.2 * k;
    runeart::DrawGlyph(wood, glyph, stroke, size <= 16 ? 0.0 : k);
    QImage icon(size, size, QImage::Format_ARGB32);
    icon.fill(Qt::transparent);
    QPainter p(&icon);
    p.setRenderHint(QPainter::Antialiasing);
    const double radius = 4.0 * k;
    QPainterPath outline;
    outline.addRoundedRect(QRectF(margin, 0, width, size), radius, radius);
    p.setClipPath(outline);
    p.drawImage(margin, 0, wood);
    p.setClipping(false);
    const double pen = std::max(1.0, std::round(k));
    const QRectF inner =
        QRectF(margin, 0, width, size).adjusted(pen / 2, pen / 2, -pen / 2, -pen / 2);
    p.setPen(QPen(QColor(70, 40, 18), pen));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(inner, radius - pen / 2, radius - pen / 2);
    return icon;
}

QImage ReviewSheet(const QImage& strip) {
    constexpr int kScale = 4, kGap = 8, kColumns = 8;
    const int rows = (kPictures + kColumns - 1) / kColumns;
    QImage sheet(kColumns * (kW * kScale + kGap) + kGap, rows * (kH * kScale + kGap) + kGap,
                 QImage::Format_RGB32);
    sheet.fill(QColor(40, 40, 40));
    QPainter p(&sheet);
    for (int i = 0; i < kPictures; ++i) {
        const QImage pic = strip.copy(i * kW, 0, kW, kH).scaled(kW * kScale, kH * kScale);
        p.drawImage(kGap + (i % kColumns) * (kW * kScale + kGap),
                    kGap + (i / kColumns) * (kH * kScale + kGap), pic);
    }
    return sheet;
}

void Run(const QString& artDir, const QString& fontDir, const QString& outDir) {
    const auto settings = runeart::ReadSettings((artDir + "/wood.txt").toStdString());
    const auto glyphs = runeart::ReadGlyphs((artDir + "/glyphs.txt").toStdString());
    const auto seed = static_cast<uint32_t>(runeart::SettingNumber(settings, "seed"));
    const auto dark = runeart::ReadWoodStyle(settings, "dark");
    const auto light = runeart::ReadWoodStyle(settings, "light");
    const runeart::Noise darkNoise(seed), lightNoise(seed + 1);

    const int fontId = QFontDatabase::addApplicationFont(fontDir + "/LiberationSerif-Bold.ttf");
    if (fontId < 0)
        throw std::runtime_error("cannot load the numeral font from " + fontDir.toStdString());
    const QString family = QFontDatabase::applicationFontFamilies(fontId).value(0);

    const QImage back = runeart::PaintTablet(dark, darkNoise, kW, kH, 0.0);
    QImage strip(kW * kPictures, kH, QImage::Format_RGB32);
    QPainter p(&strip);
    p.drawImage(0, 0, back);
    for (int rune = 1; rune <= 24; ++rune) {
        QImage face = runeart::PaintTablet(light, lightNoise, kW, kH, rune * 37.0);
        runeart::DrawGlyph(face, glyphs[rune - 1], 4.5);
        p.drawImage(rune * kW, 0, face);
    }
    p.drawImage(25 * kW, 0, runeart::PaintTablet(light, lightNoise, kW, kH, 0.0));
    const NumeralStyle numeral{
        family,
        static_cast<int>(runeart::SettingNumber(settings, "numeral.size")),
        static_cast<int>(runeart::SettingNumber(settings, "numeral.shadow")),
        runeart::SettingColor(settings, "numeral.halo"),
        runeart::SettingNumber(settings, "numeral.halo.width"),
    };
    for (int k = 1; k <= 6; ++k)
        p.drawImage((25 + k) * kW, 0, NumberTile(back, k, numeral));
    p.end();

    SaveBmp24(back, outDir + "/back.bmp");
    SaveBmp24(strip, outDir + "/runes.bmp");
    Save(Icon(light, lightNoise, glyphs[0], 32), outDir + "/mainicon.png");
    for (const int size : kIconSizes)
        Save(Icon(light, lightNoise, glyphs[0], size),
             QStringLiteral("%1/icon-%2.png").arg(outDir).arg(size));
    Save(ReviewSheet(strip), outDir + "/runes-400.png");
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: %s CONTENT_ART_DIR FONT_DIR OUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]),
            QString::fromLocal8Bit(argv[3]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "charolist-runeart: %s\n", e.what());
        return 1;
    }
    return 0;
}
