// A skinned scroll bar: where its parts lie, and its picture from the
// skin's scroll-bar sections. Arrow buttons at both ends, the track
// between them in two halves that meet at the slider's middle, the slider
// over them:
//
//   [<][ track before | track after ][>]
//            [===slider===]
//
// A bar too short for two whole arrows shows two half-length arrows only.
#pragma once

#include "platform/Bitmap.h"
#include "skin/data/SkinLooks.h"
#include "skin/data/TsSkinManager.h"
#include "skin/draw/ParentCache.h"

#include <QRect>

namespace skin {

// A bar's range as the toolkit keeps it: positions Min..Max, Page shown.
struct ScrollInfo {
    int Min = 0, Max = 0, Page = 0, Pos = 0;
};

struct ScrollBarParts {
    QRect SubArrow, AddArrow; // left or top, right or bottom
    QRect SubTrack, AddTrack; // the track before and after the slider's middle
    QRect Slider;             // empty when the bar shows none
    QRect Groove() const { return SubTrack.united(AddTrack); }
};

// The length of the arrow buttons of the skin's bars.
int ScrollArrowLength(const TsSkinManager& manager, Qt::Orientation orientation);
ScrollBarParts LayoutScrollBar(QSize bar, Qt::Orientation orientation, int arrowLength,
                               int minThumb, const ScrollInfo& info, bool enabled);

struct ScrollPartStates {
    VisualState SubArrow{}, AddArrow{}, SubTrack{}, AddTrack{}, Slider{};
};

// Paints the bar into `out` (the bar's size). `parent` is what lies
// behind the bar, addressed from the bar's top-left. False when the skin
// has no scroll-bar sections (the toolkit's bar is drawn then).
bool RenderScrollBar(const TsSkinManager& manager, platform::Bitmap& out,
                     Qt::Orientation orientation, const ScrollBarParts& parts,
                     const ScrollPartStates& states, const ParentCacheInfo& parent, bool enabled);

} // namespace skin
