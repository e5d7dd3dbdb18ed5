#include "Painters.h"

#include <array>
#include <cmath>
#include <map>
#include <stdexcept>

namespace skinart {

Palette ReadPalette(const Settings& s) {
    Palette p;
    p.Board = ReadWoodLook(s, "board");
    p.Back = ReadWoodLook(s, "back");
    p.Title = ReadWoodLook(s, "title");
    p.Light = ReadWoodLook(s, "light");
    p.Dark = ReadWoodLook(s, "dark");
    p.Honey = ReadWoodLook(s, "honey");
    p.Rim = SettingColor(s, "colour.rim");
    p.Edge = SettingColor(s, "colour.edge");
    p.Face = SettingColor(s, "colour.face");
    p.LightFace = SettingColor(s, "colour.lightface");
    p.Paper = SettingColor(s, "colour.paper");
    p.Shine = SettingColor(s, "colour.shine");
    p.Shadow = SettingColor(s, "colour.shadow");
    p.Gold = SettingColor(s, "colour.gold");
    p.Amber = SettingColor(s, "colour.amber");
    p.Ink = SettingColor(s, "colour.ink");
    p.Ember = SettingColor(s, "colour.ember");
    p.Mean = p.Face;
    return p;
}

namespace {

// The three looks of a control part: normal, hot (the mouse over it) and
// pressed.
enum Look { Normal = 0, Hot = 1, Pressed = 2 };

// Bevel colour of an edge: lit edges take `lit`, the others `shade`;
// pressed parts are lit from the other side.
QColor BevelColor(double light, const QColor& lit, const QColor& shade, bool pressed) {
    const double t = (pressed ? -light : light) * 0.5 + 0.5;
    return Mix(shade, lit, t);
}

void Tile(QImage& master, const QRect& area, const QImage& tile, QPoint origin) {
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const int tx = ((x - origin.x()) % tile.width() + tile.width()) % tile.width();
            const int ty = ((y - origin.y()) % tile.height() + tile.height()) % tile.height();
            master.setPixel(x, y, tile.pixel(tx, ty));
        }
}

void TextureArea(QImage& master, const MaskPlace& place, const WoodLook& look,
                 QColor mean = QColor()) {
    Tile(master, place.Area, WoodTexture(look, place.Area.width(), place.Area.height(), mean),
         place.Area.topLeft());
}

// ---------------------------------------------------------------------------
// Frames
// ---------------------------------------------------------------------------

// Lets part of a shape tint what lies under it: every pixel at a depth
// where `maskAt` answers a value (0..255) gets that mask.
void TintBands(Sprite& s, double radius, const std::function<int(double depth)>& maskAt) {
    for (int y = 0; y < s.Height(); ++y)
        for (int x = 0; x < s.Width(); ++x) {
            const Shape shape = RoundedRect(x + 0.5, y + 0.5, s.Width(), s.Height(), radius);
            const int m = maskAt(-shape.Distance - 0.5);
            if (m >= 0)
                s.Mask.setPixel(x, y, qRgb(m, m, m));
        }
}

void PaintButton(QImage& master, const MaskPlace& place, const Palette& p) {
    // The outer four pixels are the same all along each side (the main
    // menu's border reuses them): a dark line and a rounded wooden edge. The
    // next four are a bevel that fades into whatever fills the button.
    PaintFrames(master, place, [&](int look) {
        const QColor rimColor = look == Hot ? Mix(p.Edge, p.Gold, 0.4) : p.Edge;
        const QColor lit = look == Hot ? Mix(p.Shine, p.Gold, 0.3) : p.Shine;
        Sprite s =
            PaintShape(place.FrameWidth(), place.FrameHeight(), 4.0,
                       [&](double depth, double light, int, int) -> QColor {
                           if (depth < 1.0)
                               return p.Rim;
                           if (depth < 4.0) {
                               // A rounded moulding: lighter in its middle.
                               const double bulge = std::sin((depth - 1.0) / 3.0 * M_PI);
                               return Mix(Mix(rimColor, BevelColor(light, lit, p.Rim, false), 0.25),
                                          lit, 0.35 * bulge);
                           }
                           if (depth < 8.0)
                               return BevelColor(light, lit, p.Shadow, look == Pressed);
                           return QColor();
                       });
        TintBands(s, 4.0, [](double depth) {
            return depth >= 4.0 && depth < 8.0 ? Clamp255(40 + (depth - 4.0) * 50) : -1;
        });
        return s;
    });
}

// A small wooden button with its face: scroll-bar arrows, drop-down and
// up-down buttons.
void PaintSmallButton(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int look) {
        const QColor face = look == Hot       ? Mix(p.LightFace, p.Shine, 0.5)
                            : look == Pressed ? p.Face
                                              : p.LightFace;
        return PaintShape(place.FrameWidth(), place.FrameHeight(), 3.0,
                          [&](double depth, double light, int, int y) -> QColor {
                              if (depth < 1.0)
                                  return look == Hot ? Mix(p.Rim, p.Amber, 0.5) : p.Rim;
                              if (depth < 2.0)
                                  return BevelColor(light, p.Shine, p.Shadow, look == Pressed);
                              // A gentle fall of light down the face.
                              return Mix(face, p.Face, double(y) / place.FrameHeight() * 0.5);
                          });
    });
}

