// Draws the ornament of the author window from content/art/ornament.txt:
//   ornament.bmp      80 x 80, 24 bits per pixel
//   ornament-400.png  the same at 400 % for review (not shipped)
// Usage: charolist-ornament ORNAMENT_TXT OUT_DIR
#include "../runeart/Wood.h"
#include "Ornament.h"

#include <QGuiApplication>
#include <cstdio>
#include <stdexcept>

namespace {

void Save(const QImage& img, const QString& path) {
    if (!img.save(path))
        throw std::runtime_error("cannot write " + path.toStdString());
}

void Run(const QString& description, const QString& outDir) {
    const auto settings = runeart::ReadSettings(description.toStdString());
    auto number = [&](const char* key) {
        return static_cast<int>(runeart::SettingNumber(settings, key));
    };
    ornament::OrnamentStyle style;
    style.Size = number("size");
    style.Background = runeart::SettingColor(settings, "background");
    style.Spiral = runeart::SettingColor(settings, "spiral");
    style.Heart = runeart::SettingColor(settings, "heart");
    style.Cells = number("spiral.cells");
    style.Cell = number("spiral.cell");
    style.Margin = number("spiral.margin");
    style.HeartSize = number("heart.size");
    style.CentreSize = number("centre.size");
    const QImage picture = ornament::PaintOrnament(style);
    // Qt writes pictures without an alpha channel as 24-bit BMPs.
    Save(picture.convertToFormat(QImage::Format_RGB888), outDir + "/ornament.bmp");
    Save(picture.scaled(picture.size() * 4), outDir + "/ornament-400.png");
}

} // namespace

int main(int argc, char** argv) {
    QGuiApplication app(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: %s ORNAMENT_TXT OUT_DIR\n", argv[0]);
        return 2;
    }
    try {
        Run(QString::fromLocal8Bit(argv[1]), QString::fromLocal8Bit(argv[2]));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "charolist-ornament: %s\n", e.what());
        return 1;
    }
    return 0;
}
