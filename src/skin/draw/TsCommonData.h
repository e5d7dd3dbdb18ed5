// The skin data every skinned control owns: which section of the skin it is
// painted from, its cached picture, its visual state, and its part in the
// skin commands through which controls, their parents and the skin manager
// talk to each other (a new skin, give me your background, repaint).
//
// The host control is reached only through the platform's Control
// interface and messages.
#pragma once

#include "platform/Control.h"
#include "skin/data/SkinCommands.h"
#include "skin/data/TsSkinManager.h"
#include "skin/draw/PaintCache.h"
#include "skin/draw/PaintRequest.h"
#include "skin/draw/SectionBinding.h"

#include <memory>

namespace skin {

// What a parent gave in answer to a background request.
enum class BackgroundAnswer : uint8_t { None = 0, Color = 1, Picture = 2 };

// What a child asks its parent for (command 34) and what it gets back.
struct BackgroundRequest {
    const platform::Bitmap* Bitmap = nullptr;
    RgbColor Color{0};
    int OffsetX = 0, OffsetY = 0; // where the requester lies in Bitmap
    QRect Rect;                   // wanted, in the requester's coordinates
    BackgroundAnswer Kind = BackgroundAnswer::None;
    bool PleaseDraw = false;
    platform::Bitmap* TargetDevice = nullptr;

    ParentCacheInfo ToParentCache() const;
};

// Kinds of the program's skinned controls.
enum ControlKindCode : int {
    KindEdit = 3,
    KindMemo = 7,
    KindPanel = 51,
    KindButton = 93,
};
bool IsEditKind(int kind);
bool IsContainerKind(int kind);
// The section a kind of control is painted from by default; empty for a
// kind not in the table (the owner's class name is used then).
QString DefaultSectionOfKind(int kind);

// State flag bits.
enum StateFlag : uint16_t {
    sfPlainBackground = 1,
    sfPaintLocked = 0x800,
};

// What a section's background holds, as bits of TsCommonData::BackgroundKind.
enum BackgroundKindBit : uint16_t {
    bkHorizontalGradient = 1,
    bkVerticalGradient = 2,
    bkTriangleGradient = bkHorizontalGradient | bkVerticalGradient,
    bkTexture = 4,
};

// Window events the skin data takes part in.
enum class ControlEvent {
    Moved,
    Resized,
    FocusGained,
    FocusLost,
    Disabled,
    ContextMenu,
    UiStateUpdate,
    ChildCreated,
    Shown,
    Hidden,
    MouseEntered,
    MouseLeft,
};

class TsCommonData : public PaintCache, public SectionBinding {
public:
    // `host` is the owning control, or null when the owner is not one.
    explicit TsCommonData(platform::Control* host, bool createCache = false);
    virtual ~TsCommonData();
    TsCommonData(const TsCommonData&) = delete;
    TsCommonData& operator=(const TsCommonData&) = delete;

    bool CustomColor() const { return customColor_; }
    void SetCustomColor(bool value);
    bool CustomFont() const { return customFont_; }
    void SetCustomFont(bool value);
    // The section and manager, and binding to them: SectionBinding.
    void SetSkinManager(TsSkinManager* manager);
    void SetSkinSection(const QString& section);

    // State.
    int ControlKind = 0;
    bool ClippedByParent = true;
    bool HasFocus = false, MouseInside = false;
    uint16_t StateFlags = 0, BackgroundKind = 0;
    platform::Control* HostControl() const { return host_; }

    // The cached picture and holding painting back: PaintCache.
    // Holds painting back while it must wait (see IsPaintDeferred).
    void HoldPaintWhileDeferred() { IsPaintDeferred() ? HoldPaint() : ReleasePaint(); }
    // Asked as a paint begins: holds painting back while it must wait, and
    // answers whether it does (the control then shows what it showed last).
    bool WaitsToPaint() {
        HoldPaintWhileDeferred();
        return PaintHeld();
    }

    // Hue and saturation changes (published by buttons, edits and memos).
    int HueOffset() const { return hueOffset_; }
    int Saturation() const { return saturation_; }

    // Bound to a section of a skin in force, and the host alive.
    bool IsSkinned() const;
    void ResolveSection();
    void AssignDefaultSection();
    void InitAfterLoad();
    // The host control is built: bound to its section and free to paint.
    void ControlBuilt() {
        InitAfterLoad();
        ReleasePaint();
    }
    void ApplySkinColors(bool repaint);
    void ComputeBackgroundKind();
    bool NeedsComplexBackground() const;
    void UpdateContainerState(bool recurse);
    bool IsHot() const;
    void LockPainting();
    void UnlockPainting(bool repaint);
    void RequestRepaint();
    bool IsPaintDeferred() const;
    bool DependsOnParentBackground() const;
    void PrepareCacheBitmap();
    // The background colour of a state as painted.
    RgbColor GetStateColor(VisualState state) const;
    // The colour children use as their background (the answer to 21).
    RgbColor BackgroundColorForChildren() const;
    void FillBackgroundInfo(BackgroundRequest& request, VisualState state) const;
    ParentCacheInfo GetParentCache() const;

    // The control's part of a skin command; true when it was consumed.
    bool HandleSkinCommand(platform::Message& message);
    // The control's part of a window event; true when it was consumed.
    bool HandleControlEvent(ControlEvent event);

protected:
    void SetHueSaturation(int hue, int saturation);

private:
    // The parts of HandleSkinCommand that are more than a line.
    void OnManagerCommand(const platform::Message& message);
    void AnnounceSectionChange();
    void OnRemoveSkin();
    intptr_t AnswerIsTransparent() const;
    void OnParentBackgroundChanged(bool repaint);
    void ResetLabelFonts();
    RgbColor OwnRgb() const;
    bool HostLoading() const;
    bool HostDestroying() const;

    platform::Control* host_;
    bool customColor_ = false, customFont_ = false;
    int hueOffset_ = 0, saturation_ = 0;
};

// The skin data of buttons, edits, memos and rich edits: with the hue and
// saturation changes of the finished picture.
class TsCtrlSkinData : public TsCommonData {
public:
    using TsCommonData::TsCommonData;
    void SetHueOffset(int value);
    void SetSaturation(int value);
};

// Asks a parent for the background behind a child (command 34), falling
// back to the parent's colours.
void AskParentBackground(BackgroundRequest& request, platform::Control* parent, bool pleaseDraw);

} // namespace skin
