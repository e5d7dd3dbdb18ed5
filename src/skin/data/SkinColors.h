// The three colour encodings of skinned drawing, as types that do not mix
// silently, and every conversion between them:
//
//   SkinColor  a colour as the skin and the controls store it: 0x00BBGGRR,
//              or a system colour (top byte 0xFF) resolved when drawn
//   RgbColor   a resolved colour, 0x00BBGGRR, red in the low byte
//   Pixel      a word of a Bitmap row, 0xAARRGGBB
//
// Pixel loops keep working on raw row words; these types are for the values
// that travel between functions.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Colors.h"
#include "skin/data/Blend.h"

#include <cstdint>

namespace skin {

enum class SkinColor : int32_t {};
enum class RgbColor : uint32_t {};
enum class Pixel : uint32_t {};

// Magenta: the see-through key of skin pictures, and "no colour" where a
// colour is optional. It reads the same as an RgbColor and as a Pixel's
// colour bytes.
constexpr uint32_t kTransparentKey = 0xFF00FF;
constexpr RgbColor kNoColor{kTransparentKey};

// A stored colour that is not set: a contour not drawn, an inherited
// colour not overridden.
constexpr SkinColor kNoSkinColor{-1};

constexpr uint32_t Value(RgbColor c) {
    return static_cast<uint32_t>(c);
}
constexpr uint32_t Value(Pixel p) {
    return static_cast<uint32_t>(p);
}
constexpr int32_t Value(SkinColor c) {
    return static_cast<int32_t>(c);
}

// A stored colour as drawn: system colours looked up, the top byte cleared.
inline RgbColor ToRgb(SkinColor c) {
    return RgbColor{platform::ColorToRGB(Value(c))};
}
// Whether a stored colour names a colour to draw with: neither unset nor
// the see-through key.
constexpr bool IsDrawnColor(SkinColor c) {
    return c != kNoSkinColor && Value(c) != static_cast<int32_t>(kTransparentKey);
}
// An opaque pixel of a colour.
constexpr Pixel ToPixel(RgbColor c) {
    return Pixel{platform::PixelFromColor(Value(c))};
}
// A pixel's colour bytes as a colour; its fourth byte is dropped.
constexpr RgbColor ToRgb(Pixel p) {
    return RgbColor{platform::ColorFromPixel(Value(p))};
}
// An RGB value is already a stored colour that names no system colour.
constexpr SkinColor ToStored(RgbColor c) {
    return SkinColor{static_cast<int32_t>(Value(c) & 0xFFFFFF)};
}

// The colour as Qt takes it.
inline QColor ToQColor(RgbColor c) {
    return platform::ToQColor(platform::TColor(Value(c)));
}

// a × p + b × (1 − p) per channel (see Blend.h).
inline RgbColor MixColors(RgbColor a, RgbColor b, double p) {
    return RgbColor{MixColors(Value(a), Value(b), p)};
}

} // namespace skin
