#include "skin/draw/SkinPaint.h"

#include "skin/draw/Pixels.h"

#include <algorithm>

namespace skin {

using namespace pixels;

void FillWithPicture(Bitmap& b, QRect& r, const Bitmap& picture) {
    TileArea(b, r, picture, picture.Rect(), false);
    r = QRect();
}

void FillWithTexture(Bitmap& b, QRect& r, const TsMaskData& mask) {
    if (mask.OwnImage) {
        FillWithPicture(b, r, *mask.OwnImage);
        return;
    }
    const Bitmap* image = MaskImage(mask);
    const QRect area(mask.Area.Left, mask.Area.Top, mask.Area.Width(), mask.Area.Height());
    if (!image || area.isEmpty() || r.isEmpty())
        return;
    const int tw = std::min(area.width(), r.width()), th = std::min(area.height(), r.height());
    switch (FillOf(mask)) {
    case TextureFill::Tile:
        TileArea(b, r, *image, area, false);
        r = QRect();
        break;
    case TextureFill::Stretch:
        StretchArea(b, r, *image, area);
        r = QRect();
        break;
    case TextureFill::TileTop:
        TileArea(b, QRect(r.left(), r.top(), r.width(), th), *image, area, false);
        r.setTop(r.top() + th);
        break;
    case TextureFill::TileLeft:
        TileArea(b, QRect(r.left(), r.top(), tw, r.height()), *image, area, false);
        r.setLeft(r.left() + tw);
        break;
    case TextureFill::StretchTop:
        StretchArea(b, QRect(r.left(), r.top(), r.width(), th), *image,
                    QRect(area.topLeft(), QSize(area.width(), th)));
        r.setTop(r.top() + th);
        break;
    case TextureFill::StretchLeft:
        StretchArea(b, QRect(r.left(), r.top(), tw, r.height()), *image,
                    QRect(area.topLeft(), QSize(tw, area.height())));
        r.setLeft(r.left() + tw);
        break;
    case TextureFill::TileBottom:
        TileArea(b, QRect(r.left(), r.bottom() + 1 - th, r.width(), th), *image, area, false);
        r.setBottom(r.bottom() - th);
        break;
    case TextureFill::WholeTiles:
        TileArea(b, r, *image, area, true);
        r = QRect();
        break;
    default: // TileRight, and any mode not named
        TileArea(b, QRect(r.right() + 1 - tw, r.top(), tw, r.height()), *image, area, false);
        r.setRight(r.right() - tw);
        break;
    }
}

void FillWithMaskedTexture(Bitmap& b, QRect r, const ParentCacheInfo& p, TextureFill mode,
                           const TsMaskData& mask) {
    const Bitmap* image = MaskImage(mask);
    const int w = mask.FrameWidth(), h = mask.FrameHeight();
    const bool whole = mode == TextureFill::WholeTiles;
    if (!image || w <= 0 || h <= 0 || (mode != TextureFill::Tile && !whole))
        return;
    const int maskRows = mask.Area.Height() / 2;
    const QRect clipped = Clip(b, r);
    const int endX = whole ? r.left() + r.width() / w * w : r.left() + r.width();
    const int endY = whole ? r.top() + r.height() / h * h : r.top() + r.height();
    for (int y = clipped.top(); y <= clipped.bottom(); ++y) {
        uint32_t* row = b.ScanLine(y);
        const int sy = mask.Area.Top + (y - r.top()) % h;
        const bool inTiles = y < endY && sy < image->Height() && sy + maskRows < image->Height();
        for (int x = clipped.left(); x <= clipped.right(); ++x) {
            const int sx = mask.Area.Left + (x - r.left()) % w;
            const bool inTile = inTiles && x < endX && sx < image->Width();
            // The strips no whole tile covers, and the key, show the parent.
            if (!inTile || IsKey(image->ScanLine(sy)[sx])) {
                if (const uint32_t* parent = p.PixelAt(x - r.left(), y - r.top()))
                    row[x] = *parent;
                else if (p.HasColor())
                    row[x] = PixelOf(p.FillColor);
                continue;
            }
            row[x] =
                BlendByMask(row[x], image->ScanLine(sy)[sx], image->ScanLine(sy + maskRows)[sx]);
        }
    }
}

} // namespace skin
