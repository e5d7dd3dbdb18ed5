#include "skin/draw/ControlPaint.h"

#include "skin/data/ColorShift.h"
#include "skin/draw/Blend.h"
#include "skin/draw/SkinPaint.h"

namespace skin {

namespace {

void ChangeColours(platform::Bitmap& b, const TsCommonData& data) {
    ApplyHueToBitmap(b, data.HueOffset());
    ApplySaturationToBitmap(b, data.Saturation());
}

// Shared by both: background, corners and border.
bool RenderLayers(const TsCommonData& data, ParentCacheInfo p, bool corners, int state,
                  platform::Bitmap& b, QPoint q, QRect r) {
    const TsSkinManager* m = data.SkinManager();
    if (!m || !m->IsValidSection(data.SectionIndex) || b.Empty() || r.isEmpty() ||
        !b.Rect().contains(r))
        return false;
    const TsGeneralData& d = m->SectionTable()[data.SectionIndex];
    state = std::clamp(state, 0, std::max(0, d.StateCount - 1));
    const uint32_t own = data.CustomColor() && data.HostControl()
                             ? platform::ColorToRGB(data.HostControl()->Color())
                             : kTransparentKey;
    RenderSectionBackground(*m, data.SectionIndex, data.SkinSection(), p, own, data.PatternIndex,
                            data.HotPatternIndex, b, q, r, state);
    DrawSectionCorners(*m, d, b, r, state);
    if (!m->IsValidMask(data.BorderMaskIndex))
        return false;
    const TsMaskData& border = m->MaskTable()[data.BorderMaskIndex];
    if (state == 0 && (border.FillMode & 2))
        return false;
    DrawBorderMask(b, r, corners, state, border, p.Moved(q.x() + r.left(), q.y() + r.top()));
    return true;
}

struct TextColours {
    TsFontColors Colours;
    bool Valid = false;
};

// Draws the text in each contour colour one pixel aside, then in the text
// colour; every colour through `change`.
template <typename Change>
void DrawContoured(platform::Canvas& canvas, const QString& text, const TsFontColors& c,
                   uint32_t format, QRect r, Change change) {
    const struct {
        qint32 Color;
        int Dx, Dy;
    } contours[4] = {{c.Left, -1, 0}, {c.Top, 0, -1}, {c.Right, 1, 0}, {c.Bottom, 0, 1}};
    for (const auto& contour : contours) {
        if (contour.Color == -1)
            continue;
        canvas.Font.Color = change(contour.Color);
        QRect shifted = r.translated(contour.Dx, contour.Dy);
        canvas.DrawText(text, shifted, format);
    }
    canvas.Font.Color = change(c.Text);
    canvas.DrawText(text, r, format);
}

} // namespace

void RenderSection(const TsCommonData& data, ParentCacheInfo p, bool corners, int state,
                   platform::Bitmap& b, QPoint q, QRect r) {
    const bool border = RenderLayers(data, p, corners, state, b, q, r);
    const TsSkinManager* m = data.SkinManager();
    if (!m || !m->IsValidSection(data.SectionIndex))
        return;
    // A picture that shows its parent is not recoloured.
    const TsGeneralData& d = m->SectionTable()[data.SectionIndex];
    if (border || d.StateData[state > 0 ? 1 : 0].Transparency == 0)
        ChangeColours(b, data);
}

void RenderPanelSection(const TsCommonData& data, platform::Control* container, int state,
                        platform::Bitmap& b, QPoint q, QRect r) {
    BackgroundRequest request;
    AskParentBackground(request, container, false);
    RenderLayers(data, request.ToParentCache(), true, state, b, q, r);
}

void DrawSkinText(platform::Canvas& canvas, const QString& text, bool enabled, bool hot,
                  const TsCommonData& data, uint32_t format, QRect r) {
    if (text.isEmpty())
        return;
    const platform::TFont saved = canvas.Font;
    const QRect savedClip = canvas.ClipRect();
    canvas.SetClipRect(r.translated(canvas.Origin()));
    canvas.TextBackground = platform::clNone;
    const TsSkinManager* m = data.SkinManager();
    if (hot && data.SkinSection() == QStringLiteral("WEBBUTTON"))
        canvas.Font.Style |= platform::fsUnderline;
    auto change = [&](qint32 c) {
        return ChangeSaturation(ChangeHue(c, data.HueOffset()), data.Saturation());
    };
    if (!data.IsSkinned() || data.CustomFont() || !m) {
        canvas.DrawText(text, r, format);
    } else {
        // Check boxes, radio buttons and group boxes would take the colours of
        // an opaque section up their parents; this program has none of them.
        const TsGeneralData& d = m->SectionTable()[data.SectionIndex];
        if (!enabled) {
            canvas.Font.Color =
                change(int32_t(MixColors(uint32_t(d.FontColors.Text), m->GlobalColor(), 0.4)));
            canvas.DrawText(text, r, format);
        } else {
            DrawContoured(canvas, text, d.StateData[hot ? 1 : 0].FontColors, format, r, change);
        }
    }
    canvas.Font = saved;
    canvas.SetClipRect(savedClip);
}

void DrawSectionText(platform::Canvas& canvas, const QString& text, bool enabled,
                     const TsSkinManager* manager, bool hot, int section, uint32_t format,
                     QRect r) {
    if (!manager)
        manager = TsSkinManager::DefaultManager();
    if (text.isEmpty() || !manager || !manager->IsValidSection(section))
        return;
    const platform::TFont saved = canvas.Font;
    canvas.TextBackground = platform::clNone;
    const TsGeneralData& d = manager->SectionTable()[section];
    if (enabled) {
        DrawContoured(canvas, text, d.StateData[hot ? 1 : 0].FontColors, format, r,
                      [](qint32 c) { return c; });
    } else {
        canvas.Font.Color =
            int32_t(MixColors(uint32_t(d.StateData[0].FontColors.Text), uint32_t(d.Color), 0.4));
        canvas.DrawText(text, r, format);
    }
    canvas.Font = saved;
}

} // namespace skin
