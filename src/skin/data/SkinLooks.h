// The named values of section painting: visual states, the fill modes of
// textures and border frames, gradient modes, and the one rule that picks
// the look (normal or hot) a section shows in a state.
#pragma once

#include "skin/data/SkinMasks.h"
#include "skin/data/SkinSections.h"

#include <algorithm>
#include <cstdint>

namespace skin {

// A control's visual state. A section may define states beyond these; they
// are numbered on (VisualState{3} and so on), and every state from Hot on
// shows the section's hot look.
enum class VisualState : int { Normal = 0, Hot = 1, Pressed = 2 };

constexpr int Number(VisualState s) {
    return static_cast<int>(s);
}
constexpr VisualState HotIf(bool hot) {
    return hot ? VisualState::Hot : VisualState::Normal;
}

// A state beyond the section's states is its last (any STATES value, even
// the most negative integer, is handled without overflow).
constexpr VisualState ClampState(const TsGeneralData& d, VisualState s) {
    const int last = d.StateCount > 1 ? d.StateCount - 1 : 0;
    const int n = Number(s);
    return VisualState{n < 0 ? 0 : n > last ? last : n};
}

// Whether a section shows its hot look in state s: the one place this is
// decided.
constexpr bool ShowsHotLook(const TsGeneralData& d, VisualState s) {
    return Number(ClampState(d, s)) > 0;
}
inline const TsGenState& LookFor(const TsGeneralData& d, VisualState s) {
    return d.StateData[ShowsHotLook(d, s) ? 1 : 0];
}

// The frame of a mask that a state shows: the state's own, or the last
// frame for a state beyond the mask's frames.
inline int FrameIndex(const TsMaskData& mask, VisualState s) {
    return std::min(Number(s), mask.FrameCount - 1);
}

// How a texture (a mask with a fill mode) covers a rectangle.
enum class TextureFill : int {
    Tile = 0,
    Stretch = 1,
    TileTop = 2,     // one row of tiles along the top edge
    TileLeft = 3,    // one column along the left edge
    StretchTop = 4,  // one tile's height along the top, stretched across
    StretchLeft = 5, // one tile's width along the left, stretched down
    TileBottom = 6,  // one row along the bottom edge
    TileRight = 7,   // one column along the right edge (and any other value)
    WholeTiles = 10, // whole tiles only; the strips left over show the parent
};
inline TextureFill FillOf(const TsMaskData& mask) {
    return TextureFill{mask.FillMode};
}

// The fill mode bits of a border frame.
enum BorderFill : int {
    StretchEdges = 1,   // plain edges stretched once rather than tiled
    NoneWhenNormal = 2, // no border in the normal state
    FillMiddle = 4,     // the frame's middle is laid inside the border too
};
inline bool HasBorderFill(const TsMaskData& mask, BorderFill bit) {
    return (mask.FillMode & bit) != 0;
}

// The orientation of a gradient, by its first step's mode.
enum class GradientMode : int { Vertical = 0, Horizontal = 1, Triangles = 2 };
// None for an empty gradient or an unknown mode.
inline std::optional<GradientMode> ModeOf(const TsGradArray& steps) {
    if (steps.empty() || steps.front().Mode < 0 || steps.front().Mode > 2)
        return std::nullopt;
    return GradientMode{steps.front().Mode};
}

} // namespace skin
