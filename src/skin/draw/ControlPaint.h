// Painting a control from its skin data: its whole picture, a panel's
// picture over its container, and captions in the skin's font colours.
#pragma once

#include "platform/Canvas.h"
#include "skin/draw/TsCommonData.h"

namespace skin {

// Background, corner images, border, then the control's hue and saturation
// changes. `p` is the background behind the control, q its place in its
// parent; `corners` lets the border's corners show the parent.
void RenderSection(const TsCommonData& data, ParentCacheInfo p, bool corners, int state,
                   platform::Bitmap& b, QPoint q, QRect r);
// As RenderSection with the background asked of `container`, and without
// hue and saturation changes.
void RenderPanelSection(const TsCommonData& data, platform::Control* container, int state,
                        platform::Bitmap& b, QPoint q, QRect r);

// A caption in the colours of the control's section: its contour colours
// one pixel aside, then its font colour; disabled captions in a faded one.
void DrawSkinText(platform::Canvas& canvas, const QString& text, bool enabled, bool hot,
                  const TsCommonData& data, uint32_t format, QRect r);
// The same for a section without skin data (menus); no hue or saturation.
void DrawSectionText(platform::Canvas& canvas, const QString& text, bool enabled,
                     const TsSkinManager* manager, bool hot, int section, uint32_t format, QRect r);

} // namespace skin
