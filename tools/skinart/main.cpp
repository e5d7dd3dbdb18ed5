// charolist-skinart: paints the pictures of a skin of ours.
//   charolist-skinart OPTIONS SETTINGS OUTDIR
// reads the skin's options text (for the areas of every mask) and the
// settings of its pictures. For Wood it writes Master.bmp (24 bits per
// pixel), ButtonHuge.bmp (8 bits per pixel with a palette) and Bg_b.jpg; for
// Береста (settings with "skin = birch") Birch.png. Both get
// contact-sheet.png (every mask's frames enlarged, for review) in OUTDIR.
// Deterministic.
#include "Art.h"
#include "Birch.h"
#include "Painters.h"
#include "skin/data/SkinMasks.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <cstdio>
#include <map>
#include <set>
#include <tuple>

using namespace skinart;

namespace {

constexpr int kMasterWidth = 398, kMasterHeight = 327;

QRect AreaRect(const skin::TsMaskData& m) {
    return QRect(m.Area.Left, m.Area.Top, m.Area.Width(), m.Area.Height());
}

// Every mask of the options must be painted, once per area.
void PaintMaster(const skin::TsSkinImages& images, const Palette& palette, QImage& master) {
    std::set<std::tuple<int, int, int, int>> painted;
    for (const skin::TsMaskData& m : images.Masks) {
        const auto key = std::make_tuple(m.Area.Left, m.Area.Top, m.Area.Right, m.Area.Bottom);
        if (painted.count(key))
            continue;
        const QRect area = AreaRect(m);
        if (!QRect(0, 0, kMasterWidth, kMasterHeight).contains(area))
            throw std::runtime_error(("the area of " + m.SectionName + "/" + m.KeyName +
                                      " lies outside the master image")
                                         .toStdString());
        const MaskPlace place{area,       m.FrameCount, m.MaskKind != 0, m.LeftWidth,
                              m.TopWidth, m.RightWidth, m.BottomWidth};
        PaintMask(place, palette, master);
        painted.insert(key);
    }
}

void Save(const QImage& image, const QString& path, const char* format, int quality = -1) {
    if (!image.save(path, format, quality))
        throw std::runtime_error(("cannot write " + path).toStdString());
}

// Every area of a mask at four times its size (large ones smaller) with the
// names of the masks that use it, on a neutral grey, for looking over the
// skin.
QImage ContactSheet(const skin::TsSkinImages& images, const QImage& master,
                    const QImage& ownPicture) {
    constexpr int kWidth = 1400, kLabel = 14, kGap = 10;
    std::vector<std::pair<QString, QImage>> tiles;
    std::map<std::tuple<bool, int, int, int, int>, size_t> seen;
    for (const skin::TsMaskData& m : images.Masks) {
        const bool own = m.SectionName == "BUTTON_HUGE";
        if (m.OwnImage && !own)
            continue; // the background picture is a file of its own
        const QRect area = own ? ownPicture.rect() : AreaRect(m);
        const auto key = std::make_tuple(own, area.left(), area.top(), area.width(), area.height());
        const QString name = m.SectionName + "/" + m.KeyName;
        if (const auto it = seen.find(key); it != seen.end()) {
            tiles[it->second].first += ", " + name;
            continue;
        }
        const int zoom = std::clamp((kWidth - 2 * kGap) / std::max(1, area.width()), 1, 4);
        seen[key] = tiles.size();
        tiles.emplace_back(name, (own ? ownPicture : master).copy(area).scaled(area.size() * zoom));
    }
    int x = kGap, y = kGap, rowHeight = 0, height = kGap;
    std::vector<QPoint> places;
    for (const auto& [name, tile] : tiles) {
        const int w = std::max(tile.width(), 180);
        if (x + w > kWidth - kGap) {
            x = kGap;
            y += rowHeight + kGap;
            rowHeight = 0;
        }
        places.emplace_back(x, y);
        x += w + kGap;
        rowHeight = std::max(rowHeight, tile.height() + kLabel);
        height = y + rowHeight + kGap;
    }
    QImage sheet(kWidth, height, QImage::Format_RGB32);
    sheet.fill(QColor(128, 128, 128));
    QPainter p(&sheet);
    p.setFont(QFont(QStringLiteral("Liberation Sans"), 7));
    for (size_t i = 0; i < tiles.size(); ++i) {
        p.setPen(Qt::white);
        p.drawText(QRect(places[i], QSize(std::max(tiles[i].second.width(), 180), kLabel)),
                   Qt::AlignLeft | Qt::AlignVCenter, tiles[i].first);
        p.drawImage(places[i] + QPoint(0, kLabel), tiles[i].second);
    }
    return sheet;
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: charolist-skinart OPTIONS SETTINGS OUTDIR\n");
        return 2;
    }
    try {
        QFile optionsFile(QString::fromLocal8Bit(argv[1]));
        if (!optionsFile.open(QIODevice::ReadOnly))
            throw std::runtime_error(std::string("cannot read ") + argv[1]);
        const skin::TIniFile options = skin::TIniFile::FromBytes(optionsFile.readAll());
        skin::TsSkinImages images;
        // No pictures yet: only the areas of the options are wanted.
        skin::LoadMasks(options, skin::PictureSource{}, images);
        const Settings settings = ReadSettings(argv[2]);
        const QString out = QString::fromLocal8Bit(argv[3]);
        QDir().mkpath(out);
        if (IsBirch(settings)) {
            const QImage master = PaintBirchMaster(images, settings);
            Save(master.convertToFormat(QImage::Format_RGB888), out + "/Birch.png", "PNG");
            Save(ContactSheet(images, master, QImage()), out + "/contact-sheet.png", "PNG");
            return 0;
        }
        const Palette palette = ReadPalette(settings);

        QImage master(kMasterWidth, kMasterHeight, QImage::Format_RGB32);
        master.fill(kMagenta);
        PaintMaster(images, palette, master);
        Save(master.convertToFormat(QImage::Format_RGB888), out + "/Master.bmp", "BMP");

        const QImage huge = PaintHugeButton(palette);
        Save(huge, out + "/ButtonHuge.bmp", "BMP");
        Save(PaintBackground(palette), out + "/Bg_b.jpg", "JPG", 92);
        Save(ContactSheet(images, master, huge.convertToFormat(QImage::Format_RGB32)),
             out + "/contact-sheet.png", "PNG");
    } catch (const std::exception& e) {
        std::fprintf(stderr, "charolist-skinart: %s\n", e.what());
        return 1;
    }
    return 0;
}
