#include "Art.h"

#include <algorithm>
#include <cmath>
#include <stdexcept>

namespace skinart {

QColor Scale(const QColor& c, double f) {
    return QColor(Clamp255(c.red() * f), Clamp255(c.green() * f), Clamp255(c.blue() * f));
}

double PeriodicNoise::Fractal(double x, double y, int octaves) const {
    double sum = 0, amp = 1, norm = 0;
    // Each octave is its own noise of twice the period, so it repeats too.
    for (int i = 0; i < octaves; ++i) {
        const runeart::Noise octave(seed_ + 977u * i, px_ << i, py_ << i);
        sum += octave.At(x * (1 << i), y * (1 << i)) * amp;
        norm += amp;
        amp *= 0.5;
    }
    return sum / norm;
}

WoodLook ReadWoodLook(const Settings& s, const std::string& prefix) {
    WoodLook w;
    w.Base = SettingColor(s, prefix + ".base");
    w.Ring = SettingColor(s, prefix + ".ring");
    w.Shine = SettingColor(s, prefix + ".shine");
    w.Rings = static_cast<int>(SettingNumber(s, prefix + ".rings"));
    w.Warp = SettingNumber(s, prefix + ".warp");
    w.Fibre = SettingNumber(s, prefix + ".fibre");
    w.Planks = static_cast<int>(SettingNumber(s, prefix + ".planks"));
    w.Seed = static_cast<uint32_t>(SettingNumber(s, prefix + ".seed"));
    return w;
}

QColor MeanColor(const QImage& image) {
    double r = 0, g = 0, b = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            r += qRed(p), g += qGreen(p), b += qBlue(p);
        }
    const double n = double(image.width()) * image.height();
    return QColor(Clamp255(r / n), Clamp255(g / n), Clamp255(b / n));
}

QImage WoodTexture(const WoodLook& look, int width, int height, QColor mean) {
    // Lattice periods: few cells along the grain (x), more across it, so the
    // rings run long and wander slowly; the sample coordinates run over whole
    // periods, so the picture tiles.
    const int warpX = std::max(1, width / 130), warpY = std::max(1, height / 36);
    const int fibreX = std::max(1, width / 50), fibreY = std::max(2, height / 2);
    const int shineX = std::max(1, width / 100), shineY = std::max(1, height / 40);
    const PeriodicNoise warpNoise(look.Seed, warpX, warpY);
    const PeriodicNoise fibreNoise(look.Seed + 11u, fibreX, fibreY);
    const PeriodicNoise shineNoise(look.Seed + 23u, shineX, shineY);
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // Four samples a pixel keep the sharp ring edges smooth.
            double r = 0, g = 0, b = 0;
            for (int sy = 0; sy < 2; ++sy)
                for (int sx = 0; sx < 2; ++sx) {
                    const double u = (x + 0.25 + 0.5 * sx) / width,
                                 v = (y + 0.25 + 0.5 * sy) / height;
                    const double warp =
                        look.Warp * (warpNoise.Fractal(u * warpX, v * warpY, 3) - 0.5);
                    // Each ring: light early wood that darkens into a thin
                    // band of late wood.
                    double phase = v * look.Rings + warp;
                    phase -= std::floor(phase);
                    const double late = std::pow(phase, 6.0);
                    const double shine = shineNoise.Fractal(u * shineX, v * shineY, 2);
                    QColor c = Mix(look.Base, look.Ring, 0.15 + 0.85 * late);
                    c = Mix(c, look.Shine, std::max(0.0, shine - 0.5) * 1.1);
                    r += c.red() / 4.0, g += c.green() / 4.0, b += c.blue() / 4.0;
                }
            const QColor c(Clamp255(r), Clamp255(g), Clamp255(b));
            const double fibre =
                fibreNoise.Fractal(double(x) / width * fibreX, double(y) / height * fibreY, 2) -
                0.5;
            double f = 1.0 + fibre * look.Fibre * 2.0;
            if (look.Planks > 0) {
                // A dark joint with a lit lip below it between the planks.
                const int plank = height / look.Planks;
                const int inPlank = y % plank;
                if (inPlank == 0)
                    f *= 0.62;
                else if (inPlank == 1)
                    f *= 1.10;
                else if (inPlank == plank - 1)
                    f *= 0.86;
            }
            row[x] = qRgb(Clamp255(c.red() * f), Clamp255(c.green() * f), Clamp255(c.blue() * f));
        }
    }
    if (mean.isValid()) {
        // Even out to the wanted mean, channel by channel, in a few rounds
        // (clamping at 255 moves the mean a little each time).
        for (int round = 0; round < 4; ++round) {
            const QColor m = MeanColor(img);
            const double fr = double(mean.red()) / std::max(1, m.red()),
                         fg = double(mean.green()) / std::max(1, m.green()),
                         fb = double(mean.blue()) / std::max(1, m.blue());
            for (int y = 0; y < height; ++y) {
                auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                for (int x = 0; x < width; ++x)
                    row[x] = qRgb(Clamp255(qRed(row[x]) * fr), Clamp255(qGreen(row[x]) * fg),
                                  Clamp255(qBlue(row[x]) * fb));
            }
        }
    }
    return img;
}