// Raised (or sunken) panel edges: a dark line, a lit or shaded line, then a
// soft shade that lets the panel's own background through.
void PaintPanelEdge(QImage& master, const MaskPlace& place, const Palette& p, bool sunken) {
    PaintFrames(master, place, [&](int) {
        Sprite s =
            PaintShape(place.FrameWidth(), place.FrameHeight(), 3.0,
                       [&](double depth, double light, int, int) -> QColor {
                           if (depth < 1.0)
                               return sunken ? BevelColor(light, p.Rim, p.Shine, false) : p.Rim;
                           if (depth < 2.0)
                               return BevelColor(light, p.Shine, p.Shadow, sunken);
                           if (depth < 4.0)
                               return BevelColor(light, p.Shine, p.Shadow, sunken);
                           return QColor();
                       });
        // The inner two lines only tint what lies under them.
        TintBands(s, 3.0, [](double depth) {
            return depth >= 2.0 && depth < 4.0 ? (depth < 3.0 ? 150 : 215) : -1;
        });
        return s;
    });
}

// The soft frame of see-through edits and hints.
void PaintSoftFrame(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int) {
        Sprite s = PaintShape(place.FrameWidth(), place.FrameHeight(), 3.0,
                              [&](double depth, double light, int, int) -> QColor {
                                  if (depth < 1.0)
                                      return p.Edge;
                                  if (depth < 3.0)
                                      return BevelColor(light, p.Paper, p.Shadow, true);
                                  return QColor();
                              });
        TintBands(s, 3.0, [](double depth) {
            return depth >= 1.0 && depth < 3.0 ? (depth < 2.0 ? 90 : 190) : -1;
        });
        return s;
    });
}

// The window's frame: a dark line, a lit wood line and a shadow towards the
// client area, with rounded outer corners.
void PaintWindowFrame(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int) {
        return PaintShape(place.FrameWidth(), place.FrameHeight(), 3.0,
                          [&](double depth, double light, int, int) -> QColor {
                              if (depth < 1.0)
                                  return p.Rim;
                              if (depth < 2.0)
                                  return BevelColor(light, p.LightFace, p.Edge, false);
                              if (depth < 3.0)
                                  return p.Shadow;
                              return p.Face;
                          });
    });
}

// The title bar's frame: top corners rounded within the top width (so
// the edges repeat cleanly), a dark line and a lit
// line; the rest of the bar shows its own wood.
void PaintTitleFrame(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int) {
        const int h = place.FrameHeight();
        return PaintTopRounded(
            place.FrameWidth(), h, 5.0, 16,
            [&](Sprite& s, int x, int y, double depth, const Shape& shape, double coverage) {
                if (y == h - 1)
                    s.Put(x, y, p.Shadow, 0.6 * coverage); // a thin line under the title
                else if (depth < 1.0)
                    s.Put(x, y, p.Rim, coverage);
                else if (depth < 2.0)
                    s.Put(x, y, BevelColor(Light(shape), p.Shine, p.Edge, false), 0.85);
                else if (depth < 4.0)
                    s.Put(x, y, p.Shine, 0.25 * (4.0 - depth));
                else
                    s.ShowFill(x, y);
            });
    });
}

