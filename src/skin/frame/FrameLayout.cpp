#include "skin/frame/FrameLayout.h"

#include "platform/Canvas.h"
#include "skin/draw/ControlPaint.h"
#include "skin/draw/SkinPaint.h"

#include <algorithm>

namespace skin {

using platform::Bitmap;

namespace {

const QString kGlobalInfoName = QStringLiteral("GLOBALINFO");

constexpr int kSmallIcon = 16;
// A title button's size when the skin has no close button mask.
constexpr int kDefaultButton = 21;
// Room between the caption's end and the title buttons.
constexpr int kCaptionEndGap = 12;

const char* ButtonMaskName(TitleButtonKind kind) {
    switch (kind) {
    case TitleButtonKind::Close:
        return "BICONCLOSE";
    case TitleButtonKind::Maximize:
        return "BICONMAX";
    case TitleButtonKind::Restore:
        return "BICONNORM";
    case TitleButtonKind::Minimize:
        return "BICONMIN";
    }
    return "";
}

const TsMaskData* MaskOf(const TsSkinManager& m, int index) {
    return m.IsValidMask(index) ? &m.MaskTable()[index] : nullptr;
}

void LayOutButtons(const TsSkinManager& manager, const WindowLook& look, FrameGeometry& g) {
    std::vector<TitleButtonKind> kinds;
    if (look.SystemMenu)
        kinds.push_back(TitleButtonKind::Close);
    if (look.Maximize)
        kinds.push_back(look.Maximized ? TitleButtonKind::Restore : TitleButtonKind::Maximize);
    if (look.Minimize)
        kinds.push_back(look.Minimized ? TitleButtonKind::Restore : TitleButtonKind::Minimize);
    const int global = manager.CommonIndexes().GlobalInfo;
    const auto maskIndex = [&](TitleButtonKind k) {
        return global >= 0
                   ? manager.FindMask(global, kGlobalInfoName, QLatin1String(ButtonMaskName(k)))
                   : -1;
    };
    const TsMaskData* close = MaskOf(manager, maskIndex(TitleButtonKind::Close));
    const int height = close ? close->FrameHeight() : kDefaultButton;
    const TsSkinData& data = manager.SkinData();
    const int spacing = look.DialogStyle ? 0 : data.BISpace;
    int top = (g.Border + g.Title - height) / 2;
    if (!look.DialogStyle && height < 16)
        top += 2;
    if (data.BIVAlign == 1)
        top = 0;
    int right = look.Size.width() - data.BIRight - g.Border;
    for (TitleButtonKind kind : kinds) {
        const int mask = maskIndex(kind);
        const TsMaskData* m = MaskOf(manager, mask);
        const int width = m ? m->FrameWidth() : kDefaultButton;
        g.Buttons.push_back({kind, mask, QRect(right - width, top, width, height)});
        right -= width + spacing;
    }
}

} // namespace

int FrameGeometry::ButtonAt(QPoint p) const {
    for (size_t i = 0; i < Buttons.size(); ++i)
        if (Buttons[i].Rect.contains(p))
            return int(i);
    return -1;
}

int FrameBorderWidth(bool sizeable) {
    return platform::GetSystemMetrics(sizeable ? platform::SM_CXFRAME : platform::SM_CXDLGFRAME);
}

int FrameTitleHeight() {
    return platform::GetSystemMetrics(platform::SM_CYCAPTION);
}

int FrameMenuBandHeight() {
    return platform::GetSystemMetrics(platform::SM_CYMENU) - 1;
}

platform::TFont CaptionFont() {
    platform::TFont font;
    font.Name = QStringLiteral("Tahoma");
    font.Height = 11;
    font.Style = platform::fsBold;
    font.Charset = platform::FontCharset::Russian;
    return font;
}

FrameGeometry LayOutFrame(const TsSkinManager& manager, const WindowLook& look) {
    FrameGeometry g;
    g.Border = FrameBorderWidth(look.Sizeable);
    g.Title = FrameTitleHeight();
    g.MenuBand = look.HasMenu ? std::max(FrameMenuBandHeight(), look.MenuBandHeight) : 0;
    const int w = look.Size.width(), h = look.Size.height();
    const int titleBottom = g.Border + g.Title;
    g.TitleBand = QRect(0, 0, w, titleBottom);
    if (!look.Icon.isNull())
        g.IconRect = QRect(g.Border + 1, (titleBottom - kSmallIcon) / 2, kSmallIcon, kSmallIcon);
    LayOutButtons(manager, look, g);

    const TsSkinData& data = manager.SkinData();
    int left = g.Border + g.IconRect.width() + data.BILeft + 4;
    if (manager.CommonIndexes().Caption >= 0)
        left += 2;
    const int buttonsLeft =
        g.Buttons.empty() ? w - data.BIRight - g.Border : g.Buttons.back().Rect.left();
    const int right = buttonsLeft - kCaptionEndGap;
    const int top = look.Maximized ? g.Border / 2 + 1 : 2;
    g.CaptionRect = QRect(QPoint(left, top), QPoint(right - 1, titleBottom - 1));

    if (g.MenuBand > 0)
        g.MenuBandRect = QRect(g.Border, titleBottom, w - 2 * g.Border, g.MenuBand);
    g.ClientRect = QRect(g.Border, titleBottom + g.MenuBand, w - 2 * g.Border,
                         h - titleBottom - g.MenuBand - g.Border);
    if (look.Grip && manager.CommonIndexes().GlobalInfo >= 0) {
        g.GripMask = manager.FindMask(manager.CommonIndexes().GlobalInfo, kGlobalInfoName,
                                      QStringLiteral("GRIPIMAGE"));
        if (const TsMaskData* m = MaskOf(manager, g.GripMask))
            g.GripRect = QRect(w - g.Border - m->FrameWidth(), h - g.Border - m->FrameHeight(),
                               m->FrameWidth(), m->FrameHeight());
    }
    return g;
}

VisualState FrameState(const TsGeneralData& section, bool active) {
    return ClampState(section, HotIf(active));
}

VisualState TitleButtonStates::StateOf(int button) const {
    if (button == Pressed)
        return VisualState::Pressed;
    return button == Hot ? VisualState::Hot : VisualState::Normal;
}

namespace {

void DrawButton(const TsSkinManager& manager, const TitleButton& button, VisualState state,
                Bitmap& window) {
    const TsMaskData* m = MaskOf(manager, button.Mask);
    if (!m)
        return;
    const QPoint at = button.Rect.topLeft();
    // See-through pixels keep the title band beneath.
    DrawCornerImage(window, at, state, *m, CornerLook::SeeThrough,
                    ParentCacheInfo::Picture(&window, at.x(), at.y()));
}

void DrawIcon(const QImage& icon, QRect r, Bitmap& window) {
    if (icon.isNull() || r.isEmpty())
        return;
    platform::Canvas(window).DrawPicture(r, icon);
}

void DrawCaption(const TsSkinManager& manager, const WindowLook& look, const FrameGeometry& g,
                 int titleSection, Bitmap& window) {
    if (look.Caption.isEmpty() || g.CaptionRect.width() <= 0)
        return;
    const int caption = manager.CommonIndexes().Caption;
    const VisualState state = HotIf(look.Active);
    int colours = titleSection;
    if (caption >= 0) {
        const QRect plate = g.CaptionRect.adjusted(-4, -2, 4, 2).intersected(window.Rect());
        RenderSectionByIndex(manager,
                             {.Target = window,
                              .Section = caption,
                              .State = FrameState(manager.SectionTable()[caption], look.Active),
                              .Parent = ParentCacheInfo::Picture(&window, 0, 0),
                              .Rect = plate});
        colours = caption;
    }
    platform::Canvas canvas(window);
    canvas.Font = CaptionFont();
    canvas.SetClipRect(g.CaptionRect);
    DrawSectionText(canvas, look.Caption,
                    {.Rect = g.CaptionRect,
                     .Format = platform::DT_SINGLELINE | platform::DT_VCENTER |
                               platform::DT_NOPREFIX | platform::DT_END_ELLIPSIS,
                     .State = state,
                     .Enabled = look.Enabled},
                    &manager, colours);
}

} // namespace

void RenderWindowPicture(const TsSkinManager& manager, int formSection, const WindowLook& look,
                         const FrameGeometry& g, const TitleButtonStates& buttons,
                         FramePictures pictures) {
    Bitmap& window = pictures.Window;
    window.SetSize(look.Size.width(), look.Size.height());
    if (window.Empty() || !manager.IsValidSection(formSection))
        return;
    const TsGeneralData& form = manager.SectionTable()[formSection];
    const SectionTextures textures = BindSectionTextures(manager, formSection, form.SectionName);
    // A top-level window has nothing behind it.
    RenderSectionByIndex(manager, {.Target = window,
                                   .Section = formSection,
                                   .State = FrameState(form, look.Active),
                                   .Textures = &textures});
    const int title = manager.CommonIndexes().FormTitle;
    if (title >= 0)
        RenderSectionByIndex(manager,
                             {.Target = window,
                              .Section = title,
                              .State = FrameState(manager.SectionTable()[title], look.Active),
                              .Parent = ParentCacheInfo::Picture(&window, 0, 0),
                              .Rect = g.TitleBand.intersected(window.Rect())});
    DrawIcon(look.Icon, g.IconRect, window);
    if (pictures.UnderButtons) {
        // Only the rows down to the buttons' bottom: a copy of the whole
        // window would cost as much as the rest of the rendering.
        int bottom = -1;
        for (const TitleButton& button : g.Buttons)
            bottom = std::max(bottom, button.Rect.bottom());
        bottom = std::min(bottom, window.Height() - 1);
        *pictures.UnderButtons =
            bottom >= 0 ? Bitmap(window.Image().copy(0, 0, window.Width(), bottom + 1)) : Bitmap();
    }
    for (size_t i = 0; i < g.Buttons.size(); ++i)
        DrawButton(manager, g.Buttons[i], buttons.StateOf(int(i)), window);
    DrawCaption(manager, look, g, title, window);

    if (!g.MenuBandRect.isEmpty()) {
        const int line = manager.CommonIndexes().MenuLine;
        if (line >= 0)
            RenderSectionByIndex(manager,
                                 {.Target = window,
                                  .Section = line,
                                  .State = FrameState(manager.SectionTable()[line], look.Active),
                                  .Parent = ParentCacheInfo::Picture(&window, 0, 0),
                                  .Rect = g.MenuBandRect.intersected(window.Rect())});
        if (pictures.MenuBar)
            *pictures.MenuBar = Bitmap(window.Image().copy(g.MenuBandRect));
    }
    if (const TsMaskData* grip = MaskOf(manager, g.GripMask))
        DrawCornerImage(window, g.GripRect.topLeft(), VisualState::Normal, *grip,
                        CornerLook::SeeThrough,
                        ParentCacheInfo::Picture(&window, g.GripRect.left(), g.GripRect.top()));
}

void RepaintTitleButton(const TsSkinManager& manager, const FrameGeometry& g, int index,
                        const TitleButtonStates& buttons, Bitmap& window, const Bitmap& under) {
    if (index < 0 || index >= int(g.Buttons.size()) || under.Width() != window.Width())
        return;
    const QRect r = g.Buttons[size_t(index)].Rect.intersected(window.Rect());
    if (!under.Rect().contains(r))
        return;
    CopyFrom(window, r, under, r.left(), r.top());
    DrawButton(manager, g.Buttons[size_t(index)], buttons.StateOf(index), window);
}

QRegion FrameOutline(const TsSkinManager& manager, int formSection, QSize size, VisualState state) {
    QRegion outline(QRect(QPoint(0, 0), size));
    if (!manager.IsValidSection(formSection))
        return outline;
    const TsGeneralData& form = manager.SectionTable()[formSection];
    const TsMaskData* mask = MaskOf(manager, form.BordersMask);
    // A border that blends by a mask half has no see-through corners.
    if (!mask || !MaskImage(*mask) || mask->MaskKind != 0)
        return outline;
    for (const QRect& r :
         mask->Border().SeeThroughOver(FrameIndex(*mask, ClampState(form, state)), size))
        outline -= r;
    return outline;
}

} // namespace skin