Sprite::Sprite(int width, int height)
    : Picture(width, height, QImage::Format_RGB32), Mask(width, height, QImage::Format_RGB32) {
    Picture.fill(kMagenta);
    Mask.fill(0xFFFFFFFF);
}

void Sprite::Put(int x, int y, QColor color, double coverage) {
    if (x < 0 || y < 0 || x >= Width() || y >= Height())
        return;
    if (coverage <= 0.0) {
        Clear(x, y);
        return;
    }
    Picture.setPixel(x, y, color.rgb());
    const int m = Clamp255((1.0 - std::min(coverage, 1.0)) * 255.0);
    Mask.setPixel(x, y, qRgb(m, m, m));
}

void Sprite::Clear(int x, int y) {
    Picture.setPixel(x, y, kMagenta);
    Mask.setPixel(x, y, 0xFFFFFFFF);
}

void Sprite::ShowFill(int x, int y) {
    Picture.setPixel(x, y, 0xFFFFFFFF);
    Mask.setPixel(x, y, 0xFFFFFFFF);
}

Shape RoundedRect(double x, double y, double width, double height, double radius) {
    auto distance = [&](double px, double py) {
        const double qx = std::abs(px - width / 2.0) - (width / 2.0 - radius);
        const double qy = std::abs(py - height / 2.0) - (height / 2.0 - radius);
        const double ox = std::max(qx, 0.0), oy = std::max(qy, 0.0);
        return std::sqrt(ox * ox + oy * oy) + std::min(std::max(qx, qy), 0.0) - radius;
    };
    const double d = distance(x, y);
    // The outward direction: towards the nearest side, or away from the
    // corner's centre inside a rounded corner.
    const double cx = std::clamp(x, radius, width - radius),
                 cy = std::clamp(y, radius, height - radius);
    double nx = x - cx, ny = y - cy;
    if (nx == 0 && ny == 0) {
        const double left = x, right = width - x, top = y, bottom = height - y;
        const double m = std::min({left, right, top, bottom});
        nx = m == left ? -1 : m == right ? 1 : 0;
        ny = nx != 0 ? 0 : (m == top ? -1 : 1);
    }
    const double len = std::sqrt(nx * nx + ny * ny);
    return Shape{d, nx / len, ny / len};
}

double Light(const Shape& s) {
    return std::clamp(-(s.NormalX + s.NormalY) / std::sqrt(2.0), -1.0, 1.0);
}

Sprite PaintShape(int width, int height, double radius, const BandPainter& paint, double inset) {
    Sprite sprite(width, height);
    const double w = width - 2 * inset, h = height - 2 * inset;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Shape s = RoundedRect(x + 0.5 - inset, y + 0.5 - inset, w, h, radius);
            const double coverage = std::clamp(0.5 - s.Distance, 0.0, 1.0);
            if (coverage <= 0.0)
                continue;
            const QColor c = paint(std::max(0.0, -s.Distance - 0.5), Light(s), x, y);
            if (c.isValid())
                sprite.Put(x, y, c, coverage);
            else
                sprite.ShowFill(x, y);
        }
    return sprite;
}

Sprite PaintTopRounded(int width, int height, double radius, double reach,
                       const CoveredPainter& paint) {
    Sprite s(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const Shape shape = RoundedRect(x + 0.5, y + 0.5, width, height + reach, radius);
            const double coverage = std::clamp(0.5 - shape.Distance, 0.0, 1.0);
            if (coverage > 0.0)
                paint(s, x, y, std::max(0.0, -shape.Distance - 0.5), shape, coverage);
        }
    return s;
}

void PutFrame(QImage& target, const QRect& area, int frames, bool masked, int frame,
              const Sprite& sprite) {
    const int fw = frames > 0 ? area.width() / frames : area.width();
    const int fh = masked ? area.height() / 2 : area.height();
    if (sprite.Width() != fw || sprite.Height() != fh)
        throw std::runtime_error("a sprite does not fit its frame");
    const int left = area.left() + frame * fw;
    for (int y = 0; y < fh; ++y)
        for (int x = 0; x < fw; ++x) {
            target.setPixel(left + x, area.top() + y, sprite.Picture.pixel(x, y));
            if (masked)
                target.setPixel(left + x, area.top() + fh + y, sprite.Mask.pixel(x, y));
        }
}

void PutSprite(QImage& master, const MaskPlace& place, int frame, const Sprite& sprite) {
    if (place.Masked) {
        PutFrame(master, place.Area, place.Frames, true, frame, sprite);
        return;
    }
    Sprite keyed = sprite;
    for (int y = 0; y < keyed.Height(); ++y)
        for (int x = 0; x < keyed.Width(); ++x)
            if (qRed(keyed.Mask.pixel(x, y)) >= 128)
                keyed.Clear(x, y);
    PutFrame(master, place.Area, place.Frames, false, frame, keyed);
}

void PaintFrames(QImage& master, const MaskPlace& place,
                 const std::function<Sprite(int frame)>& paint) {
    for (int k = 0; k < std::max(1, int(place.Frames)); ++k)
        PutSprite(master, place, k, paint(k));
}

} // namespace skinart