// The hot look of a menu item: an amber outline with a soft inner glow.
void PaintMenuHighlight(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int look) {
        const QColor line = look == Pressed ? p.Rim : Mix(p.Amber, p.Rim, 0.35);
        Sprite s = PaintShape(place.FrameWidth(), place.FrameHeight(), 5.0,
                              [&](double depth, double, int, int) -> QColor {
                                  if (depth < 1.0)
                                      return line;
                                  if (depth < 3.0)
                                      return Mix(p.Gold, p.Shine, 0.4);
                                  return QColor();
                              });
        TintBands(s, 5.0, [look](double depth) {
            if (depth < 1.0 || depth >= 3.0)
                return -1;
            return look == Normal ? 235 : (depth < 2.0 ? 120 : 200);
        });
        return s;
    });
}

// A tab: rounded on the side away from its page, open towards it.
void PaintTab(QImage& master, const MaskPlace& place, const Palette& p, char side) {
    PaintFrames(master, place, [&](int look) {
        const int w = place.FrameWidth(), h = place.FrameHeight();
        const QColor face = look == Hot ? p.LightFace : look == Pressed ? p.Paper : p.Face;
        Sprite s(w, h);
        constexpr int kReach = 12; // how far the shape runs past the open side
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                double sx = x + 0.5, sy = y + 0.5, sw = w, sh = h;
                if (side == 'T')
                    sh += kReach;
                if (side == 'B')
                    sh += kReach, sy += kReach;
                if (side == 'L')
                    sw += kReach;
                if (side == 'R')
                    sw += kReach, sx += kReach;
                const Shape shape = RoundedRect(sx, sy, sw, sh, 5.0);
                const double coverage = std::clamp(0.5 - shape.Distance, 0.0, 1.0);
                if (coverage <= 0.0)
                    continue;
                const double depth = std::max(0.0, -shape.Distance - 0.5);
                const QColor c = depth < 1.0   ? p.Rim
                                 : depth < 2.0 ? BevelColor(Light(shape), p.Shine, p.Shadow, false)
                                               : face;
                s.Put(x, y, c, coverage);
            }
        return s;
    });
}

// Lines whose side widths the mask gives: dark lines along the sides that
// have a width, the track's wood elsewhere.
void PaintTrackEdge(QImage& master, const MaskPlace& place, const Palette& p) {
    const QRect a = place.Area;
    const QColor track = Mix(p.Face, p.Shadow, 0.5);
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool line = (x < place.LeftWidth) || (y < place.TopWidth) ||
                              (x >= a.width() - place.RightWidth) ||
                              (y >= a.height() - place.BottomWidth);
            master.setPixel(a.left() + x, a.top() + y, (line ? p.Edge : track).rgb());
        }
}

// The slider of a scroll bar.
void PaintSliderEdge(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int) {
        return PaintShape(place.FrameWidth(), place.FrameHeight(), 2.0,
                          [&](double depth, double light, int, int) -> QColor {
                              if (depth < 1.0)
                                  return p.Edge;
                              if (depth < 2.0)
                                  return BevelColor(light, p.Shine, p.Shadow, false);
                              return p.LightFace;
                          });
    });
}

// A groove: a dark line and a lit line beside it (a divider, a group box's
// edge).
void PaintGroove(QImage& master, const MaskPlace& place, const Palette& p, double radius) {
    PaintFrames(master, place, [&](int) {
        return PaintShape(place.FrameWidth(), place.FrameHeight(), radius,
                          [&](double depth, double, int, int) -> QColor {
                              return depth < 1.0 ? p.Shadow : p.Shine;
                          });
    });
}

void PaintDivider(QImage& master, const MaskPlace& place, const Palette& p, bool vertical) {
    const QRect a = place.Area;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool first = vertical ? x == 0 : y == 0;
            master.setPixel(a.left() + x, a.top() + y, (first ? p.Shadow : p.Shine).rgb());
        }
}

void PaintTrackbar(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int) {
        return PaintShape(place.FrameWidth(), place.FrameHeight(), 2.0,
                          [&](double depth, double light, int, int) -> QColor {
                              if (depth < 1.0)
                                  return BevelColor(light, p.Rim, p.Shine, false);
                              return p.Shadow;
                          });
    });
}

void PaintSelection(QImage& master, const MaskPlace& place, const Palette& p) {
    const QRect a = place.Area;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) {
            const bool edge = x == 0 || x == a.width() - 1 || y == 0 || y == a.height() - 1;
            const QColor c = edge ? p.Amber : (y == 1 ? Mix(p.Gold, p.Shine, 0.5) : p.Gold);
            master.setPixel(a.left() + x, a.top() + y, c.rgb());
        }
}

