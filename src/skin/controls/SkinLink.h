// What the skinned controls share: the background behind a control as its
// parent gives it, and where a control lies in its parent.
#pragma once

#include "platform/Control.h"
#include "skin/draw/TsCommonData.h"

class QPainter;

namespace skin {

// What lies behind `self`, addressed from its top-left in its parent: the
// parent's picture when it gives one, else its colour. A parent that takes
// no part in skinning gives the colour its widget shows, so nothing of
// another colour rings a control before the window is skinned.
ParentCacheInfo BackgroundBehind(const platform::Control& self);
// Shows what lies behind in `area` of the painter: the parent's picture
// read from where `behind` addresses the area's top-left, else its colour.
void ShowParent(QPainter& painter, QRect area, const ParentCacheInfo& behind);

// The same, addressed from the parent's top-left (what the renderer takes
// with the control's position).
ParentCacheInfo ParentBackground(const platform::Control& self);

} // namespace skin
