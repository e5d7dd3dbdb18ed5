#include "skin/data/ColorShift.h"

#include <algorithm>
#include <cmath>

namespace skin {

namespace {

int Channel(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

int32_t Rgb(int r, int g, int b) {
    return r | (g << 8) | (b << 16);
}

// The pixel word keeps red in bits 16-23, colours keep it in bits 0-7.
template <typename Change> void ChangePixels(platform::Bitmap& picture, Change change) {
    for (int y = 0; y < picture.Height(); ++y) {
        uint32_t* row = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x) {
            const uint32_t px = row[x];
            const uint32_t rgb = px & 0xFFFFFF;
            const uint32_t r = rgb >> 16, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
            if (rgb == 0xFF00FF || (r == g && g == b))
                continue;
            const uint32_t c = static_cast<uint32_t>(change(Rgb(r, g, b)));
            row[x] = (px & 0xFF000000u) | ((c & 0xFF) << 16) | (c & 0xFF00) | ((c >> 16) & 0xFF);
        }
    }
}

} // namespace

int32_t ChangeHue(int32_t color, int degrees) {
    if (degrees == 0)
        return color;
    const int r = color & 0xFF, g = (color >> 8) & 0xFF, b = (color >> 16) & 0xFF;
    const int hi = std::max({r, g, b}), lo = std::min({r, g, b});
    if (hi == lo)
        return Rgb(hi, hi, hi);
    const double v = hi, s = double(hi - lo) / hi, d = hi - lo;
    double h;
    if (hi == r)
        h = 60.0 * (g - b) / d;
    else if (hi == g)
        h = 60.0 * (b - r) / d + 120.0;
    else
        h = 60.0 * (r - g) / d + 240.0;
    int turned = static_cast<int>(std::lround(h + degrees)) % 360;
    if (turned < 0)
        turned += 360;
    const int sector = turned / 60;
    const double f = turned / 60.0 - sector;
    const double p = v * (1 - s), q = v * (1 - s * f), t = v * (1 - s * (1 - f));
    const double rgb[6][3] = {{v, t, p}, {q, v, p}, {p, v, t}, {p, q, v}, {t, p, v}, {v, p, q}};
    const double* out = rgb[sector];
    return Rgb(Channel(out[0]), Channel(out[1]), Channel(out[2]));
}

int32_t ChangeSaturation(int32_t color, int amount) {
    if (amount == 0)
        return color;
    const int c[3] = {color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF};
    const double mean = (c[0] + c[1] + c[2]) / 3.0;
    int out[3];
    for (int i = 0; i < 3; ++i)
        out[i] = Channel(c[i] - (mean - c[i]) * amount / 100.0);
    return Rgb(out[0], out[1], out[2]);
}

void ApplyHueToBitmap(platform::Bitmap& picture, int degrees) {
    if (degrees != 0)
        ChangePixels(picture, [degrees](int32_t c) { return ChangeHue(c, degrees); });
}

void ApplySaturationToBitmap(platform::Bitmap& picture, int amount) {
    if (amount != 0)
        ChangePixels(picture, [amount](int32_t c) { return ChangeSaturation(c, amount); });
}

} // namespace skin
