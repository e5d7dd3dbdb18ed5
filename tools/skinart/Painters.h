// The pictures of the Wood skin, one painter per area of the master image.
#pragma once

#include "Art.h"

#include <string>

namespace skinart {

struct Palette {
    WoodLook Board, Back, Title, Light, Dark, Honey;
    QColor Rim, Edge, Face, LightFace, Paper, Shine, Shadow, Gold, Amber, Ink, Ember;
    QColor Mean; // the skin's global colour: the big texture's mean
};
Palette ReadPalette(const Settings& s);

// Paints the area of one mask; throws for an area no painter knows.
void PaintMask(const MaskPlace& place, const Palette& palette, QImage& master);

// ButtonHuge.bmp: three 96 x 96 frames of a big button over their masks,
// 8 bits per pixel with a palette of wood shades, greys and magenta.
QImage PaintHugeButton(const Palette& palette);
// Bg_b.jpg: the window background, 398 x 145, tiling without seams.
QImage PaintBackground(const Palette& palette);

} // namespace skinart
