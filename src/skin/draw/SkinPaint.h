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
#include "skin/draw/ParentCache.h"

#include <QRect>

namespace skin {

// The picture a mask's areas lie in: its own, or its manager's master image.
const platform::Bitmap* MaskImage(const TsMaskData& mask);

// Layers a bitmap over another at `at`: every byte becomes (lower × a +
// upper × (255 − a) + 127) >> 8, so the lower picture keeps the weight a.
void BlendBitmap(platform::Bitmap& lower, QPoint at, const platform::Bitmap& upper, int a);
// Keeps `percent` of every pixel of r and mixes in the rest of a colour.
void BlendColorRect(platform::Bitmap& b, QRect r, int percent, uint32_t rgb);
void FillRect(platform::Bitmap& b, QRect r, uint32_t rgb);
// Copies the pixels of `source` from (sx, sy) into r.
void CopyFrom(platform::Bitmap& b, QRect r, const platform::Bitmap& source, int sx, int sy);

// Gradients by the mode of their first step: 0 top to bottom, 1 left to
// right, 2 four triangles meeting in the middle.
void PaintGradient(platform::Bitmap& b, QRect r, const TsGradArray& steps, int startOffset = 0);
// A gradient (modes 0 and 1) with a texture tiled from r's top-left laid
// over it by a (0..255) in one pass.
void PaintGradientWithTexture(platform::Bitmap& b, QRect r, const TsGradArray& steps, int a,
                              const platform::Bitmap& image, QRect area);

// Lays a texture by its fill mode; r becomes the part left for the colour
// (empty when the texture covers everything). A mask with a picture of its
// own (a background picture) is tiled whole.
void FillWithTexture(platform::Bitmap& b, QRect& r, const TsMaskData& mask);
void FillWithPicture(platform::Bitmap& b, QRect& r, const platform::Bitmap& picture);
// A texture with a mask half: mode 0 tiles, mode 10 lays whole tiles only
// and lets the parent show in the strips left over.
void FillWithMaskedTexture(platform::Bitmap& b, QRect r, const ParentCacheInfo& p, int mode,
                           const TsMaskData& mask);

// The pieces of borders and corner images.
void CopyMaskedPiece(platform::Bitmap& b, QRect dst, QRect src, const TsMaskData& mask,
                     const platform::Bitmap& image, bool corners, const ParentCacheInfo& p);
// `src` has inclusive right and bottom edges.
void CopyKeyedPiece(platform::Bitmap& b, const platform::Bitmap& image, QPoint dst, bool corners,
                    const ParentCacheInfo& p, uint32_t key, QRect src);
void DrawBorderMask(platform::Bitmap& b, QRect r, bool corners, int state, const TsMaskData& mask,
                    const ParentCacheInfo& p);
void DrawCornerImage(platform::Bitmap& b, QPoint at, int state, const ParentCacheInfo& p,
                     const TsMaskData& mask, bool transparent);

// Every pixel of `picture` in r that is not the key, laid under the
// destination: each channel becomes src − (src − dst) × x, rounded.
void BlendOverPicture(platform::Bitmap& dst, QPoint origin, uint32_t key, double x, QRect r,
                      const platform::Bitmap& picture);
void MakeGrey(platform::Bitmap& b);

enum DisabledKind : unsigned { dkGrayed = 1, dkBlended = 2 };
// `parentColor` serves when the parent gives neither a picture nor a colour.
void DrawDisabledLook(platform::Bitmap& b, unsigned kind, QPoint q, const ParentCacheInfo& p,
                      uint32_t parentColor);
// The dotted focus frame of buttons.
void DrawDottedFocus(platform::Bitmap& b, QRect r, uint32_t light, uint32_t dark);

// The background of a section: colour, gradient and texture, mixed with the
// parent by the section's transparency. `ownColor` other than the key
// replaces the section's colours; texture indexes of -1 are looked up.
// Here p addresses the pixel behind the control's top-left, q is the
// control's place in its parent.
void RenderSectionBackground(const TsSkinManager& manager, int section, const QString& name,
                             ParentCacheInfo p, uint32_t ownColor, int pattern, int hotPattern,
                             platform::Bitmap& b, QPoint q, QRect r, int state);
void FillOpaqueBackground(const TsSkinManager& manager, platform::Bitmap& b, QRect r,
                          uint32_t color, int imagePercent, int gradientPercent,
                          const TsGradArray& gradient, int texture, int pattern);

// The section's four corner images at the corners of r, over what is there.
void DrawSectionCorners(const TsSkinManager& manager, const TsGeneralData& section,
                        platform::Bitmap& b, QRect r, int state);

// Background, corner images and border of a section without a control's
// skin data; the border's corners take the parent's pixels.
void RenderSectionByIndex(const TsSkinManager& manager, int section, const QString& name,
                          ParentCacheInfo p, int pattern, int hotPattern, platform::Bitmap& b,
                          QPoint q, QRect r, int state);
// The background without a texture and the given border mask.
void RenderSectionFast(const TsSkinManager& manager, int section, int borderMask,
                       platform::Bitmap& b, QPoint q, QRect r, int state, ParentCacheInfo p);
// RenderSectionByIndex into a picture of r's size, then copied to `device`.
void RenderSectionToDevice(const TsSkinManager& manager, int section, const QString& name,
                           ParentCacheInfo p, platform::Bitmap& device, QPoint q, QRect r,
                           int state);
// The section named (or the fallback), over the device's pixels under the
// bitmap when a device is given. Answers the section's index.
int RenderSectionByName(platform::Bitmap& b, const QString& name, const QString& fallback,
                        const platform::Bitmap* device, int state, const TsSkinManager& manager);

} // namespace skin
