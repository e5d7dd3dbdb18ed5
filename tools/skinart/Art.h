// Drawing helpers for the Wood skin: tileable wood, rounded shapes with
// bevels, and sprites that carry a picture and a transparency mask.
//
// A mask value is how much of the background shows: 0 the picture alone,
// 255 the background alone, per channel.
#pragma once

#include "../runeart/Wood.h"

#include <QColor>
#include <QImage>
#include <QRect>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace skinart {

using runeart::ReadSettings;
using runeart::SettingColor;
using runeart::SettingNumber;
using runeart::Settings;

constexpr QRgb kMagenta = 0xFFFF00FF;

using runeart::Clamp255;
using runeart::Mix;
QColor Scale(const QColor& c, double f);

// Value noise that repeats every `periodX` by `periodY` lattice cells, so
// that textures made from it tile without seams.
class PeriodicNoise {
public:
    PeriodicNoise(uint32_t seed, int periodX, int periodY)
        : seed_(seed), px_(periodX), py_(periodY) {}
    // Octaves double the frequency (and the period, so it stays whole).
    double Fractal(double x, double y, int octaves) const;

private:
    uint32_t seed_;
    int px_, py_;
};

struct WoodLook {
    QColor Base, Ring, Shine;
    int Rings = 4;      // growth rings across the height (whole, so it tiles)
    double Warp = 1.5;  // how far the rings wander
    double Fibre = 0.2; // fine fibres along the grain
    int Planks = 0;     // dark joints between planks (0: one board)
    uint32_t Seed = 1;
};
WoodLook ReadWoodLook(const Settings& s, const std::string& prefix);

// Wood with its grain running along x that tiles in both directions. When
// `mean` is valid the picture is evened out to exactly that mean colour.
QImage WoodTexture(const WoodLook& look, int width, int height, QColor mean = QColor());
// The mean colour of a picture.
QColor MeanColor(const QImage& image);

// A picture with its transparency mask; both RGB32.
struct Sprite {
    QImage Picture, Mask;
    Sprite(int width, int height);
    int Width() const { return Picture.width(); }
    int Height() const { return Picture.height(); }
    // Sets a pixel with its coverage (1 = opaque picture).
    void Put(int x, int y, QColor color, double coverage);
    // Magenta with a full mask: the background shows.
    void Clear(int x, int y);
    // A full mask on white, which is no key: the control's own fill shows
    // unchanged (inside a shape, where the parent must not show through).
    void ShowFill(int x, int y);
};

// Signed distance from the outline of a rounded rectangle (negative inside),
// for pixel centres, and the outline's outward direction there.
struct Shape {
    double Distance;
    double NormalX, NormalY;
};
Shape RoundedRect(double x, double y, double width, double height, double radius);

// Light falls from the top left: +1 on edges facing it, -1 facing away.
double Light(const Shape& s);

// A rounded bevelled shape: `paint` gives the colour of a pixel from its
// depth inside the outline (0 at the edge) and the light on its edge; an
// invalid colour lets the control's own fill show there.
using BandPainter = std::function<QColor(double depth, double light, int x, int y)>;
Sprite PaintShape(int width, int height, double radius, const BandPainter& paint, double inset = 0);

// A title bar's shape: rounded at its top only, as it reaches `reach`
// pixels below the sprite. `paint` is called for each pixel the shape
// covers, with its depth inside the outline, the outline there and how much
// of the pixel it covers, and puts the pixel into the sprite.
using CoveredPainter =
    std::function<void(Sprite& s, int x, int y, double depth, const Shape& shape, double coverage)>;
Sprite PaintTopRounded(int width, int height, double radius, double reach,
                       const CoveredPainter& paint);

// Writes a sprite as frame `frame` of an area: the picture in the top part
// and (for masked areas) the mask below it.
void PutFrame(QImage& target, const QRect& area, int frames, bool masked, int frame,
              const Sprite& sprite);

// What a painter knows of its mask.
struct MaskPlace {
    QRect Area;
    int Frames = 1;
    bool Masked = false;
    int LeftWidth = 0, TopWidth = 0, RightWidth = 0, BottomWidth = 0;
    int FrameWidth() const { return Frames > 1 ? Area.width() / Frames : Area.width(); }
    int FrameHeight() const { return Masked ? Area.height() / 2 : Area.height(); }
};

// Writes frame `frame` of a mask's area: a masked area takes the picture
// and its mask; a plain one is keyed, a pixel that is more background than
// picture becoming magenta.
void PutSprite(QImage& master, const MaskPlace& place, int frame, const Sprite& sprite);
// Every frame of an area, each painted by `paint` from its number.
void PaintFrames(QImage& master, const MaskPlace& place,
                 const std::function<Sprite(int frame)>& paint);

} // namespace skinart
