#include "Glyphs.h"

#include <QPainter>
#include <QPainterPath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace runeart {

namespace {

constexpr double kGridWidth = 8.0, kGridHeight = 12.0;

Stroke ParseStroke(const std::string& text, int rune) {
    Stroke s;
    std::istringstream in(text);
    std::string point;
    while (in >> point) {
        const auto comma = point.find(',');
        if (comma == std::string::npos)
            throw std::runtime_error("glyph " + std::to_string(rune) + ": bad point " + point);
        s.emplace_back(std::stod(point.substr(0, comma)), std::stod(point.substr(comma + 1)));
    }
    if (s.size() < 2)
        throw std::runtime_error("glyph " + std::to_string(rune) + ": a stroke needs two points");
    return s;
}

QPainterPath GlyphPath(const Glyph& glyph, const QRectF& box) {
    QPainterPath path;
    for (const Stroke& s : glyph) {
        auto map = [&](QPointF p) {
            return QPointF(box.left() + p.x() / kGridWidth * box.width(),
                           box.top() + p.y() / kGridHeight * box.height());
        };
        path.moveTo(map(s.front()));
        for (size_t i = 1; i < s.size(); ++i)
            path.lineTo(map(s[i]));
    }
    return path;
}

} // namespace

std::vector<Glyph> ReadGlyphs(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    std::vector<Glyph> glyphs(24);
    std::string line;
    while (std::getline(in, line)) {
        line = line.substr(0, line.find('#'));
        std::istringstream row(line);
        int rune = 0;
        if (!(row >> rune))
            continue;
        if (rune < 1 || rune > 24 || !glyphs[rune - 1].empty())
            throw std::runtime_error("glyph number out of range or repeated: " +
                                     std::to_string(rune));
        std::string rest, stroke;
        std::getline(row, rest);
        std::istringstream strokes(rest);
        while (std::getline(strokes, stroke, ';'))
            glyphs[rune - 1].push_back(ParseStroke(stroke, rune));
    }
    for (int i = 0; i < 24; ++i)
        if (glyphs[i].empty())
            throw std::runtime_error("glyph " + std::to_string(i + 1) + " is missing");
    return glyphs;
}

void DrawGlyph(QImage& tablet, const Glyph& glyph, double penWidth, double scale) {
    const double marginX = tablet.width() * 0.2, marginY = tablet.height() * 0.14;
    const QRectF box(marginX, marginY, tablet.width() - 2 * marginX, tablet.height() - 2 * marginY);
    const QPainterPath path = GlyphPath(glyph, box);
    QPainter p(&tablet);
    p.setRenderHint(QPainter::Antialiasing);
    // The cut into the wood shows as a thin dark rim below and right.
    p.setPen(QPen(QColor(90, 45, 20, 110), penWidth + 1.5 * scale, Qt::SolidLine, Qt::RoundCap,
                  Qt::RoundJoin));
    p.drawPath(path.translated(0.8 * scale, 1.0 * scale));
    p.setPen(QPen(QColor(255, 0, 0), penWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(path);
}

} // namespace runeart
