#include "skin/draw/TsCommonData.h"

#include "skin/data/Blend.h"
#include "skin/data/ColorShift.h"
#include "skin/draw/SkinPaint.h"

#include <algorithm>

namespace skin {

using platform::Control;

namespace {

RgbColor ButtonFace() {
    return RgbColor{platform::GetSysColor(platform::COLOR_BTNFACE)};
}

// The colour a parent shows its children: its answer to command 21 when it
// handles skin commands, else its own colour.
RgbColor ParentBackgroundColor(Control* parent) {
    if (!parent)
        return ButtonFace();
    if (AnswersSkinCommands(parent))
        return SendSkinCommand<SkinCmdGetBgColor>(parent);
    return ToRgb(SkinColor{parent->Color()});
}

// The outermost control: the form a control sits on.
Control* FormOf(Control* control) {
    while (control && control->Parent())
        control = control->Parent();
    return control;
}

RgbColor DefaultGlobalColor() {
    const TsSkinManager* m = TsSkinManager::DefaultManager();
    return m ? RgbColor{m->GlobalColor()} : ButtonFace();
}

struct KindRange {
    int From, To;
};
bool InRanges(int kind, std::initializer_list<KindRange> ranges) {
    return std::any_of(ranges.begin(), ranges.end(),
                       [kind](KindRange r) { return kind >= r.From && kind <= r.To; });
}

} // namespace

ParentCacheInfo BackgroundRequest::ToParentCache() const {
    if (Kind == BackgroundAnswer::Picture)
        return ParentCacheInfo::Picture(Bitmap, OffsetX, OffsetY);
    return ParentCacheInfo::Color(Color);
}

bool IsEditKind(int kind) {
    return InRanges(kind, {{2, 18}, {41, 41}, {76, 84}, {96, 96}, {131, 140}});
}

bool IsContainerKind(int kind) {
    return InRanges(kind, {{19, 19}, {51, 74}, {110, 110}, {141, 161}});
}

QString DefaultSectionOfKind(int kind) {
    struct Row {
        std::initializer_list<KindRange> Kinds;
        const char* Section;
    };
    static const Row rows[] = {
        {{{2, 8},
          {10, 10},
          {41, 41},
          {76, 76},
          {78, 78},
          {83, 85},
          {96, 96},
          {131, 131},
          {140, 140},
          {227, 227}},
         "EDIT"},
        {{{11, 18}, {81, 82}}, "COMBOBOX"},
        {{{19, 19}}, "BAR"},
        {{{20, 20}}, "BARTITLE"},
        {{{32, 32}, {152, 152}}, "CHECKBOX"},
        {{{33, 33}}, "RADIOBUTTON"},
        {{{51, 51}, {59, 59}, {68, 68}, {73, 73}}, "PANEL"},
        {{{52, 52}, {58, 58}}, "PANEL_LOW"},
        {{{53, 54}, {60, 60}}, "TOOLBAR"},
        {{{56, 56}}, "DRAGBAR"},
        {{{57, 57}}, "TABSHEET"},
        {{{74, 74}, {226, 226}}, "GROUPBOX"},
        {{{75, 75}}, "SPLITTER"},
        {{{92, 92}, {95, 95}}, "SPEEDBUTTON"},
        {{{93, 94}}, "BUTTON"},
        {{{98, 98}}, "TOOLBUTTON"},
        {{{141, 141}, {143, 143}}, "PAGECONTROL"},
        {{{151, 151}}, "STATUSBAR"},
        {{{161, 161}}, "GAUGE"},
        {{{165, 165}}, "TRACKBAR"},
    };
    for (const Row& row : rows)
        if (InRanges(kind, row.Kinds))
            return QString::fromLatin1(row.Section);
    return QString();
}

// ---------------------------------------------------------------------------
// Life and binding
// ---------------------------------------------------------------------------

TsCommonData::TsCommonData(Control* host, bool createCache)
    : PaintCache(createCache), host_(host) {}

TsCommonData::~TsCommonData() = default;

bool TsCommonData::HostLoading() const {
    return host_ && (host_->ComponentState & Control::csLoading);
}

bool TsCommonData::HostDestroying() const {
    return host_ && (host_->ComponentState & Control::csDestroying);
}

bool TsCommonData::IsSkinned() const {
    return SkinInForce(SkinManager()) && Section() && !HostDestroying();
}

void TsCommonData::SetSkinSection(const QString& section) {
    if (!Rename(section))
        return;
    const TsSkinManager* m = SkinManager();
    if (!m || m->SectionTable().empty())
        SectionIndex = -1;
    else
        ResolveSection();
    if (host_ && !HostLoading() && host_->Parent() && !HostDestroying())
        AnnounceSectionChange();
}

void TsCommonData::ResolveSection() {
    MarkCacheStale();
    const bool bound = Bind();
    ComputeBackgroundKind();
    StateFlags = 0;
    if (bound)
        UpdateContainerState(false);
}

void TsCommonData::AssignDefaultSection() {
    if (!SkinSection().isEmpty()) {
        ResolveSection();
        return;
    }
    QString section = DefaultSectionOfKind(ControlKind);
    if (section.isEmpty() && host_)
        section = host_->ClassName();
    SetSkinSection(section);
}

void TsCommonData::InitAfterLoad() {
    AssignDefaultSection();
    if (!IsSkinned() || !host_ || !host_->Parent() || HostLoading())
        return;
    if (host_->IsWindowed())
        SendSkinCommand<SkinCmdControlCreated>(FormOf(host_), host_);
    ApplySkinColors(false);
}

void TsCommonData::SetSkinManager(TsSkinManager* manager) {
    if (!UseManager(manager) || HostLoading())
        return;
    const TsSkinManager* m = SkinManager();
    if (m && !m->SectionTable().empty())
        ResolveSection();
    else
        SectionIndex = -1;
    if (host_ && host_->Parent() && !HostDestroying())
        AnnounceSectionChange();
}

void TsCommonData::SetCustomColor(bool value) {
    if (value == customColor_)
        return;
    customColor_ = value;
    ApplySkinColors(true);
}

void TsCommonData::SetCustomFont(bool value) {
    if (value == customFont_)
        return;
    customFont_ = value;
    RequestRepaint();
}

void TsCommonData::SetHueSaturation(int hue, int saturation) {
    if (hue == hueOffset_ && saturation == saturation_)
        return;
    hueOffset_ = hue;
    saturation_ = saturation;
    InitAfterLoad();
    RequestRepaint();
}

void TsCtrlSkinData::SetHueOffset(int value) {
    SetHueSaturation(value, Saturation());
}

void TsCtrlSkinData::SetSaturation(int value) {
    SetHueSaturation(HueOffset(), value);
}

// ---------------------------------------------------------------------------
// Colours and backgrounds
// ---------------------------------------------------------------------------

void TsCommonData::ComputeBackgroundKind() {
    BackgroundKind = 0;
    const TsGeneralData* d = Section();
    if (!d)
        return;
    if (d->ImagePercent != 0)
        BackgroundKind |= bkTexture;
    if (d->GradientPercent == 0)
        return;
    if (const std::optional<GradientMode> mode = ModeOf(d->Gradient)) {
        switch (*mode) {
        case GradientMode::Vertical:
            BackgroundKind |= bkVerticalGradient;
            break;
        case GradientMode::Horizontal:
            BackgroundKind |= bkHorizontalGradient;
            break;
        case GradientMode::Triangles:
            BackgroundKind |= bkTriangleGradient;
            break;
        }
    }
}

void TsCommonData::ApplySkinColors(bool repaint) {
    if (!host_ || !IsSkinned() || !IsEditKind(ControlKind))
        return;
    const TsGeneralData& d = *Section();
    auto changed = [&](int32_t c) {
        return ChangeSaturation(ChangeHue(c, hueOffset_), saturation_);
    };
    if (!customColor_) {
        const int32_t color = changed(Value(d.Color));
        if (host_->Color() != color)
            host_->SetColor(color);
    }
    if (!customFont_) {
        const int32_t fontColor = changed(Value(d.StateData[0].FontColors.Text));
        if (host_->Font().Color != fontColor) {
            platform::TFont font = host_->Font();
            font.Color = fontColor;
            host_->SetFont(font);
        }
    }
    if (repaint)
        RequestRepaint();
}

bool TsCommonData::IsHot() const {
    if (!host_ || HostDestroying() || !host_->Enabled())
        return false;
    if (HasFocus || (host_->IsWindowed() && host_->Focused()))
        return true;
    return MouseInside && !IsContainerKind(ControlKind);
}

RgbColor TsCommonData::OwnRgb() const {
    return host_ ? ToRgb(SkinColor{host_->Color()}) : ButtonFace();
}

RgbColor TsCommonData::GetStateColor(VisualState state) const {
    const TsGeneralData* d = Section();
    if (!d || customColor_ || !IsSkinned())
        return OwnRgb();
    const TsGenState& look = LookFor(*d, state);
    const RgbColor c = ToRgb(look.Color);
    const int t = std::clamp(look.Transparency, 0, 100);
    if (t == 0)
        return c;
    const RgbColor parent = ParentBackgroundColor(host_ ? host_->Parent() : nullptr);
    return t == 100 ? parent : MixColors(parent, c, t / 100.0);
}

RgbColor TsCommonData::BackgroundColorForChildren() const {
    const TsGeneralData* d = Section();
    if (!host_ || !d || !IsSkinned())
        return OwnRgb();
    const RgbColor own = ToRgb(d->Color);
    const int t = std::clamp(d->Transparency, 0, 100);
    Control* parent = host_->Parent();
    if (t == 0)
        return own;
    if (t == 100) {
        if (!parent)
            return OwnRgb();
        const RgbColor answer = ParentBackgroundColor(parent);
        return answer == kNoColor ? ToRgb(SkinColor{parent->Color()}) : answer;
    }
    return MixColors(parent ? ParentBackgroundColor(parent) : OwnRgb(), own, t / 100.0);
}

bool TsCommonData::DependsOnParentBackground() const {
    if (!IsSkinned() || !host_ || !host_->Enabled())
        return true;
    if (Section()->Transparency <= 0)
        return false;
    Control* parent = host_->Parent();
    return parent && (SendSkinCommand<SkinCmdIsTransparent>(parent) & 0x7F) != 0;
}

bool TsCommonData::NeedsComplexBackground() const {
    const TsGeneralData* d = Section();
    if (!d)
        return false;
    const TsSkinManager* m = SkinManager();
    if (m->IsValidMask(BorderMaskIndex) &&
        (m->MaskLeftWidth(BorderMaskIndex) + m->MaskRightWidth(BorderMaskIndex) > 20 ||
         m->MaskTopWidth(BorderMaskIndex) + m->MaskBottomWidth(BorderMaskIndex) > 20))
        return true;
    if (d->Transparency == 100) {
        Control* parent = host_ ? host_->Parent() : nullptr;
        if (!parent || !(SendSkinCommand<SkinCmdChildState>(parent) & sfPlainBackground))
            return true;
    } else if (d->Transparency != 0) {
        return true;
    }
    return d->ImagePercent != 0 || d->GradientPercent != 0;
}

void TsCommonData::UpdateContainerState(bool recurse) {
    StateFlags &= ~sfPlainBackground;
    // Of the containers only panels, frames and scrolling boxes may be plain.
    if (IsContainerKind(ControlKind) && !NeedsComplexBackground())
        StateFlags |= sfPlainBackground;
    if (recurse && host_ && host_->IsWindowed())
        for (Control* child : host_->Controls())
            SendSkinCommand<SkinCmdChildState>(child, 1);
}

void TsCommonData::FillBackgroundInfo(BackgroundRequest& request, VisualState state) const {
    const TsGeneralData* d = Section();
    if (!d || !IsSkinned() || customColor_) {
        request.Kind = BackgroundAnswer::Color;
        request.Color = OwnRgb();
        return;
    }
    const TsGenState& look = LookFor(*d, state);
    const int t = look.Transparency, g = look.GradientPercent, i = look.ImagePercent;
    if (t == 0 && g <= 0 && i < 1) {
        request.Kind = BackgroundAnswer::Color;
        request.Bitmap = CacheBitmap();
        request.Color = GetStateColor(state);
        if (request.PleaseDraw && request.TargetDevice)
            FillRect(*request.TargetDevice, request.Rect, request.Color);
        return;
    }
    const bool haveCache = CacheBitmap() && !CacheBitmap()->Empty();
    if (t == 0) {
        request.Color = RgbColor{SkinManager()->GlobalColor()};
        if (!haveCache) {
            request.Color = kNoColor;
            request.Kind = BackgroundAnswer::Color;
            return;
        }
    } else if (t == 100) {
        if ((StateFlags & sfPlainBackground) || !haveCache || CacheStale()) {
            // Nothing of its own to give: the parent answers, and the
            // answer is moved to where this control lies in it.
            Control* parent = host_ ? host_->Parent() : nullptr;
            if (!parent) {
                request.Kind = BackgroundAnswer::Color;
                request.Color = DefaultGlobalColor();
                return;
            }
            AskParentBackground(request, parent, request.PleaseDraw);
            if (request.Kind == BackgroundAnswer::Picture) {
                const QRect bounds = host_->BoundsRect();
                request.OffsetX += bounds.left();
                request.OffsetY += bounds.top();
            }
            return;
        }
    } else if (!haveCache) {
        request.Color = kNoColor;
        request.Kind = BackgroundAnswer::Color;
        return;
    }
    request.Kind = BackgroundAnswer::Picture;
    if (request.PleaseDraw && request.TargetDevice) {
        CopyFrom(*request.TargetDevice, request.Rect, *CacheBitmap(), request.OffsetX,
                 request.OffsetY);
        return;
    }
    request.Bitmap = CacheBitmap();
    request.OffsetX = request.OffsetY = 0;
}

void AskParentBackground(BackgroundRequest& request, Control* parent, bool pleaseDraw) {
    request.Kind = BackgroundAnswer::None;
    request.PleaseDraw = pleaseDraw;
    if (!parent) {
        request.Kind = BackgroundAnswer::Color;
        request.Color = DefaultGlobalColor();
        return;
    }
    SendSkinCommand<SkinCmdGetBgInfo>(parent, &request);
    if (request.Kind != BackgroundAnswer::None)
        return;
    // The parent gave nothing: its colour serves. (A parent that paints
    // itself into the device is not needed by this program's windows.)
    request.Kind = BackgroundAnswer::Color;
    const RgbColor answer =
        AnswersSkinCommands(parent) ? SendSkinCommand<SkinCmdGetBgColor>(parent) : RgbColor{0};
    request.Color = answer != RgbColor{0} ? answer : ToRgb(SkinColor{parent->Color()});
    if (request.PleaseDraw && request.TargetDevice)
        FillRect(*request.TargetDevice, request.Rect, request.Color);
}

ParentCacheInfo TsCommonData::GetParentCache() const {
    if (IsSkinned() && host_ && host_->Parent()) {
        BackgroundRequest request;
        AskParentBackground(request, host_->Parent(), false);
        return request.ToParentCache();
    }
    return ParentCacheInfo::Color(GetStateColor(VisualState::Normal));
}

// ---------------------------------------------------------------------------
// Painting state
// ---------------------------------------------------------------------------

bool TsCommonData::IsPaintDeferred() const {
    if (!SkinManager())
        return false;
    const bool needsPicture = !(StateFlags & sfPlainBackground) || IsHot();
    if (!needsPicture || !host_ || HostDestroying())
        return PaintHeld();
    if (!PaintHeld() && host_->Parent())
        return SendSkinCommand<SkinCmdIsBgNotReady>(host_->Parent());
    return true;
}

void TsCommonData::LockPainting() {
    HoldPaint();
    StateFlags |= sfPaintLocked;
    SendSkinCommand<SkinCmdLockNotify>(host_);
}

void TsCommonData::UnlockPainting(bool repaint) {
    ReleasePaint();
    StateFlags &= ~sfPaintLocked;
    SendSkinCommand<SkinCmdUnlockNotify>(host_);
    if (repaint)
        RequestRepaint();
}

void TsCommonData::RequestRepaint() {
    if (!host_ || HostDestroying() || HostLoading())
        return;
    MarkCacheStale();
    if (host_->Parent())
        host_->Invalidate();
}

void TsCommonData::PrepareCacheBitmap() {
    MakeCachePicture();
    if (host_)
        SizeCache(host_->BoundsRect().size());
}

// ---------------------------------------------------------------------------
// Commands and events
// ---------------------------------------------------------------------------

bool TsCommonData::HandleSkinCommand(platform::Message& message) {
    if (message.Msg != platform::SM_ALPHACMD)
        return false;
    const uint16_t small = platform::AlphaArgument(message.WParam);
    switch (platform::AlphaCommand(message.WParam)) {
    case SkinCmdNewSkin::Number:
    case SkinCmdRemoveSkin::Number:
    case SkinCmdRefresh::Number:
        OnManagerCommand(message);
        return false;
    case SkinCmdIsSkinned::Number:
        SkinCmdIsSkinned::Reply(message, true);
        return true;
    case SkinCmdSetPaintLock::Number:
        small == 1 ? HoldPaint() : ReleasePaint();
        return false;
    case SkinCmdIsBgNotReady::Number:
        SkinCmdIsBgNotReady::Reply(message, CacheStale() || PaintHeld());
        return true;
    case SkinCmdIsClipped::Number:
        SkinCmdIsClipped::Reply(message, ClippedByParent);
        return true;
    case SkinCmdRepaintSection::Number:
        if (const QString* name = SkinCmdRepaintSection::ArgumentOf(message);
            name && SkinSection() == name->toUpper())
            RequestRepaint();
        return false;
    case SkinCmdSetSection::Number:
        if (const QString* name = SkinCmdSetSection::ArgumentOf(message))
            SetSkinSection(*name);
        return false;
    case SkinCmdInvalidateCache::Number:
        MarkCacheStale();
        return false;
    case SkinCmdIsTransparent::Number:
        if (Section())
            SkinCmdIsTransparent::Reply(message, AnswerIsTransparent());
        return true;
    case SkinCmdParentBgChanged::Number:
        OnParentBackgroundChanged(small == 1);
        return false;
    case SkinCmdGetBgColor::Number:
        SkinCmdGetBgColor::Reply(message, BackgroundColorForChildren());
        return true;
    case SkinCmdSetClipped::Number:
        ClippedByParent = true;
        return false;
    case SkinCmdGetSectionIndex::Number:
        if (int* index = SkinCmdGetSectionIndex::ArgumentOf(message))
            *index = SectionIndex;
        return true;
    case SkinCmdGetBgInfo::Number:
        if (BackgroundRequest* request = SkinCmdGetBgInfo::ArgumentOf(message))
            FillBackgroundInfo(*request, VisualState::Normal);
        return true;
    case SkinCmdChildState::Number:
        if (SkinCmdChildState::ArgumentOf(message) == 1)
            UpdateContainerState(true);
        else
            SkinCmdChildState::Reply(message, StateFlags);
        return true;
    default:
        return false;
    }
}

// A new skin, its removal or a refresh, from this control's manager.
void TsCommonData::OnManagerCommand(const platform::Message& message) {
    if (SkinCmdNewSkin::ArgumentOf(message) != SkinManager())
        return;
    if (SkinCmdNewSkin::Is(message)) {
        ResolveSection();
        UpdateContainerState(false);
        // The new skin has reached the control: it may paint again.
        ReleasePaint();
    } else if (SkinCmdRemoveSkin::Is(message)) {
        OnRemoveSkin();
    } else {
        MarkCacheStale();
        ReleasePaint();
        ApplySkinColors(true);
        UpdateContainerState(false);
    }
}

// Tells the host its section changed: a refresh when it has one, else the
// skin's removal.
void TsCommonData::AnnounceSectionChange() {
    if (SectionIndex >= 0)
        SendSkinCommand<SkinCmdRefresh>(host_, SkinManager());
    else
        SendSkinCommand<SkinCmdRemoveSkin>(host_, SkinManager());
}

void TsCommonData::OnRemoveSkin() {
    Unbind();
    HoldPaint();
    DropCachePixels();
    if (host_ && IsEditKind(ControlKind)) {
        if (!customColor_)
            host_->SetColor(platform::clWindow);
        if (!customFont_) {
            platform::TFont font = host_->Font();
            font.Color = platform::clWindowText;
            host_->SetFont(font);
        }
        host_->Invalidate();
    } else if (host_ && host_->IsWindowed()) {
        ResetLabelFonts();
    }
}

// Plain labels go back to the window-text colour.
void TsCommonData::ResetLabelFonts() {
    for (Control* child : host_->Controls())
        if (!child->IsWindowed() && !AnswersSkinCommands(child) &&
            child->ClassName().endsWith(QStringLiteral("Label"))) {
            platform::TFont font = child->Font();
            font.Color = platform::clWindowText;
            child->SetFont(font);
        }
}

intptr_t TsCommonData::AnswerIsTransparent() const {
    const TsGeneralData* d = Section();
    Control* parent = host_ ? host_->Parent() : nullptr;
    if (d->Transparency == 100 && parent)
        return SendSkinCommand<SkinCmdIsTransparent>(parent) & 0x7F;
    return (d->GradientPercent + d->ImagePercent > 0) || DependsOnParentBackground();
}

void TsCommonData::OnParentBackgroundChanged(bool repaint) {
    const bool depends = DependsOnParentBackground();
    if (depends)
        MarkCacheStale();
    if (repaint && host_)
        host_->Invalidate();
    if (depends && host_)
        for (Control* child : host_->Controls())
            if (!(child->ComponentState & Control::csDestroying))
                SendSkinCommand<SkinCmdParentBgChanged>(child);
}

bool TsCommonData::HandleControlEvent(ControlEvent event) {
    const TsGeneralData* d = Section();
    const bool editWithStates = IsEditKind(ControlKind) && d && d->StateCount > 1;
    switch (event) {
    case ControlEvent::Moved:
        if (DependsOnParentBackground()) {
            MarkCacheStale();
            SendSkinCommand<SkinCmdParentBgChanged>(host_, {}, 1);
        }
        return false;
    case ControlEvent::Resized:
        if (IsSkinned()) {
            MarkCacheStale();
            if (d->GradientPercent > 0 && host_ && host_->IsWindowed())
                for (Control* child : host_->Controls())
                    if (!(child->ComponentState & Control::csDestroying))
                        SendSkinCommand<SkinCmdParentBgChanged>(child, {}, 1);
        }
        return false;
    case ControlEvent::FocusGained:
    case ControlEvent::FocusLost:
        if (host_ && host_->IsWindowed()) {
            MarkCacheStale();
            HasFocus = event == ControlEvent::FocusGained;
            if (editWithStates)
                host_->Invalidate();
        }
        return false;
    case ControlEvent::Disabled:
        MouseInside = HasFocus = false;
        return false;
    case ControlEvent::ContextMenu:
        // Pop-up menus are skinned by the menu support of the manager.
        return false;
    case ControlEvent::UiStateUpdate:
        return IsSkinned();
    case ControlEvent::ChildCreated:
        SendSkinCommand<SkinCmdControlCreated>(FormOf(host_), host_);
        return false;
    case ControlEvent::Shown:
        // A text box shows the skin's colours (unless given its own) from
        // its first paint, whatever colour it was made with.
        ApplySkinColors(false);
        if (HasCachePicture()) {
            ReleasePaint();
            MarkCacheStale();
        }
        return false;
    case ControlEvent::Hidden:
        DropCachePixels();
        return false;
    case ControlEvent::MouseEntered:
        if (!IsContainerKind(ControlKind))
            MouseInside = true;
        if (IsSkinned()) {
            if (editWithStates && host_) {
                MarkCacheStale();
                host_->Invalidate();
            }
        }
        return false;
    case ControlEvent::MouseLeft:
        if (!IsSkinned())
            return false;
        if (!IsContainerKind(ControlKind))
            MouseInside = false;
        if (editWithStates && host_ && host_->Visible()) {
            MarkCacheStale();
            host_->Invalidate();
        }
        return false;
    }
    return false;
}

} // namespace skin
