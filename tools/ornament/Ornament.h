// The ornament of the author window, drawn from its description: square
// spirals on a grid of cells, turned about the picture's centre.
#pragma once

#include <QColor>
#include <QImage>
#include <vector>

namespace ornament {

struct OrnamentStyle {
    int Size = 80;
    QColor Background, Spiral, Heart;
    int Cells = 17; // cells across one spiral (odd, so the spiral ends in the middle one)
    int Cell = 2;   // pixels per cell
    int Margin = 3; // from the picture's edges to a spiral
    int HeartSize = 4;
    int CentreSize = 6;
};

// Which cells of an n × n grid a square spiral fills: it starts at the
// top-left cell, runs clockwise along the edges and winds inwards with one
// empty cell between its turns. Row by row, true for a filled cell.
std::vector<bool> SpiralCells(int n);

// The whole picture: the top-left spiral, and three copies of it turned by
// a quarter each about the centre, hearts and the centre square.
QImage PaintOrnament(const OrnamentStyle& style);

} // namespace ornament
