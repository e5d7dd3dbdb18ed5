// Finds every place where a picture appears, pixel for pixel, in a screenshot.
// Usage: charolist-e2e-find SCREENSHOT PICTURE [X0 Y0 X1 Y1]
// Prints one "x y" line per match (top-left corners), searching only corners
// inside the optional rectangle. Exits 2 when a file cannot be read.
#include <QGuiApplication>
#include <QImage>
#include <cstdio>
#include <cstring>

int main(int argc, char** argv) {
    if (argc != 3 && argc != 7) {
        std::fprintf(stderr, "usage: %s SCREENSHOT PICTURE [X0 Y0 X1 Y1]\n", argv[0]);
        return 2;
    }
    const QImage shot =
        QImage(QString::fromLocal8Bit(argv[1])).convertToFormat(QImage::Format_RGB32);
    const QImage pic =
        QImage(QString::fromLocal8Bit(argv[2])).convertToFormat(QImage::Format_RGB32);
    if (shot.isNull() || pic.isNull()) {
        std::fprintf(stderr, "cannot read %s\n", shot.isNull() ? argv[1] : argv[2]);
        return 2;
    }
    int x0 = 0, y0 = 0, x1 = shot.width() - pic.width(), y1 = shot.height() - pic.height();
    if (argc == 7) {
        x0 = std::max(x0, std::atoi(argv[3]));
        y0 = std::max(y0, std::atoi(argv[4]));
        x1 = std::min(x1, std::atoi(argv[5]));
        y1 = std::min(y1, std::atoi(argv[6]));
    }
    const size_t rowBytes = sizeof(QRgb) * pic.width();
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            bool same = true;
            for (int r = 0; r < pic.height() && same; ++r)
                same = std::memcmp(shot.constScanLine(y + r) + sizeof(QRgb) * x,
                                   pic.constScanLine(r), rowBytes) == 0;
            if (same)
                std::printf("%d %d\n", x, y);
        }
    return 0;
}
