#include "Birch.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <functional>
#include <map>
#include <set>
#include <stdexcept>
#include <tuple>
#include <utility>

namespace skinart {

bool IsBirch(const Settings& s) {
    const auto it = s.find("skin");
    return it != s.end() && it->second == "birch";
}

namespace {

struct BarkLook {
    QColor Ground, Band, Dash;
    int Dashes = 20; // dashes in a 64 x 64 piece
    int Patches = 0; // larger dark marks in the whole tile
    uint32_t Seed = 1;
};

BarkLook ReadBarkLook(const Settings& s, const std::string& prefix) {
    return {SettingColor(s, prefix + ".ground"),
            SettingColor(s, prefix + ".band"),
            SettingColor(s, prefix + ".dash"),
            static_cast<int>(SettingNumber(s, prefix + ".dashes")),
            static_cast<int>(SettingNumber(s, prefix + ".patches")),
            static_cast<uint32_t>(SettingNumber(s, prefix + ".seed"))};
}

struct BirchPalette {
    BarkLook Bark, Title, Active, Paper, Leafy;
    QColor Rim, Line, White, PaperColour, Sky, SkyDeep, Ink, Leaf, LeafLight, Rose;
};

BirchPalette ReadBirchPalette(const Settings& s) {
    BirchPalette p;
    p.Bark = ReadBarkLook(s, "bark");
    p.Title = ReadBarkLook(s, "title");
    p.Active = ReadBarkLook(s, "active");
    p.Paper = ReadBarkLook(s, "paper");
    p.Leafy = ReadBarkLook(s, "leafy");
    p.Rim = SettingColor(s, "colour.rim");
    p.Line = SettingColor(s, "colour.line");
    p.White = SettingColor(s, "colour.white");
    p.PaperColour = SettingColor(s, "colour.paper");
    p.Sky = SettingColor(s, "colour.sky");
    p.SkyDeep = SettingColor(s, "colour.skydeep");
    p.Ink = SettingColor(s, "colour.ink");
    p.Leaf = SettingColor(s, "colour.leaf");
    p.LeafLight = SettingColor(s, "colour.leaflight");
    p.Rose = SettingColor(s, "colour.rose");
    return p;
}

// A small deterministic generator for the places of the dashes.
class Dice {
public:
    explicit Dice(uint32_t seed) : state_(seed * 2654435761u + 1u) {}
    double Next() {
        state_ = state_ * 1664525u + 1013904223u;
        return (state_ >> 8) / double(1u << 24);
    }
    double Between(double a, double b) { return a + (b - a) * Next(); }

private:
    uint32_t state_;
};

// Birch bark that tiles: a white ground with soft grey bands running
// across, fine fibres, the short dark dashes of the lenticels with a lit
// lip under each, and a few larger dark marks. Everything wraps at the
// tile's edges.
QImage BarkTexture(const BarkLook& look, int width, int height) {
    const PeriodicNoise bands(look.Seed, 1, std::max(2, height / 8));
    const PeriodicNoise fibres(look.Seed + 31u, std::max(1, width / 6), std::max(2, height / 2));
    std::vector<double> shade(size_t(width) * height), dark(size_t(width) * height, 0.0),
        lip(size_t(width) * height, 0.0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double u = (x + 0.5) / width, v = (y + 0.5) / height;
            const double band = bands.Fractal(u, v * std::max(2, height / 8), 3);
            const double fibre =
                fibres.Fractal(u * std::max(1, width / 6), v * std::max(2, height / 2), 2);
            shade[size_t(y) * width + x] =
                std::clamp((band - 0.42) * 2.2, 0.0, 1.0) * 0.85 + (fibre - 0.5) * 0.25;
        }
    auto at = [&](std::vector<double>& plane, int x, int y) -> double& {
        x = ((x % width) + width) % width;
        y = ((y % height) + height) % height;
        return plane[size_t(y) * width + x];
    };
    Dice dice(look.Seed + 101u);
    const int dashes =
        look.Dashes > 0 ? std::max(1, int(std::lround(look.Dashes * width * height / 4096.0))) : 0;
    for (int i = 0; i < dashes; ++i) {
        const double cx = dice.Between(0, width), cy = std::floor(dice.Between(0, height));
        const double half = dice.Between(1.5, std::min(7.0, width / 6.0));
        const double strength = dice.Between(0.45, 1.0);
        const bool thick = dice.Next() < 0.3;
        for (int x = int(std::floor(cx - half)); x <= int(std::ceil(cx + half)); ++x) {
            // Tapered ends.
            const double t = 1.0 - std::abs(x + 0.5 - cx) / (half + 0.5);
            if (t <= 0)
                continue;
            const double w = strength * std::min(1.0, t * 2.2);
            double& d = at(dark, x, int(cy));
            d = std::max(d, w);
            if (thick) {
                double& d2 = at(dark, x, int(cy) - 1);
                d2 = std::max(d2, w * 0.55);
            }
            double& l = at(lip, x, int(cy) + 1);
            l = std::max(l, w * 0.5);
        }
    }
    for (int i = 0; i < look.Patches; ++i) {
        const double cx = dice.Between(0, width), cy = dice.Between(0, height);
        const double rx = dice.Between(width / 10.0, width / 6.0), ry = dice.Between(2.0, 3.5);
        for (int y = int(cy - ry - 2); y <= int(cy + ry + 2); ++y)
            for (int x = int(cx - rx - 2); x <= int(cx + rx + 2); ++x) {
                const double dx = (x + 0.5 - cx) / rx, dy = (y + 0.5 - cy) / ry;
                const double wobble = 0.18 * std::sin(x * 1.7 + look.Seed) * std::cos(y * 2.3);
                const double r = std::sqrt(dx * dx + dy * dy) + wobble;
                if (r >= 1.0)
                    continue;
                double& d = at(dark, x, y);
                d = std::max(d, std::min(1.0, (1.0 - r) * 3.0) * 0.9);
            }
    }
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            const size_t i = size_t(y) * width + x;
            QColor c = Mix(look.Ground, look.Band, std::clamp(shade[i], 0.0, 1.0));
            c = Mix(c, QColor(255, 255, 255), lip[i] * 0.6);
            c = Mix(c, look.Dash, dark[i]);
            row[x] = c.rgb();
        }
    }
    return img;
}

