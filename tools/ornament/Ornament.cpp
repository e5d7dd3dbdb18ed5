#include "Ornament.h"

#include <QPainter>
#include <QTransform>

namespace ornament {

std::vector<bool> SpiralCells(int n) {
    std::vector<bool> cells(size_t(n) * n, false);
    if (n <= 0)
        return cells;
    // Right, down, left, up; the walk turns clockwise. The first three runs
    // are the full side; after that every two runs are two cells shorter,
    // which leaves one empty cell between neighbouring turns.
    const int dx[4] = {1, 0, -1, 0}, dy[4] = {0, 1, 0, -1};
    int x = 0, y = 0, dir = 0;
    cells[0] = true;
    int run = n - 1;
    for (int leg = 0; run > 0; ++leg) {
        for (int i = 0; i < run; ++i) {
            x += dx[dir];
            y += dy[dir];
            cells[size_t(y) * n + x] = true;
        }
        dir = (dir + 1) % 4;
        if (leg >= 2 && leg % 2 == 0)
            run -= 2;
    }
    return cells;
}

QImage PaintOrnament(const OrnamentStyle& s) {
    // One spiral with its heart, in the top-left quarter.
    QImage quarter(s.Size, s.Size, QImage::Format_ARGB32);
    quarter.fill(Qt::transparent);
    {
        QPainter p(&quarter);
        const std::vector<bool> cells = SpiralCells(s.Cells);
        for (int cy = 0; cy < s.Cells; ++cy)
            for (int cx = 0; cx < s.Cells; ++cx)
                if (cells[size_t(cy) * s.Cells + cx])
                    p.fillRect(s.Margin + cx * s.Cell, s.Margin + cy * s.Cell, s.Cell, s.Cell,
                               s.Spiral);
        const int middle = s.Margin + (s.Cells * s.Cell) / 2;
        p.fillRect(middle - s.HeartSize / 2, middle - s.HeartSize / 2, s.HeartSize, s.HeartSize,
                   s.Heart);
    }
    QImage picture(s.Size, s.Size, QImage::Format_RGB32);
    picture.fill(s.Background);
    QPainter p(&picture);
    // Quarter turns of a square picture map pixels onto pixels exactly.
    for (int turn = 0; turn < 4; ++turn)
        p.drawImage(0, 0, quarter.transformed(QTransform().rotate(90.0 * turn)));
    p.fillRect((s.Size - s.CentreSize) / 2, (s.Size - s.CentreSize) / 2, s.CentreSize, s.CentreSize,
               s.Heart);
    return picture;
}

} // namespace ornament
