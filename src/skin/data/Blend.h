// The blending arithmetic of skinned drawing, in one place. Colours are
// 0x00BBGGRR values; pixels are the words of a Bitmap row (0xAARRGGBB).
#pragma once

#include <cmath>
#include <cstdint>

namespace skin {

// a × p + b × (1 − p) per channel, p in 0..1, rounded to the nearest
// integer with halves to even; the high byte is a's.
inline uint32_t MixColors(uint32_t a, uint32_t b, double p) {
    uint32_t out = a & 0xFF000000u;
    for (int shift = 0; shift < 24; shift += 8) {
        const double v = ((a >> shift) & 0xFF) * p + ((b >> shift) & 0xFF) * (1.0 - p);
        out |= static_cast<uint32_t>(std::nearbyint(v)) << shift; // the default mode: to even
    }
    return out;
}

// x / 255 rounded to the nearest whole number, for 0 <= x <= 255 × 255.
inline uint32_t Div255(uint32_t x) {
    x += 128;
    return (x + (x >> 8)) >> 8;
}

// A colour s laid over c by a coverage a (0..255): (c × (255 − a) + s × a)
// / 255 rounded, so no coverage leaves c exactly as it was and full
// coverage gives s.
inline uint32_t CoverBlend(uint32_t c, uint32_t s, uint32_t a) {
    return Div255(c * (255 - a) + s * a);
}

// One byte of a bitmap laid over another with weight a (0..255) for the
// lower one: (lower × a + upper × (255 − a) + 127) >> 8.
inline uint32_t BlendByte(uint32_t lower, uint32_t upper, uint32_t a) {
    return (lower * a + upper * (255 - a) + 127) >> 8;
}

// One channel of a picture pixel laid over the destination by its mask
// value m (0 the picture, 255 almost the destination): ((dst − src) × m +
// src × 256) >> 8, shifting towards minus infinity.
inline int MaskBlend(int dst, int src, int m) {
    return ((dst - src) * m + src * 256) >> 8;
}

// One channel of p percent of a pixel and the rest of a colour, rounded to
// the nearest integer (halves away from zero).
inline int PercentMix(int pixel, int color, int percent) {
    return static_cast<int>(std::lround(pixel * percent / 100.0 + color * (1.0 - percent / 100.0)));
}

} // namespace skin
