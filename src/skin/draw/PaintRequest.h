// One request to paint a section: where, which section in which state,
// what shows through, and the textures found when the control bound to
// its section. Written with designated initialisers:
//
//   RenderSectionByIndex(manager, {.Target = cache, .Section = index,
//                                  .State = VisualState::Hot,
//                                  .Parent = behind, .Position = at});
#pragma once

#include "platform/Bitmap.h"
#include "skin/data/SkinLooks.h"
#include "skin/draw/ParentCache.h"

#include <QRect>
#include <optional>

namespace skin {

class TsSkinManager;

// A section's textures (masks) and large pattern pictures, normal and hot,
// found once when a control binds to its section; -1 where it has none.
struct SectionTextures {
    int Pattern = -1, HotPattern = -1;               // indexes into the mask table
    int PatternPicture = -1, HotPatternPicture = -1; // indexes into the pattern table
    bool operator==(const SectionTextures&) const = default;
};
SectionTextures BindSectionTextures(const TsSkinManager& manager, int section,
                                    const QString& sectionName);

struct PaintRequest {
    platform::Bitmap& Target;
    int Section = -1;
    VisualState State = VisualState::Normal;
    // What lies behind the control, addressed from the control's top-left.
    ParentCacheInfo Parent{};
    // The control's place in its parent.
    QPoint Position{};
    // The part of Target to paint; all of it when none.
    std::optional<QRect> Rect{};
    // Bound textures; looked up by the section's name when null.
    const SectionTextures* Textures = nullptr;
    // Replaces the section's colours (a control's own colour) unless none.
    RgbColor OwnColor = kNoColor;

    QRect Area() const { return Rect ? *Rect : Target.Rect(); }
    // The parent addressed from the top-left of Area().
    ParentCacheInfo ParentBehindArea() const {
        return Parent.Moved(Position).Moved(Area().topLeft());
    }
};

} // namespace skin