// ---------------------------------------------------------------------------
// Glyphs
// ---------------------------------------------------------------------------

using Rows = std::vector<std::string>;

// Symbols of the title buttons, large (7 x 7) and small (5 x 5).
const std::map<std::string, std::pair<Rows, Rows>>& TitleSymbols() {
    static const std::map<std::string, std::pair<Rows, Rows>> symbols = {
        {"CLOSE",
         {{"XX...XX", "XXX.XXX", ".XXXXX.", "..XXX..", ".XXXXX.", "XXX.XXX", "XX...XX"},
          {"X...X", ".X.X.", "..X..", ".X.X.", "X...X"}}},
        {"MAX",
         {{"XXXXXXX", "XXXXXXX", "X.....X", "X.....X", "X.....X", "X.....X", "XXXXXXX"},
          {"XXXXX", "XXXXX", "X...X", "X...X", "XXXXX"}}},
        {"MIN",
         {{".......", ".......", ".......", ".......", ".......", "XXXXXXX", "XXXXXXX"},
          {".....", ".....", ".....", "XXXXX", "XXXXX"}}},
        {"NORM",
         {{"..XXXXX", "..XXXXX", "..X...X", "XXXXX.X", "XXXXX.X", "X...XXX", "XXXXX.."},
          // Two windows, the front one whole: five rows that cannot pass for an 8.
          {".XXXX", "XXX.X", "X.XXX", "X.X..", "XXX.."}}},
        {"HELP",
         {{"..XXX..", ".XX.XX.", "....XX.", "...XX..", "...XX..", ".......", "...XX.."},
          {".XXX.", "...X.", "..XX.", ".....", "..X.."}}},
    };
    return symbols;
}

// A title button: a small wooden plaque with its symbol cut into it.
void PaintTitleButton(QImage& master, const MaskPlace& place, const Palette& p,
                      const std::string& symbol, bool small) {
    const bool close = symbol == "CLOSE";
    PaintFrames(master, place, [&](int look) {
        const int w = place.FrameWidth(), h = place.FrameHeight();
        const QColor face =
            look == Hot ? (close ? Mix(p.Ember, p.Gold, 0.25) : Mix(p.LightFace, p.Gold, 0.45))
            : look == Pressed ? p.Face
                              : p.LightFace;
        Sprite s = PaintShape(
            w, h, small ? 2.0 : 3.0,
            [&](double depth, double light, int, int y) -> QColor {
                if (depth < 1.0)
                    return p.Rim;
                if (depth < 2.0)
                    return BevelColor(light, p.Shine, p.Shadow, look == Pressed);
                return Mix(face, p.Face, double(y) / h * 0.4);
            },
            1.0);
        const Rows& rows =
            small ? TitleSymbols().at(symbol).second : TitleSymbols().at(symbol).first;
        const int gw = int(rows[0].size()), gh = int(rows.size());
        const int ox = (w - gw) / 2 + (look == Pressed ? 1 : 0);
        const int oy = (h - gh) / 2 + (look == Pressed ? 1 : 0);
        const QColor ink = look == Hot && close ? p.Paper : p.Ink;
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x)
                if (rows[y][x] == 'X')
                    s.Put(ox + x, oy + y, ink, 1.0);
        return s;
    });
}

// The box of check boxes. Frame 0 of the empty box is also the edit's
// border, so its outer three pixels are a frame on their own: a dark line
// and two sunken lines.
Sprite CheckBoxFrame(const Palette& p, int w, int h, int box, int look, int border) {
    Sprite s(w, h);
    const int left = (w - box) / 2, top = (h - box) / 2;
    const QColor inside = look == Hot       ? Mix(p.Paper, QColor(255, 255, 255), 0.25)
                          : look == Pressed ? p.LightFace
                                            : p.Paper;
    for (int y = 0; y < box; ++y)
        for (int x = 0; x < box; ++x) {
            const int d = std::min({x, y, box - 1 - x, box - 1 - y});
            const bool corner = (x == 0 || x == box - 1) && (y == 0 || y == box - 1);
            if (corner)
                continue; // rounded by one pixel: keyed
            // Sunken: the top and left lines in shade, the others lit.
            const bool topLeft = x + y < box - 1;
            QColor c;
            if (d == 0)
                c = look == Hot ? Mix(p.Rim, p.Amber, 0.6) : p.Rim;
            else if (d < border)
                c = topLeft ? Mix(p.Shadow, p.Edge, double(d - 1) / border)
                            : Mix(p.Shine, p.Paper, double(d - 1) / border);
            else
                c = inside;
            s.Put(left + x, top + y, c, 1.0);
        }
    return s;
}