void TextureArea(QImage& master, const MaskPlace& place, const BarkLook& look) {
    const QImage tile = BarkTexture(look, place.Area.width(), place.Area.height());
    for (int y = 0; y < tile.height(); ++y)
        for (int x = 0; x < tile.width(); ++x)
            master.setPixel(place.Area.left() + x, place.Area.top() + y, tile.pixel(x, y));
}

// ---------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------

// One line of a frame: its colour on edges facing the light and on edges
// facing away.
struct Line {
    QColor Lit, Shade;
};
QColor LineColour(const Line& line, double light) {
    return Mix(line.Shade, line.Lit, light * 0.5 + 0.5);
}

// A rounded frame of lines from the outside in. Its radius must not exceed
// the mask's side widths: edges are copied from the frame's middle, which
// must be straight. A plain (keyed) area has
// no see-through pixels inside its outline, so its last line goes on
// inwards; a masked one lets the control's fill show past the lines.
void PaintLines(QImage& master, const MaskPlace& place, double radius,
                const std::function<std::vector<Line>(int frame)>& linesOf) {
    PaintFrames(master, place, [&](int frame) {
        const std::vector<Line> lines = linesOf(frame);
        return PaintShape(place.FrameWidth(), place.FrameHeight(), radius,
                          [&](double depth, double light, int, int) -> QColor {
                              const size_t k = size_t(depth);
                              if (k < lines.size())
                                  return LineColour(lines[k], light);
                              return place.Masked ? QColor() : LineColour(lines.back(), light);
                          });
    });
}

// Lines that only tint the fill beneath them: a masked area's band whose
// mask lets `show` of the fill through.
void TintInside(QImage& master, const MaskPlace& place, int frame, double radius,
                const std::vector<std::pair<QColor, int>>& bands, int firstDepth) {
    const int fw = place.FrameWidth(), fh = place.FrameHeight();
    const int left = place.Area.left() + frame * fw, top = place.Area.top();
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
            const Shape s = RoundedRect(x + 0.5, y + 0.5, fw, fh, radius);
            const int k = int(-s.Distance - 0.5) - firstDepth;
            if (s.Distance > -0.5 || k < 0 || k >= int(bands.size()))
                continue;
            const auto& [colour, show] = bands[size_t(k)];
            master.setPixel(left + x, top + y, colour.rgb());
            master.setPixel(left + x, top + fh + y, qRgb(show, show, show));
        }
}

