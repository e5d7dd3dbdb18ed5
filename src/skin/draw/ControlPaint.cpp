#include "skin/draw/ControlPaint.h"

#include "skin/data/Blend.h"
#include "skin/data/ColorShift.h"
#include "skin/draw/SkinPaint.h"

namespace skin {

namespace {

void ChangeColours(platform::Bitmap& b, const TsCommonData& data) {
    ApplyHueToBitmap(b, data.HueOffset());
    ApplySaturationToBitmap(b, data.Saturation());
}

// Shared by both: background, corners and border. Answers whether a
// border was drawn.
bool RenderLayers(const TsCommonData& data, const PaintRequest& request, KeyPixels keys) {
    const TsSkinManager* m = data.SkinManager();
    const QRect r = request.Area();
    if (!m || !m->IsValidSection(data.SectionIndex) || request.Target.Empty() || r.isEmpty() ||
        !request.Target.Rect().contains(r))
        return false;
    const TsGeneralData& d = m->SectionTable()[data.SectionIndex];
    PaintRequest own = request;
    own.Section = data.SectionIndex;
    own.State = ClampState(d, request.State);
    own.Textures = &data.Textures;
    own.OwnColor = data.CustomColor() && data.HostControl()
                       ? ToRgb(SkinColor{data.HostControl()->Color()})
                       : kNoColor;
    RenderSectionBackground(*m, own);
    DrawSectionCorners(own.Target, r, own.State, *m, d);
    if (!m->IsValidMask(data.BorderMaskIndex))
        return false;
    const TsMaskData& border = m->MaskTable()[data.BorderMaskIndex];
    if (own.State == VisualState::Normal && HasBorderFill(border, NoneWhenNormal))
        return false;
    DrawBorderMask(own.Target, r, keys, own.State, border, own.ParentBehindArea());
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
        SkinColor Color;
        int Dx, Dy;
    } contours[4] = {{c.Left, -1, 0}, {c.Top, 0, -1}, {c.Right, 1, 0}, {c.Bottom, 0, 1}};
    for (const auto& contour : contours) {
        if (contour.Color == kNoSkinColor)
            continue;
        canvas.Font.Color = change(Value(contour.Color));
        QRect shifted = r.translated(contour.Dx, contour.Dy);
        canvas.DrawText(text, shifted, format);
    }
    canvas.Font.Color = change(Value(c.Text));
    canvas.DrawText(text, r, format);
}

} // namespace

void RenderSection(const TsCommonData& data, const PaintRequest& request, KeyPixels keys) {
    const bool border = RenderLayers(data, request, keys);
    const TsSkinManager* m = data.SkinManager();
    if (!m || !m->IsValidSection(data.SectionIndex))
        return;
    // A picture that shows its parent is not recoloured.
    const TsGeneralData& d = m->SectionTable()[data.SectionIndex];
    if (border || LookFor(d, request.State).Transparency == 0)
        ChangeColours(request.Target, data);
}

void RenderPanelSection(const TsCommonData& data, platform::Control* container,
                        const PaintRequest& request) {
    BackgroundRequest asked;
    AskParentBackground(asked, container, false);
    PaintRequest over = request;
    over.Parent = asked.ToParentCache();
    RenderLayers(data, over, KeyPixels::ShowParent);
}

void DrawSkinText(platform::Canvas& canvas, const QString& text, const TextRequest& how,
                  const TsCommonData& data) {
    QRect r = how.Rect;
    const uint32_t format = how.Format;
    if (text.isEmpty())
        return;
    const platform::TFont saved = canvas.Font;
    const QRect savedClip = canvas.ClipRect();
    canvas.SetClipRect(r.translated(canvas.Origin()));
    canvas.TextBackground = platform::clNone;
    const TsSkinManager* m = data.SkinManager();
    if (how.State != VisualState::Normal && data.SkinSection() == QStringLiteral("WEBBUTTON"))
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
        if (!how.Enabled) {
            const RgbColor faded = MixColors(ToRgb(d.FontColors.Text), m->GlobalColor(), 0.4);
            canvas.Font.Color = change(Value(ToStored(faded)));
            canvas.DrawText(text, r, format);
        } else {
            DrawContoured(canvas, text, LookFor(d, how.State).FontColors, format, r, change);
        }
    }
    canvas.Font = saved;
    canvas.SetClipRect(savedClip);
}

void DrawSectionText(platform::Canvas& canvas, const QString& text, const TextRequest& how,
                     const TsSkinManager* manager, int section) {
    QRect r = how.Rect;
    const uint32_t format = how.Format;
    if (!manager)
        manager = TsSkinManager::DefaultManager();
    if (text.isEmpty() || !manager || !manager->IsValidSection(section))
        return;
    const platform::TFont saved = canvas.Font;
    canvas.TextBackground = platform::clNone;
    const TsGeneralData& d = manager->SectionTable()[section];
    if (how.Enabled) {
        DrawContoured(canvas, text, LookFor(d, how.State).FontColors, format, r,
                      [](qint32 c) { return c; });
    } else {
        const RgbColor faded =
            MixColors(ToRgb(d.StateData[0].FontColors.Text), ToRgb(d.Color), 0.4);
        canvas.Font.Color = Value(ToStored(faded));
        canvas.DrawText(text, r, format);
    }
    canvas.Font = saved;
}

} // namespace skin