void PaintCheckBox(QImage& master, const MaskPlace& place, const Palette& p, char mark, int box,
                   int border) {
    PaintFrames(master, place, [&](int look) {
        Sprite s = CheckBoxFrame(p, place.FrameWidth(), place.FrameHeight(), box, look, border);
        const int left = (place.FrameWidth() - box) / 2, top = (place.FrameHeight() - box) / 2;
        const int inner = box - 2 * border;
        if (mark == 'V') {
            // A tick: a short stroke down, a long stroke up.
            for (int i = 0; i < inner; ++i) {
                const double t = double(i) / std::max(1, inner - 1);
                const int x = left + border + i;
                const int y = top + border +
                              (t < 0.35 ? int(inner * 0.45 + t * inner * 0.9)
                                        : int(inner * 0.82 - (t - 0.35) * inner * 1.15));
                for (int k = 0; k < 2; ++k)
                    s.Put(x, std::clamp(y + k, top + border, top + box - border - 1), p.Ink, 1.0);
            }
        } else if (mark == 'G') {
            for (int y = 1; y < inner - 1; ++y)
                for (int x = 1; x < inner - 1; ++x)
                    s.Put(left + border + x, top + border + y, p.Amber, 1.0);
        }
        return s;
    });
}

void PaintRadio(QImage& master, const MaskPlace& place, const Palette& p, char mark) {
    PaintFrames(master, place, [&](int look) {
        const int w = place.FrameWidth(), h = place.FrameHeight();
        const QColor inside = look == Hot       ? Mix(p.Paper, QColor(255, 255, 255), 0.25)
                              : look == Pressed ? p.LightFace
                                                : p.Paper;
        Sprite s(w, h);
        const double r = 7.0, cx = w / 2.0, cy = 8.0;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                const double dx = x + 0.5 - cx, dy = y + 0.5 - cy;
                const double d = std::sqrt(dx * dx + dy * dy);
                if (d > r)
                    continue;
                QColor c;
                if (d > r - 1.2)
                    c = look == Hot ? Mix(p.Rim, p.Amber, 0.6) : p.Rim;
                else if (d > r - 2.4)
                    c = (dx + dy < 0) ? p.Shadow : p.Shine;
                else if (mark != ' ' && d < 3.0)
                    c = mark == 'G' ? p.Amber : p.Ink;
                else
                    c = inside;
                s.Put(x, y, c, 1.0);
            }
        return s;
    });
}

// Triangles pointing in a direction ('U', 'D', 'L', 'R'), `size` pixels
// from base to tip.
void PaintArrow(QImage& master, const MaskPlace& place, const Palette& p, char direction,
                int size) {
    PaintFrames(master, place, [&](int look) {
        const int w = place.FrameWidth(), h = place.FrameHeight();
        const QColor ink = look == Hot ? Mix(p.Ink, p.Ember, 0.55) : p.Ink;
        Sprite s(w, h);
        const bool vertical = direction == 'U' || direction == 'D';
        const int along = vertical ? h : w, across = vertical ? w : h;
        const int start = (along - size) / 2;
        for (int i = 0; i < size; ++i) {
            // Row i from the base: 2 (size - i) - 1 pixels wide.
            const int half = size - 1 - i;
            const int row =
                (direction == 'U' || direction == 'L') ? start + size - 1 - i : start + i;
            for (int k = -half; k <= half; ++k) {
                const int c = (across - 1) / 2 + k + (across % 2 == 0 ? 1 : 0);
                if (c < 0 || c >= across)
                    continue;
                if (vertical)
                    s.Put(c, row, ink, 1.0);
                else
                    s.Put(row, c, ink, 1.0);
            }
        }
        return s;
    });
}