// ---------------------------------------------------------------------------
// Glyphs
// ---------------------------------------------------------------------------

// Distance from a point to a segment.
double ToSegment(double px, double py, double ax, double ay, double bx, double by) {
    const double dx = bx - ax, dy = by - ay;
    const double t = std::clamp(((px - ax) * dx + (py - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    return std::hypot(px - ax - t * dx, py - ay - t * dy);
}

// How much of a pixel a stroke along the segments covers, `width` wide.
double StrokeCover(int x, int y, const std::vector<std::array<double, 4>>& segments, double width) {
    double best = 1e9;
    for (const auto& s : segments)
        best = std::min(best, ToSegment(x + 0.5, y + 0.5, s[0], s[1], s[2], s[3]));
    return std::clamp(width / 2.0 + 0.5 - best, 0.0, 1.0);
}

// The strokes of a title button's symbol in a 20 x 18 frame.
std::vector<std::array<double, 4>> TitleSymbol(const std::string& name) {
    const double l = 6.5, r = 13.5, t = 5.5, b = 12.5;
    if (name == "CLOSE")
        return {{l, t, r, b}, {l, b, r, t}};
    if (name == "MIN")
        return {{l, b - 0.5, r, b - 0.5}};
    if (name == "MAX")
        return {{l, t, r, t}, {r, t, r, b}, {r, b, l, b}, {l, b, l, t}, {l, t + 1, r, t + 1}};
    // Restore: two overlapping windows.
    return {{l + 2, t, r, t},         {r, t, r, b - 2}, {l, t + 2, r - 2, t + 2},
            {r - 2, t + 2, r - 2, b}, {r - 2, b, l, b}, {l, b, l, t + 2}};
}

// A round pebble of bark with its symbol; under the mouse it turns leaf
// green, or rose for the close button.
void PaintTitleButton(QImage& master, const MaskPlace& place, const BirchPalette& p,
                      const std::string& name) {
    PaintFrames(master, place, [&](int frame) {
        const bool hot = frame > 0;
        const QColor hotFace = name == "CLOSE" ? p.Rose : p.Leaf;
        const int w = place.FrameWidth(), h = place.FrameHeight();
        Sprite s = PaintShape(
            w, h, 7.5,
            [&](double depth, double light, int, int y) -> QColor {
                if (depth < 1.0)
                    return hot ? Mix(hotFace, p.Ink, 0.35) : p.Line;
                if (depth < 2.0)
                    return hot ? Mix(hotFace, p.White, 0.35 + 0.25 * light)
                               : LineColour({p.White, p.Sky}, light);
                const double fall = double(y) / h;
                return hot ? Mix(hotFace, Mix(hotFace, p.White, 0.2), 1.0 - fall)
                           : Mix(p.PaperColour, p.Sky, fall);
            },
            1.0);
        const auto strokes = TitleSymbol(name);
        const QColor ink = hot ? p.White : p.Rim;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double c = StrokeCover(x, y, strokes, 1.6);
                if (c > 0)
                    s.Put(x, y, Mix(QColor::fromRgb(s.Picture.pixel(x, y)), ink, c), 1.0);
            }
        return s;
    });
}

// Supersampled cover of a triangle pointing `direction` in a frame.
void PaintArrow(QImage& master, const MaskPlace& place, const BirchPalette& p, char direction) {
    PaintFrames(master, place, [&](int frame) {
        const int w = place.FrameWidth(), h = place.FrameHeight();
        const bool vertical = direction == 'U' || direction == 'D';
        const double along = vertical ? h : w, across = vertical ? w : h;
        const bool back = direction == 'U' || direction == 'L';
        Sprite s(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                int inside = 0;
                for (int sy = 0; sy < 4; ++sy)
                    for (int sx = 0; sx < 4; ++sx) {
                        const double px = x + (sx + 0.5) / 4, py = y + (sy + 0.5) / 4;
                        double a = vertical ? py : px;
                        const double c = vertical ? px : py;
                        if (back)
                            a = along - a;
                        // The base at a = 0.5, the tip at along - 0.5.
                        const double t = (a - 0.5) / (along - 1.0);
                        const double half = (1.0 - t) * (across / 2.0 - 0.2);
                        inside += t >= 0 && t <= 1 && std::abs(c - across / 2.0) <= half;
                    }
                if (inside > 0)
                    s.Put(x, y, frame > 0 ? Mix(p.Leaf, p.Ink, 0.5) : p.Rim, inside / 16.0);
            }
        return s;
    });
}

void PaintCheck(QImage& master, const MaskPlace& place, const BirchPalette& p) {
    PaintFrames(master, place, [&](int frame) {
        Sprite s(place.FrameWidth(), place.FrameHeight());
        const std::vector<std::array<double, 4>> tick = {{2.5, 6.5, 5.0, 9.0},
                                                         {5.0, 9.0, 9.8, 3.2}};
        for (int y = 0; y < s.Height(); ++y)
            for (int x = 0; x < s.Width(); ++x)
                if (const double c = StrokeCover(x, y, tick, 1.8); c > 0)
                    s.Put(x, y, frame > 0 ? p.Ink : Mix(p.Leaf, p.Ink, 0.3), c);
        return s;
    });
}

// Six round dots in the corner, each with a lit point beside it.
void PaintGrip(QImage& master, const MaskPlace& place, const BirchPalette& p) {
    PaintFrames(master, place, [&](int) {
        Sprite s(place.FrameWidth(), place.FrameHeight());
        const int n = s.Width();
        for (int a = 0; a < 3; ++a)
            for (int b = 0; a + b < 3; ++b) {
                const double cx = n - 2.5 - 3.5 * a, cy = n - 2.5 - 3.5 * b;
                for (int y = 0; y < n; ++y)
                    for (int x = 0; x < n; ++x) {
                        const double d = std::hypot(x + 0.5 - cx, y + 0.5 - cy);
                        const double lit = std::hypot(x + 0.5 - cx - 1, y + 0.5 - cy - 1);
                        if (d < 1.6)
                            s.Put(x, y, p.Line, std::clamp(1.6 - d, 0.0, 1.0));
                        else if (lit < 1.2)
                            s.Put(x, y, p.White, 0.8);
                    }
            }
        return s;
    });
}

// ---------------------------------------------------------------------------
// The painters by section and key
// ---------------------------------------------------------------------------

using Painter = std::function<void(QImage&, const MaskPlace&, const BirchPalette&)>;
using P = const BirchPalette&;
using M = const MaskPlace&;

Painter Lines(double radius, std::function<std::vector<Line>(P, int frame)> lines) {
    return [radius, lines](QImage& m, M place, P p) {
        PaintLines(m, place, radius, [&](int frame) { return lines(p, frame); });
    };
}

Painter Arrow(char direction) {
    return [direction](QImage& m, M place, P p) { PaintArrow(m, place, p, direction); };
}

Painter TitleButton(const char* name) {
    return [name](QImage& m, M place, P p) { PaintTitleButton(m, place, p, name); };
}

Painter Bark(BarkLook BirchPalette::*look) {
    return [look](QImage& m, M place, P p) { TextureArea(m, place, p.*look); };
}

const std::map<std::pair<std::string, std::string>, Painter>& Painters() {
    static const std::map<std::pair<std::string, std::string>, Painter> painters = {
        // Textures.
        {{"FORMTITLE", "PATTERN"}, Bark(&BirchPalette::Title)},
        {{"FORMTITLE", "HOTPATTERN"}, Bark(&BirchPalette::Active)},
        {{"PANEL", "PATTERN"}, Bark(&BirchPalette::Bark)},
        {{"ALPHAEDIT", "PATTERN"}, Bark(&BirchPalette::Paper)},
        {{"ALPHAEDIT", "HOTPATTERN"}, Bark(&BirchPalette::Paper)},
        {{"BUTTON", "HOTPATTERN"}, Bark(&BirchPalette::Leafy)},
        {{"MENUITEM", "HOTPATTERN"}, Bark(&BirchPalette::Leafy)},
        {{"SELECTION", "HOTPATTERN"}, Bark(&BirchPalette::Leafy)},
        // The window: a slate line, white bark, a grey groove and a pale
        // line that meets the window's colour.
        {{"FORM", "BORDERSMASK"},
         Lines(5.0,
               [](P p, int) {
                   return std::vector<Line>{{p.Rim, p.Rim},
                                            {p.White, Mix(p.White, p.Sky, 0.5)},
                                            {Mix(p.White, p.Line, 0.3), p.Line},
                                            {p.Line, Mix(p.Line, p.Rim, 0.3)},
                                            {p.PaperColour, p.Sky}};
               })},
        // The title band's edge: the window's three outer lines go round its
        // top; inside them the bark shows.
        {{"FORMTITLE", "BORDERSMASK"},
         [](QImage& m, M place, P p) {
             PaintFrames(m, place, [&](int) {
                 const int w = place.FrameWidth(), h = place.FrameHeight();
                 const QImage bark = BarkTexture(p.Active, w, h);
                 return PaintTopRounded(
                     w, h, 6.0, 12,
                     [&](Sprite& s, int x, int y, double depth, const Shape& shape,
                         double coverage) {
                         const double light = Light(shape);
                         QColor c = depth < 1.0   ? p.Rim
                                    : depth < 2.0 ? LineColour({p.White, p.Sky}, light)
                                    : depth < 3.0
                                        ? LineColour({Mix(p.White, p.Line, 0.3), p.Line}, light)
                                        : QColor::fromRgb(bark.pixel(x, y));
                         if (y == h - 1)
                             c = Mix(c, p.Line, 0.7); // a fine line under the title
                         s.Put(x, y, c, coverage);
                     });
             });
         }},
        {{"MAINMENU", "BORDERSMASK"},
         Lines(2.0,
               [](P p, int) {
                   return std::vector<Line>{{p.Line, p.Rim}, {p.White, p.Sky}};
               })},
        {{"MENUITEM", "BORDERSMASK"},
         Lines(3.0,
               [](P p, int) {
                   return std::vector<Line>{{Mix(p.Leaf, p.White, 0.2), p.Leaf},
                                            {Mix(p.LeafLight, p.White, 0.6), p.LeafLight},
                                            {p.LeafLight, p.LeafLight}};
               })},
        {{"SELECTION", "BORDERSMASK"},
         Lines(2.0,
               [](P p, int) {
                   return std::vector<Line>{{p.Leaf, p.Leaf}, {Mix(p.Leaf, p.White, 0.3), p.Leaf}};
               })},
        // The log: a sunken line pair.
        {{"EDIT", "BORDERSMASK"},
         Lines(2.0,
               [](P p, int) {
                   return std::vector<Line>{{p.Line, p.Rim}, {p.White, p.Sky}};
               })},
        // The prompt's plate: a soft slate line whose inner band tints the
        // bark beneath.
        {{"ALPHAEDIT", "BORDERSMASK"},
         [](QImage& m, M place, P p) {
             PaintLines(m, place, 5.0, [&](int) {
                 return std::vector<Line>{{p.Line, p.Rim}, {p.White, p.SkyDeep}};
             });
             TintInside(m, place, 0, 5.0, {{p.SkyDeep, 170}, {p.SkyDeep, 215}, {p.Sky, 240}}, 2);
         }},
        // The button: a slate outline, a white lit line, and a band that
        // shades the fill towards the edge; under the mouse the outline
        // turns leaf green.
        {{"BUTTON", "BORDERSMASK"},
         [](QImage& m, M place, P p) {
             PaintLines(m, place, 6.0, [&](int frame) {
                 const QColor outline = frame > 0 ? Mix(p.Leaf, p.Rim, 0.3) : p.Rim;
                 return std::vector<Line>{{outline, outline}, {p.White, Mix(p.Sky, p.Line, 0.4)}};
             });
             for (int frame = 0; frame < place.Frames; ++frame)
                 TintInside(m, place, frame, 6.0,
                            {{p.Line, 200}, {p.Line, 225}, {p.Line, 240}, {p.Sky, 250}}, 2);
         }},
        {{"PANEL", "BORDERSMASK"},
         Lines(3.0,
               [](P p, int) {
                   return std::vector<Line>{{p.Line, p.Rim},
                                            {p.White, Mix(p.Line, p.White, 0.4)},
                                            {Mix(p.White, p.Line, 0.2), p.SkyDeep}};
               })},
        // Scroll bars: tracks with a fine line round them, arrow buttons and
        // sliders with a line and a lit line.
        {{"SCROLLBAR1H", "BORDERSMASK"},
         Lines(0.0,
               [](P p, int) {
                   return std::vector<Line>{{p.SkyDeep, p.Line}, {p.Sky, p.Sky}};
               })},
        {{"SCROLLBTNTOP", "BORDERSMASK"},
         Lines(2.0,
               [](P p, int frame) {
                   const QColor outline = frame > 0 ? Mix(p.Leaf, p.Rim, 0.3) : p.Line;
                   return std::vector<Line>{{outline, outline}, {p.White, p.SkyDeep}};
               })},
        {{"SCROLLSLIDERV", "BORDERSMASK"},
         Lines(2.0,
               [](P p, int frame) {
                   const QColor outline = frame > 0 ? Mix(p.Leaf, p.Rim, 0.3) : p.Rim;
                   return std::vector<Line>{{outline, outline}, {p.White, p.Line}};
               })},
        {{"SCROLLBTNTOP", "GLYPHMASK"}, Arrow('U')},
        {{"SCROLLBTNBOTTOM", "GLYPHMASK"}, Arrow('D')},
        {{"SCROLLBTNLEFT", "GLYPHMASK"}, Arrow('L')},
        {{"SCROLLBTNRIGHT", "GLYPHMASK"}, Arrow('R')},
        // Skin-wide glyphs.
        {{"GLOBALINFO", "BICONCLOSE"}, TitleButton("CLOSE")},
        {{"GLOBALINFO", "BICONMIN"}, TitleButton("MIN")},
        {{"GLOBALINFO", "BICONMAX"}, TitleButton("MAX")},
        {{"GLOBALINFO", "BICONNORM"}, TitleButton("NORM")},
        {{"GLOBALINFO", "CHECK"}, [](QImage& m, M place, P p) { PaintCheck(m, place, p); }},
        {{"GLOBALINFO", "GRIPIMAGE"}, [](QImage& m, M place, P p) { PaintGrip(m, place, p); }},
    };
    return painters;
}

QRect AreaOf(const skin::TsMaskData& m) {
    return QRect(m.Area.Left, m.Area.Top, m.Area.Width(), m.Area.Height());
}

} // namespace

QImage PaintBirchMaster(const skin::TsSkinImages& images, const Settings& s) {
    const BirchPalette palette = ReadBirchPalette(s);
    QRect bounds;
    for (const skin::TsMaskData& m : images.Masks)
        bounds |= AreaOf(m);
    // Rounded up to whole tens.
    QImage master((bounds.right() + 1 + 9) / 10 * 10, (bounds.bottom() + 1 + 9) / 10 * 10,
                  QImage::Format_RGB32);
    master.fill(kMagenta);
    std::set<std::tuple<int, int, int, int>> painted;
    for (const skin::TsMaskData& m : images.Masks) {
        const QRect area = AreaOf(m);
        const auto key = std::make_tuple(area.left(), area.top(), area.width(), area.height());
        if (painted.count(key))
            continue; // another section's mask in the same place
        const auto it = Painters().find({m.SectionName.toStdString(), m.KeyName.toStdString()});
        if (it == Painters().end())
            throw std::runtime_error("no painter for " + m.SectionName.toStdString() + "/" +
                                     m.KeyName.toStdString());
        const MaskPlace place{area,       m.FrameCount, m.MaskKind != 0, m.LeftWidth,
                              m.TopWidth, m.RightWidth, m.BottomWidth};
        it->second(master, place, palette);
        painted.insert(key);
    }
    return master;
}

} // namespace skinart
