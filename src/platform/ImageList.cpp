#include "platform/ImageList.h"

#include "platform/Canvas.h"

#include <stdexcept>

namespace platform {

void TImageList::LoadStrip(const Bitmap& strip) {
    if (strip.Height() != height_ || strip.Width() % width_ != 0)
        throw std::runtime_error("Invalid image size");
    pictures_.clear();
    for (int x = 0; x < strip.Width(); x += width_) {
        Bitmap pic(width_, height_);
        Canvas(pic).CopyRect(pic.Rect(), strip, QRect(x, 0, width_, height_));
        pic.SetSourceBitsPerPixel(strip.SourceBitsPerPixel());
        pictures_.push_back(std::move(pic));
    }
}

void TImageList::Draw(Canvas& canvas, int x, int y, int index) const {
    if (index < 0 || index >= Count())
        return;
    canvas.Draw(x, y, pictures_[index]);
}

} // namespace platform