void PaintMenuCheck(QImage& master, const MaskPlace& place, const Palette& p) {
    const Rows tick = {"......X", ".....XX", "X...XX.", "XX.XX..", ".XXX...", "..X...."};
    PaintFrames(master, place, [&](int look) {
        Sprite s(place.FrameWidth(), place.FrameHeight());
        const QColor ink = look == Normal ? p.Ink : p.Paper;
        const int ox = (place.FrameWidth() - 7) / 2, oy = (place.FrameHeight() - 6) / 2;
        for (int y = 0; y < 6; ++y)
            for (int x = 0; x < 7; ++x)
                if (tick[y][x] == 'X')
                    s.Put(ox + x, oy + y, ink, 1.0);
        return s;
    });
}

void PaintGrip(QImage& master, const MaskPlace& place, const Palette& p) {
    PaintFrames(master, place, [&](int) {
        Sprite s(place.FrameWidth(), place.FrameHeight());
        const int n = place.FrameWidth();
        // Three grooves across the bottom right corner, each a dark line with
        // a lit line beside it.
        for (int groove = 0; groove < 3; ++groove) {
            const int d = n + 7 - groove * 4; // x + y on the groove
            for (int x = 0; x < n; ++x) {
                const int y = d - x;
                if (y < 0 || y >= n)
                    continue;
                s.Put(x, y, p.Shadow, 1.0);
                if (x + 1 < n)
                    s.Put(x + 1, y, p.Shine, 1.0);
            }
        }
        return s;
    });
}

void PaintGripDots(QImage& master, const MaskPlace& place, const Palette& p) {
    // One row of a repeating pattern over its mask: a dark and a lit dot.
    const QRect a = place.Area;
    for (int x = 0; x < a.width(); ++x) {
        const int phase = x % 3;
        const QColor c = phase == 0 ? p.Shadow : phase == 1 ? p.Shine : QColor(255, 0, 255);
        const int m = phase == 2 ? 255 : 0;
        master.setPixel(a.left() + x, a.top(), c.rgb());
        master.setPixel(a.left() + x, a.top() + 1, qRgb(m, m, m));
    }
}

// ---------------------------------------------------------------------------
// The painters by area
// ---------------------------------------------------------------------------

using Painter = std::function<void(QImage&, const MaskPlace&, const Palette&)>;
using AreaKey = std::array<int, 4>;

