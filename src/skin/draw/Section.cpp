#include "skin/draw/SkinPaint.h"

#include "skin/draw/Pixels.h"

#include "skin/data/ImageDecoders.h"

#include <algorithm>

namespace skin {

using namespace pixels;

namespace {

// BlendBitmap with the lower picture read from `source` at (sx, sy) rather
// than from the target: the parent's picture and the control's own laid in
// one pass. `r` lies inside b, and its counterpart inside source.
CHAROLIST_WIDE_LOOPS void BlendFrom(Bitmap& b, QRect r, const Bitmap& source, int sx, int sy,
                                    const Bitmap& upper, int a) {
    const uint16_t ua = static_cast<uint16_t>(a), ub = static_cast<uint16_t>(255 - a);
    const int bytes = r.width() * 4;
    const Rows rows(b);
    const Rows lows(source), ups(upper);
    for (int y = 0; y < r.height(); ++y) {
        uint8_t* __restrict row = reinterpret_cast<uint8_t*>(rows[r.top() + y] + r.left());
        const uint8_t* __restrict low = reinterpret_cast<const uint8_t*>(lows[sy + y] + sx);
        const uint8_t* __restrict up = reinterpret_cast<const uint8_t*>(ups[y]);
        for (int i = 0; i < bytes; ++i)
            row[i] = static_cast<uint8_t>(uint16_t(low[i] * ua + up[i] * ub + 127) >> 8);
    }
}

} // namespace

namespace {

// The values of a state's look: the section's own, or a control's colour
// alone.
OpaqueLayers LayersOf(const TsGenState& look, RgbColor ownColor, int& transparency) {
    static const TsGradArray kNoSteps;
    if (ownColor != kNoColor) {
        transparency = 0;
        return OpaqueLayers{ownColor, 0, 0, &kNoSteps};
    }
    transparency = std::clamp(look.Transparency, 0, 100);
    OpaqueLayers layers{ToRgb(look.Color), look.ImagePercent, look.GradientPercent, &look.Gradient};
    if (transparency == 100)
        layers.ImagePercent = layers.GradientPercent = 0;
    return layers;
}

// A gradient alone (or a flat colour) paints every pixel of its rectangle.
bool CoversAll(const OpaqueLayers& l) {
    return l.ImagePercent == 0 && (l.GradientPercent == 0 || ModeOf(*l.Gradient).has_value());
}

bool IsMaskedTexture(const TsSkinManager& m, int index) {
    return m.IsValidMask(index) && m.MaskTable()[index].MaskKind != 0;
}

const QString kPattern = QStringLiteral("PATTERN"), kHotPattern = QStringLiteral("HOTPATTERN");

int Percent255(int percent) {
    return std::clamp(percent * 255 / 100, 0, 255);
}

// Gradient and texture in equal measure, in one pass; false when the
// layers do not allow it.
bool FillGradientAndTexture(Bitmap& b, QRect r, const TsMaskData* tex, const OpaqueLayers& l) {
    const int i = l.ImagePercent, g = l.GradientPercent;
    // A negative mode paints no gradient but still takes this path.
    if (i + g != 100 || g <= 0 || g >= 100 || !tex || FillOf(*tex) != TextureFill::Tile ||
        tex->OwnImage || l.Gradient->empty() || l.Gradient->front().Mode > 1)
        return false;
    const Bitmap* image = MaskImage(*tex);
    if (!image)
        return false;
    PaintGradientWithTexture(
        b, r, *l.Gradient, Percent255(i), *image,
        QRect(tex->Area.Left, tex->Area.Top, tex->Area.Width(), tex->Area.Height()));
    return true;
}

// The texture (or pattern picture) with the colour where it leaves room;
// answers whether a picture was laid.
bool FillTextureLayer(Bitmap& b, QRect r, const TsSkinManager& manager, const TsMaskData* tex,
                      const OpaqueLayers& l) {
    QRect left = r;
    bool laid = true;
    if (tex && tex->MaskKind != 0) {
        FillWithMaskedTexture(b, r, ParentCacheInfo(), FillOf(*tex), *tex);
        const TextureFill mode = FillOf(*tex);
        left = mode == TextureFill::Tile || mode == TextureFill::WholeTiles ? QRect() : r;
    } else if (tex) {
        FillWithTexture(b, left, *tex);
    } else if (l.Picture >= 0 && l.Picture < int(manager.PatternTable().size())) {
        const Bitmap picture = PatternPicture(manager.PatternTable()[l.Picture]);
        FillWithPicture(b, left, picture);
    } else {
        laid = false;
    }
    FillRect(b, left, l.Color);
    return laid;
}

} // namespace

void FillOpaqueBackground(Bitmap& b, QRect r, const TsSkinManager& manager, const OpaqueLayers& l) {
    r = Clip(b, r);
    if (r.isEmpty())
        return;
    const int i = l.ImagePercent, g = l.GradientPercent;
    const TsMaskData* tex =
        manager.IsValidMask(l.Texture) ? &manager.MaskTable()[l.Texture] : nullptr;
    if (FillGradientAndTexture(b, r, tex, l))
        return;
    const bool laid = i > 0 && FillTextureLayer(b, r, manager, tex, l);
    if (g > 0) {
        if (laid) {
            Bitmap& over =
                manager.Scratch().PictureOf(PaintScratch::GradientOver, r.width(), r.height());
            PaintGradient(over, over.Rect(), *l.Gradient);
            BlendBitmap(b, r.topLeft(), over, Percent255(i));
        } else {
            PaintGradient(b, r, *l.Gradient);
        }
    }
    if (i + g == 0)
        FillRect(b, r, l.Color);
    else if (i + g < 100)
        BlendColorRect(b, r, i + g, l.Color);
}

namespace {

// The state's colour, gradient and texture mixed with the parent by the
// state's transparency t, into r. `p` addresses the pixel behind the
// control's top-left, q is the control's place in its parent.
void LayBackground(Bitmap& b, QRect r, const TsSkinManager& manager, const OpaqueLayers& layers,
                   int t, const ParentCacheInfo& p, QPoint q) {
    // Where the parent's picture lies behind r.
    const ParentCacheInfo behind = p.Moved(q).Moved(r.topLeft());
    const int px = behind.OffsetX, py = behind.OffsetY;
    // Text kept for dense screens is painted over, unless the picture shows
    // itself through unchanged.
    if (!(t == 100 && p.HasPicture() && p.Bitmap == &b))
        b.ForgetTexts(r);
    if ((!p.HasPicture() && p.FillColor == kNoColor) || t == 0) {
        FillOpaqueBackground(b, r, manager, layers);
    } else if (t == 100) {
        LayParent(b, r, behind);
    } else if (p.HasPicture() || layers.GradientPercent + layers.ImagePercent != 0) {
        Bitmap& over = manager.Scratch().PictureOf(PaintScratch::BackgroundOver, r.width(),
                                                   r.height(), CoversAll(layers));
        FillOpaqueBackground(over, over.Rect(), manager, layers);
        const int a = Percent255(t);
        if (p.HasPicture() && p.Bitmap != &b &&
            p.Bitmap->Rect().contains(QRect(QPoint(px, py), r.size()))) {
            BlendFrom(b, r, *p.Bitmap, px, py, over, a);
        } else {
            LayParent(b, r, behind);
            BlendBitmap(b, r.topLeft(), over, a);
        }
    } else {
        FillRect(b, r, MixColors(p.FillColor, layers.Color, t / 100.0));
    }
}

const SectionTextures& TexturesOf(const TsSkinManager& manager, const PaintRequest& request,
                                  SectionTextures& found) {
    if (request.Textures)
        return *request.Textures;
    found = BindSectionTextures(manager, request.Section,
                                manager.SectionTable()[request.Section].SectionName);
    return found;
}

void PaintBackground(const TsSkinManager& manager, const PaintRequest& request,
                     const SectionTextures& textures) {
    const TsGeneralData& d = manager.SectionTable()[request.Section];
    const QRect r = request.Area();
    const bool hot = ShowsHotLook(d, request.State);
    int t = 0;
    OpaqueLayers layers = LayersOf(LookFor(d, request.State), request.OwnColor, t);
    // The texture of this state; one with a mask half is laid at the end.
    if (layers.ImagePercent > 0) {
        layers.Texture = hot ? textures.HotPattern : textures.Pattern;
        if (IsMaskedTexture(manager, layers.Texture) || !manager.IsValidMask(layers.Texture)) {
            layers.Texture = -1;
            layers.Picture = hot ? textures.HotPatternPicture : textures.PatternPicture;
        }
    }
    LayBackground(request.Target, r, manager, layers, t, request.Parent, request.Position);
    if (request.State != VisualState::Normal)
        return;
    // The normal texture, when it has a mask half and lays whole tiles only,
    // goes over everything.
    const int masked = textures.Pattern;
    if (IsMaskedTexture(manager, masked) &&
        FillOf(manager.MaskTable()[masked]) == TextureFill::WholeTiles)
        FillWithMaskedTexture(request.Target, r, request.ParentBehindArea(),
                              TextureFill::WholeTiles, manager.MaskTable()[masked]);
}

bool Paintable(const TsSkinManager& manager, const PaintRequest& request) {
    return manager.IsValidSection(request.Section) && FitsInside(request.Target, request.Area());
}

} // namespace

SectionTextures BindSectionTextures(const TsSkinManager& manager, int section,
                                    const QString& sectionName) {
    if (!manager.IsValidSection(section))
        return {};
    return SectionTextures{
        .Pattern = manager.FindTexture(section, sectionName, kPattern),
        .HotPattern = manager.FindTexture(section, sectionName, kHotPattern),
        .PatternPicture = manager.FindPattern(section, sectionName, kPattern),
        .HotPatternPicture = manager.FindPattern(section, sectionName, kHotPattern),
    };
}

void RenderSectionBackground(const TsSkinManager& manager, const PaintRequest& request) {
    if (!Paintable(manager, request))
        return;
    SectionTextures found;
    PaintBackground(manager, request, TexturesOf(manager, request, found));
}

void DrawSectionCorners(Bitmap& b, QRect r, VisualState state, const TsSkinManager& manager,
                        const TsGeneralData& d) {
    const int corners[4] = {d.CornerTopLeft, d.CornerTopRight, d.CornerBottomLeft,
                            d.CornerBottomRight};
    for (int c = 0; c < 4; ++c) {
        if (!manager.IsValidMask(corners[c]))
            continue;
        const TsMaskData& m = manager.MaskTable()[corners[c]];
        const int x = c % 2 == 0 ? r.left() : r.left() + r.width() - m.FrameWidth();
        const int y = c < 2 ? r.top() : r.top() + r.height() - m.FrameHeight();
        // Their see-through pixels keep what the background put there.
        DrawCornerImage(b, QPoint(x, y), state, m, CornerLook::SeeThrough,
                        ParentCacheInfo::Picture(&b, x, y));
    }
}

void RenderSectionByIndex(const TsSkinManager& manager, const PaintRequest& request) {
    if (!Paintable(manager, request))
        return;
    const TsGeneralData& d = manager.SectionTable()[request.Section];
    PaintRequest clamped = request;
    clamped.State = ClampState(d, request.State);
    SectionTextures found;
    PaintBackground(manager, clamped, TexturesOf(manager, request, found));
    const QRect r = request.Area();
    DrawSectionCorners(request.Target, r, clamped.State, manager, d);
    if (manager.IsValidMask(d.BordersMask))
        DrawBorderMask(request.Target, r, KeyPixels::ShowParent, clamped.State,
                       manager.MaskTable()[d.BordersMask], request.ParentBehindArea());
}

void RenderSectionFast(const TsSkinManager& manager, const PaintRequest& request, int borderMask) {
    if (!Paintable(manager, request))
        return;
    const TsGeneralData& d = manager.SectionTable()[request.Section];
    const VisualState state = ClampState(d, request.State);
    // The background without a texture.
    int t = 0;
    OpaqueLayers layers = LayersOf(LookFor(d, state), kNoColor, t);
    layers.ImagePercent = 0;
    LayBackground(request.Target, request.Area(), manager, layers, t, request.Parent,
                  request.Position);
    if (manager.IsValidMask(borderMask))
        DrawBorderMask(request.Target, request.Area(), KeyPixels::ShowParent, state,
                       manager.MaskTable()[borderMask], request.ParentBehindArea());
}

} // namespace skin
