#include "Wood.h"

#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace runeart {

namespace {

std::string Trim(const std::string& s) {
    const auto b = s.find_first_not_of(" \t\r");
    if (b == std::string::npos)
        return {};
    const auto e = s.find_last_not_of(" \t\r");
    return s.substr(b, e - b + 1);
}

double Smooth(double t) {
    return t * t * (3.0 - 2.0 * t);
}

} // namespace

int Clamp255(double v) {
    return std::clamp(static_cast<int>(std::lround(v)), 0, 255);
}

QColor Mix(const QColor& a, const QColor& b, double t) {
    return QColor(Clamp255(a.red() + (b.red() - a.red()) * t),
                  Clamp255(a.green() + (b.green() - a.green()) * t),
                  Clamp255(a.blue() + (b.blue() - a.blue()) * t));
}

Settings ReadSettings(const std::string& path) {
    std::ifstream in(path);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    Settings out;
    std::string line;
    while (std::getline(in, line)) {
        line = Trim(line.substr(0, line.find('#')));
        const auto eq = line.find('=');
        if (line.empty() || eq == std::string::npos)
            continue;
        out[Trim(line.substr(0, eq))] = Trim(line.substr(eq + 1));
    }
    return out;
}

double SettingNumber(const Settings& s, const std::string& key) {
    const auto it = s.find(key);
    if (it == s.end())
        throw std::runtime_error("missing setting " + key);
    return std::stod(it->second);
}

QColor SettingColor(const Settings& s, const std::string& key) {
    const auto it = s.find(key);
    if (it == s.end())
        throw std::runtime_error("missing setting " + key);
    int r = 0, g = 0, b = 0;
    char c1 = 0, c2 = 0;
    std::istringstream in(it->second);
    if (!(in >> r >> c1 >> g >> c2 >> b) || c1 != ',' || c2 != ',')
        throw std::runtime_error("bad colour for " + key);
    return QColor(r, g, b);
}

WoodStyle ReadWoodStyle(const Settings& s, const std::string& prefix) {
    WoodStyle w;
    w.Base = SettingColor(s, prefix + ".base");
    w.Ring = SettingColor(s, prefix + ".ring");
    w.Shine = SettingColor(s, prefix + ".shine");
    w.Rings = SettingNumber(s, prefix + ".rings");
    w.Warp = SettingNumber(s, prefix + ".warp");
    w.Fibre = SettingNumber(s, prefix + ".fibre");
    return w;
}

double Noise::Lattice(int x, int y) const {
    if (px_ > 0)
        x = ((x % px_) + px_) % px_;
    if (py_ > 0)
        y = ((y % py_) + py_) % py_;
    uint32_t h =
        seed_ ^ (static_cast<uint32_t>(x) * 0x9E3779B1u) ^ (static_cast<uint32_t>(y) * 0x85EBCA77u);
    h ^= h >> 15;
    h *= 0x2C1B3C6Du;
    h ^= h >> 12;
    h *= 0x297A2D39u;
    h ^= h >> 15;
    return (h & 0xFFFFFF) / double(0xFFFFFF);
}

double Noise::At(double x, double y) const {
    const int x0 = static_cast<int>(std::floor(x)), y0 = static_cast<int>(std::floor(y));
    const double fx = Smooth(x - x0), fy = Smooth(y - y0);
    const double top = Lattice(x0, y0) + (Lattice(x0 + 1, y0) - Lattice(x0, y0)) * fx;
    const double bottom =
        Lattice(x0, y0 + 1) + (Lattice(x0 + 1, y0 + 1) - Lattice(x0, y0 + 1)) * fx;
    return top + (bottom - top) * fy;
}

double Noise::Fractal(double x, double y, int octaves) const {
    double sum = 0, amp = 1, norm = 0;
    for (int i = 0; i < octaves; ++i) {
        sum += At(x, y) * amp;
        norm += amp;
        amp *= 0.5;
        x *= 2.03;
        y *= 2.03;
    }
    return sum / norm;
}

QImage PaintTablet(const WoodStyle& style, const Noise& noise, int width, int height, double offset,
                   int bevel) {
    QImage img(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* row = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < width; ++x) {
            // The grain runs down the tablet: rings are stripes across x that
            // wander with a slow noise, fibres are long thin streaks.
            const double u = (x + offset) / width, v = (y + offset * 0.7) / height;
            const double warp = style.Warp * (noise.Fractal(u * 2.0, v * 1.2, 3) - 0.5);
            const double ring = 0.5 + 0.5 * std::sin((u * style.Rings + warp) * 2.0 * M_PI);
            const double fibre = noise.Fractal(u * 40.0, v * 1.5, 2) - 0.5;
            const double shine = noise.Fractal(u * 1.5 + 7.0, v * 1.5, 2);
            QColor c = Mix(style.Base, style.Ring, std::pow(ring, 3.0) * 0.85);
            c = Mix(c, style.Shine, std::max(0.0, shine - 0.55) * 1.2);
            const double f = 1.0 + fibre * style.Fibre * 2.0;
            // A soft bevel: lighter top and left edges, darker bottom and right.
            // Its shades run over three steps whatever its width in pixels.
            const int edge = std::min({x, y, width - 1 - x, height - 1 - y});
            double shade = 1.0;
            if (edge < bevel) {
                const bool topLeft =
                    (x < bevel || y < bevel) && x < width - bevel && y < height - bevel;
                const double step = 3.0 * edge / bevel;
                shade = topLeft ? 1.12 - 0.04 * step : 0.80 + 0.06 * step;
            }
            row[x] = qRgb(Clamp255(c.red() * f * shade), Clamp255(c.green() * f * shade),
                          Clamp255(c.blue() * f * shade));
        }
    }
    return img;
}

} // namespace runeart
