// Rune glyphs: strokes read from a description and drawn in pure red.
#pragma once

#include <QImage>
#include <QPointF>
#include <string>
#include <vector>

namespace runeart {

using Stroke = std::vector<QPointF>;
using Glyph = std::vector<Stroke>;

// Reads the glyph description; the result holds glyphs 1..24 at [0..23].
std::vector<Glyph> ReadGlyphs(const std::string& path);

// Draws a glyph over a tablet: a faint carved shadow, then the red strokes.
// The grid (8 x 12 units) is fitted into the tablet with a margin.
// `scale` enlarges the carved shadow with the picture (1 at the rune size).
void DrawGlyph(QImage& tablet, const Glyph& glyph, double penWidth, double scale = 1.0);

} // namespace runeart
