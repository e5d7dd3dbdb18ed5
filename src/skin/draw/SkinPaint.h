// Painting a skin section: the background (colour, gradient, texture, the
// parent showing through), the corner images and the nine-part border, on
// the rows of 32-bit bitmaps. Rectangles are QRects in pixels (left, top,
// width, height). Nothing is drawn outside the target and nothing is read
// outside a source picture.
//
// A `ParentCacheInfo` handed to the pieces below addresses the pixel behind
// the top-left corner of the rectangle being painted.
#pragma once

#include "skin/data/TsSkinManager.h"
#include "skin/draw/PaintRequest.h"

#include <QRect>

namespace skin {

// The picture a mask's areas lie in: its own, or its manager's master image.
const platform::Bitmap* MaskImage(const TsMaskData& mask);

// Layers a bitmap over another at `at`: every byte becomes (lower × a +
// upper × (255 − a) + 127) >> 8, so the lower picture keeps the weight a.
void BlendBitmap(platform::Bitmap& lower, QPoint at, const platform::Bitmap& upper, int a);
// Keeps `percent` of every pixel of r and mixes in the rest of a colour.
void BlendColorRect(platform::Bitmap& b, QRect r, int percent, RgbColor color);
void FillRect(platform::Bitmap& b, QRect r, RgbColor color);
// Copies the pixels of `source` from (sx, sy) into r.
void CopyFrom(platform::Bitmap& b, QRect r, const platform::Bitmap& source, int sx, int sy);

// Gradients by the mode of their first step (GradientMode).
void PaintGradient(platform::Bitmap& b, QRect r, const TsGradArray& steps, int startOffset = 0);
// A vertical or horizontal gradient with a texture tiled from r's top-left
// laid over it by a (0..255) in one pass.
void PaintGradientWithTexture(platform::Bitmap& b, QRect r, const TsGradArray& steps, int a,
                              const platform::Bitmap& image, QRect area);

// Lays a texture by its fill mode; r becomes the part left for the colour
// (empty when the texture covers everything). A mask with a picture of its
// own (a background picture) is tiled whole.
void FillWithTexture(platform::Bitmap& b, QRect& r, const TsMaskData& mask);
void FillWithPicture(platform::Bitmap& b, QRect& r, const platform::Bitmap& picture);
// A texture with a mask half, tiled (Tile) or in whole tiles only with the
// parent showing in the strips left over (WholeTiles); other modes draw
// nothing.
void FillWithMaskedTexture(platform::Bitmap& b, QRect r, const ParentCacheInfo& p, TextureFill mode,
                           const TsMaskData& mask);

// What a piece's see-through (magenta) pixels become: the target's pixels
// stay, or the parent shows through them (the corners of a border).
enum class KeyPixels : bool { KeepTarget, ShowParent };

// The pieces of borders and corner images; a masked piece blends its rows
// in the scratch's runs.
void CopyMaskedPiece(platform::Bitmap& b, QRect dst, QRect src, const TsMaskData& mask,
                     const platform::Bitmap& image, KeyPixels keys, const ParentCacheInfo& p,
                     PaintScratch& scratch);
// The piece `src` of `image` with its top-left at `dst`; magenta is the key.
void CopyKeyedPiece(platform::Bitmap& b, QPoint dst, const platform::Bitmap& image, QRect src,
                    KeyPixels keys, const ParentCacheInfo& p);
void DrawBorderMask(platform::Bitmap& b, QRect r, KeyPixels keys, VisualState state,
                    const TsMaskData& mask, const ParentCacheInfo& p);
// A corner image: masked ones blend by their mask half; plain ones are
// keyed (SeeThrough) or laid half over what is there (HalfBlend).
enum class CornerLook : bool { SeeThrough, HalfBlend };
void DrawCornerImage(platform::Bitmap& b, QPoint at, VisualState state, const TsMaskData& mask,
                     CornerLook look, const ParentCacheInfo& p);

// Every pixel of `picture` in r that is not the key, laid under the
// destination: each channel becomes src − (src − dst) × x, rounded.
void BlendOverPicture(platform::Bitmap& dst, QPoint origin, uint32_t key, double x, QRect r,
                      const platform::Bitmap& picture);
void MakeGrey(platform::Bitmap& b);

// What lies behind laid into r of b: the parent's picture read from where
// `behind` addresses r's top-left, else its colour, else `otherwise`;
// nothing when there is no colour at all.
void LayParent(platform::Bitmap& b, QRect r, const ParentCacheInfo& behind,
               RgbColor otherwise = kNoColor);

// How much of itself a dimmed (disabled) picture keeps, in percent; the
// parent behind it gives the rest.
constexpr int kDimmedKeeps = 40;
// Dims the whole picture over what lies behind it: the parent's picture
// (see-through key pixels of the parent left as they are), else its
// colour, else `otherwise`; nothing when there is no colour at all.
void DimOverParent(platform::Bitmap& b, const ParentCacheInfo& behind,
                   RgbColor otherwise = kNoColor);

enum DisabledKind : unsigned { dkGrayed = 1, dkBlended = 2 };
// `parentColor` serves when the parent gives neither a picture nor a colour.
void DrawDisabledLook(platform::Bitmap& b, unsigned kind, QPoint q, const ParentCacheInfo& p,
                      RgbColor parentColor);
// The dotted focus frame of buttons.
void DrawDottedFocus(platform::Bitmap& b, QRect r, RgbColor light, RgbColor dark);

// The background of a section: colour (the request's own colour in place
// of the section's when it has one), gradient and texture, mixed with the
// parent by the section's transparency.
void RenderSectionBackground(const TsSkinManager& manager, const PaintRequest& request);

// The layers of an opaque background.
struct OpaqueLayers {
    RgbColor Color = kNoColor;
    int ImagePercent = 0, GradientPercent = 0;
    const TsGradArray* Gradient = nullptr;
    int Texture = -1, Picture = -1; // mask and pattern indexes
};
void FillOpaqueBackground(platform::Bitmap& b, QRect r, const TsSkinManager& manager,
                          const OpaqueLayers& layers);

// The section's four corner images at the corners of r, over what is there.
void DrawSectionCorners(platform::Bitmap& b, QRect r, VisualState state,
                        const TsSkinManager& manager, const TsGeneralData& section);

// Background, corner images and border of a section without a control's
// skin data; the border's corners take the parent's pixels.
void RenderSectionByIndex(const TsSkinManager& manager, const PaintRequest& request);
// The background without a texture and the given border mask.
void RenderSectionFast(const TsSkinManager& manager, const PaintRequest& request, int borderMask);

} // namespace skin