const std::map<AreaKey, Painter>& Painters() {
    using P = const Palette&;
    using M = const MaskPlace&;
    auto none = [](QImage&, M, P) {};
    auto title = [](const char* symbol, bool small) {
        return [symbol, small](QImage& m, M place, P p) {
            PaintTitleButton(m, place, p, symbol, small);
        };
    };
    auto arrow = [](char d, int size) {
        return [d, size](QImage& m, M place, P p) { PaintArrow(m, place, p, d, size); };
    };
    auto box = [](char mark, int size, int border) {
        return [mark, size, border](QImage& m, M place, P p) {
            PaintCheckBox(m, place, p, mark, size, border);
        };
    };
    auto radio = [](char mark) {
        return [mark](QImage& m, M place, P p) { PaintRadio(m, place, p, mark); };
    };
    auto tab = [](char side) {
        return [side](QImage& m, M place, P p) { PaintTab(m, place, p, side); };
    };
    auto wood = [](WoodLook Palette::*look) {
        return [look](QImage& m, M place, P p) { TextureArea(m, place, p.*look); };
    };
    static const std::map<AreaKey, Painter> painters = {
        // Check boxes, radio buttons and the menu's marks.
        {{133, 166, 181, 180}, box('V', 14, 3)},
        {{85, 166, 133, 180}, box(' ', 14, 3)},
        {{181, 166, 229, 180}, box('G', 14, 3)},
        {{86, 166, 100, 180}, none}, // the edit's border: drawn with the empty box
        {{66, 30, 99, 41}, box('V', 11, 2)},
        {{99, 30, 132, 41}, box(' ', 11, 2)},
        {{132, 30, 165, 41}, box('G', 11, 2)},
        {{75, 88, 123, 104}, radio('V')},
        {{75, 70, 123, 88}, radio(' ')},
        {{200, 82, 248, 98}, radio('G')},
        {{108, 16, 138, 28}, [](QImage& m, M place, P p) { PaintMenuCheck(m, place, p); }},
        {{138, 16, 150, 28}, [](QImage& m, M place, P p) { PaintGrip(m, place, p); }},
        // Title buttons, large and small.
        {{0, 0, 51, 16}, title("CLOSE", false)},
        {{51, 0, 102, 16}, title("NORM", false)},
        {{102, 0, 153, 16}, title("MIN", false)},
        {{153, 0, 204, 16}, title("MAX", false)},
        {{204, 0, 255, 16}, title("HELP", false)},
        {{255, 0, 297, 12}, title("CLOSE", true)},
        {{297, 0, 339, 12}, title("NORM", true)},
        {{339, 0, 381, 12}, title("MIN", true)},
        {{66, 16, 108, 28}, title("MAX", true)},
        // Arrows.
        {{0, 148, 30, 154}, arrow('U', 4)},
        {{0, 155, 30, 161}, arrow('D', 4)},
        {{52, 148, 70, 158}, arrow('L', 4)},
        {{32, 148, 50, 158}, arrow('R', 4)},
        {{150, 16, 177, 22}, arrow('D', 4)},
        {{177, 16, 198, 20}, arrow('U', 4)},
        // Frames.
        {{0, 106, 63, 148}, [](QImage& m, M place, P p) { PaintButton(m, place, p); }},
        {{0, 106, 21, 148}, none}, // the main menu's border: the button's first frame
        {{200, 56, 236, 80}, [](QImage& m, M place, P p) { PaintSmallButton(m, place, p); }},
        {{49, 63, 59, 83}, [](QImage& m, M place, P p) { PaintPanelEdge(m, place, p, false); }},
        {{256, 56, 266, 76}, [](QImage& m, M place, P p) { PaintPanelEdge(m, place, p, true); }},
        {{85, 148, 94, 166}, [](QImage& m, M place, P p) { PaintSoftFrame(m, place, p); }},
        {{84, 106, 106, 127}, [](QImage& m, M place, P p) { PaintWindowFrame(m, place, p); }},
        {{45, 16, 66, 46}, [](QImage& m, M place, P p) { PaintTitleFrame(m, place, p); }},
        {{183, 106, 228, 136}, [](QImage& m, M place, P p) { PaintMenuHighlight(m, place, p); }},
        {{17, 166, 21, 170}, [](QImage& m, M place, P p) { PaintSelection(m, place, p); }},
        {{200, 20, 248, 52}, tab('T')},
        {{248, 20, 296, 52}, tab('B')},
        {{296, 20, 344, 52}, tab('L')},
        {{344, 20, 392, 52}, tab('R')},
        {{62, 165, 70, 173}, [](QImage& m, M place, P p) { PaintTrackEdge(m, place, p); }},
        {{70, 165, 78, 173}, [](QImage& m, M place, P p) { PaintTrackEdge(m, place, p); }},
        {{46, 165, 54, 173}, [](QImage& m, M place, P p) { PaintTrackEdge(m, place, p); }},
        {{54, 165, 62, 173}, [](QImage& m, M place, P p) { PaintTrackEdge(m, place, p); }},
        {{46, 173, 54, 182}, [](QImage& m, M place, P p) { PaintSliderEdge(m, place, p); }},
        {{240, 56, 246, 62}, [](QImage& m, M place, P p) { PaintGroove(m, place, p, 2.0); }},
        {{270, 56, 276, 58}, [](QImage& m, M place, P p) { PaintDivider(m, place, p, false); }},
        {{280, 56, 282, 62}, [](QImage& m, M place, P p) { PaintDivider(m, place, p, true); }},
        {{288, 56, 300, 60}, [](QImage& m, M place, P p) { PaintTrackbar(m, place, p); }},
        // Textures.
        {{0, 182, 398, 327},
         [](QImage& m, M place, P p) { TextureArea(m, place, p.Board, p.Mean); }},
        {{130, 98, 154, 121},
         [](QImage& m, M place, P p) {
             // Hints take a window of the title's wood one pixel further left
             // and two lower, so the tile covers both.
             Tile(m, QRect(QPoint(129, 98), QPoint(154, 122)),
                  WoodTexture(p.Title, place.Area.width(), place.Area.height()),
                  place.Area.topLeft());
         }},
        {{129, 100, 153, 122}, none}, // the hint's texture: inside the title's
        {{155, 112, 180, 134}, wood(&Palette::Title)},
        {{320, 56, 332, 68}, wood(&Palette::Light)},
        {{334, 56, 346, 68},
         [](QImage& m, M place, P p) {
             WoodLook hot = p.Light;
             hot.Base = Mix(hot.Base, p.Shine, 0.4);
             hot.Ring = Mix(hot.Ring, p.Shine, 0.3);
             TextureArea(m, place, hot);
         }},
        {{304, 56, 316, 68}, wood(&Palette::Honey)},
        {{26, 166, 37, 175}, wood(&Palette::Dark)},
        {{37, 165, 46, 182}, wood(&Palette::Dark)},
        {{23, 175, 35, 182}, wood(&Palette::Light)},
        {{78, 165, 85, 181}, wood(&Palette::Light)},
        {{54, 173, 60, 175}, [](QImage& m, M place, P p) { PaintGripDots(m, place, p); }},
    };
    return painters;
}

} // namespace

