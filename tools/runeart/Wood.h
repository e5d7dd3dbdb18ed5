// Procedural wood for the rune tablets: growth rings that wander with a
// smooth noise field, plus fine fibres along the grain. Deterministic for a
// given seed.
#pragma once

#include <QColor>
#include <QImage>
#include <cstdint>
#include <map>
#include <string>

namespace runeart {

struct WoodStyle {
    QColor Base, Ring, Shine;
    double Rings = 5.0; // rings across the tablet's width
    double Warp = 2.0;  // how far the rings wander
    double Fibre = 0.2; // strength of the fine fibres
};

// A colour channel rounded and limited to 0..255; a colour t of the way
// from a to b.
int Clamp255(double v);
QColor Mix(const QColor& a, const QColor& b, double t);

// Key = value settings read from a description file; '#' starts a comment.
using Settings = std::map<std::string, std::string>;
Settings ReadSettings(const std::string& path);
QColor SettingColor(const Settings& s, const std::string& key);
double SettingNumber(const Settings& s, const std::string& key);
WoodStyle ReadWoodStyle(const Settings& s, const std::string& prefix);

// Smooth value noise in [0, 1]. With periods, the lattice repeats every
// periodX by periodY cells, so that pictures made from it tile.
class Noise {
public:
    explicit Noise(uint32_t seed, int periodX = 0, int periodY = 0)
        : seed_(seed), px_(periodX), py_(periodY) {}
    double At(double x, double y) const;
    double Fractal(double x, double y, int octaves) const;

private:
    double Lattice(int x, int y) const;
    uint32_t seed_;
    int px_, py_;
};

// Paints a tablet of the given size: wood with a soft bevel `bevel` pixels
// wide at its edges. `offset` moves the sample window, so tablets cut from
// one board differ.
QImage PaintTablet(const WoodStyle& style, const Noise& noise, int width, int height, double offset,
                   int bevel = 3);

} // namespace runeart
