// A skinned control's cached picture and whether it may be shown. The
// picture is stale until the control renders it again; painting is held
// back while the parent's picture is not ready, or until a new skin has
// reached the control, and a held control shows what it showed last.
// TsCommonData decides when each of these changes; this class only keeps
// them.
#pragma once

#include "platform/Bitmap.h"

#include <QSize>
#include <algorithm>
#include <memory>

namespace skin {

class PaintCache {
public:
    // `withPicture`: the control paints from a cached picture (buttons,
    // panels, text boxes); others get one when they first size it.
    explicit PaintCache(bool withPicture) {
        if (withPicture)
            cache_ = std::make_unique<platform::Bitmap>();
    }

    platform::Bitmap* CacheBitmap() const { return cache_.get(); }
    bool HasCachePicture() const { return cache_ != nullptr; }
    // Makes the picture when there is none; it starts empty.
    void MakeCachePicture() {
        if (!cache_)
            cache_ = std::make_unique<platform::Bitmap>();
    }
    // The picture sized to `size`, made when there was none.
    void SizeCache(QSize size) {
        MakeCachePicture();
        cache_->SetSize(std::max(size.width(), 0), std::max(size.height(), 0));
    }
    // The picture's pixels go (a hidden control, a skin taken away).
    void DropCachePixels() {
        if (cache_)
            cache_->SetSize(0, 0);
    }

    bool CacheStale() const { return stale_; }
    void MarkCacheStale() { stale_ = true; }
    void MarkCacheRendered() { stale_ = false; }
    // Whether the cache must be rendered before it is shown at `size`:
    // stale, missing, or of another size.
    bool NeedsRender(QSize size) const {
        return stale_ || !cache_ || cache_->Width() != size.width() ||
               cache_->Height() != size.height();
    }

    bool PaintHeld() const { return held_; }
    void HoldPaint() { held_ = true; }
    void ReleasePaint() { held_ = false; }

private:
    std::unique_ptr<platform::Bitmap> cache_;
    bool stale_ = true, held_ = false;
};

} // namespace skin