void PaintMask(const MaskPlace& place, const Palette& palette, QImage& master) {
    const QRect a = place.Area;
    const AreaKey key{a.left(), a.top(), a.left() + a.width(), a.top() + a.height()};
    const auto it = Painters().find(key);
    if (it == Painters().end())
        throw std::runtime_error("no painter for the area " + std::to_string(key[0]) + "," +
                                 std::to_string(key[1]) + "," + std::to_string(key[2]) + "," +
                                 std::to_string(key[3]));
    it->second(master, place, palette);
}

QImage PaintHugeButton(const Palette& p) {
    constexpr int kFrame = 96;
    QImage rgb(3 * kFrame, 2 * kFrame, QImage::Format_RGB32);
    rgb.fill(kMagenta);
    const MaskPlace place{QRect(0, 0, 3 * kFrame, 2 * kFrame), 3, true, 32, 32, 32, 32};
    PaintFrames(rgb, place, [&](int look) {
        return PaintShape(
            kFrame, kFrame, 16.0, [&](double depth, double light, int, int) -> QColor {
                const QColor rim = look == Hot ? Mix(p.Edge, p.Gold, 0.4) : p.Edge;
                if (depth < 2.0)
                    return p.Rim;
                if (depth < 14.0) {
                    // A rounded moulding: lit on its outer slope, shaded on its inner.
                    const double t = (depth - 2.0) / 12.0;
                    const double slope = std::cos(t * M_PI);
                    return Mix(rim, BevelColor(light * slope, p.Shine, p.Shadow, look == Pressed),
                               0.6);
                }
                if (depth < 16.0)
                    return p.Rim;
                if (depth < 26.0) {
                    const double t = (depth - 16.0) / 10.0;
                    return Mix(BevelColor(light, p.Shine, p.Shadow, look != Pressed), p.LightFace,
                               t);
                }
                return QColor();
            });
    });
    // 8 bits per pixel: wood shades by lightness, greys for the masks, magenta.
    QList<QRgb> table;
    table << kMagenta;
    for (int g = 0; g <= 255; g += 4)
        table << qRgb(g, g, g);
    table << qRgb(255, 255, 255);
    const QColor darkest = Scale(p.Rim, 0.7), lightest = QColor(255, 240, 200);
    const int woodShades = 256 - table.size();
    for (int i = 0; i < woodShades; ++i) {
        const double t = double(i) / (woodShades - 1);
        table << (t < 0.5 ? Mix(darkest, p.Face, t * 2) : Mix(p.Face, lightest, t * 2 - 1)).rgb();
    }
    QImage indexed(rgb.size(), QImage::Format_Indexed8);
    indexed.setColorTable(table);
    for (int y = 0; y < rgb.height(); ++y)
        for (int x = 0; x < rgb.width(); ++x) {
            const QRgb c = rgb.pixel(x, y);
            int best = 0, bestDistance = INT32_MAX;
            for (int i = 0; i < table.size(); ++i) {
                const int dr = qRed(c) - qRed(table[i]), dg = qGreen(c) - qGreen(table[i]),
                          db = qBlue(c) - qBlue(table[i]);
                const int d = 3 * dr * dr + 4 * dg * dg + 2 * db * db;
                if (d < bestDistance)
                    best = i, bestDistance = d;
            }
            indexed.setPixel(x, y, best);
        }
    return indexed;
}

QImage PaintBackground(const Palette& p) {
    return WoodTexture(p.Back, 398, 145, p.Mean);
}

} // namespace skinart
