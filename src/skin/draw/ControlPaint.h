// Painting a control from its skin data: its whole picture, a panel's
// picture over its container, and captions in the skin's font colours.
#pragma once

#include "platform/Canvas.h"
#include "skin/draw/SkinPaint.h"
#include "skin/draw/TsCommonData.h"

namespace skin {

// Background, corner images, border, then the control's hue and saturation
// changes. The request's section, textures and own colour are the
// control's; `keys` says whether the border's corners show the parent.
void RenderSection(const TsCommonData& data, const PaintRequest& request,
                   KeyPixels keys = KeyPixels::ShowParent);
// As RenderSection with the background asked of `container`, and without
// hue and saturation changes.
void RenderPanelSection(const TsCommonData& data, platform::Control* container,
                        const PaintRequest& request);

// Where and how a caption is drawn.
struct TextRequest {
    QRect Rect{};
    uint32_t Format = 0; // the canvas's text format flags
    VisualState State = VisualState::Normal;
    bool Enabled = true;
};
// A caption in the colours of the control's section: its contour colours
// one pixel aside, then its font colour; disabled captions in a faded one.
void DrawSkinText(platform::Canvas& canvas, const QString& text, const TextRequest& how,
                  const TsCommonData& data);
// The same for a section without skin data (menus); no hue or saturation.
void DrawSectionText(platform::Canvas& canvas, const QString& text, const TextRequest& how,
                     const TsSkinManager* manager, int section);

} // namespace skin
