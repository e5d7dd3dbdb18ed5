// A list of pictures of one size, drawn by index.
#pragma once

#include "platform/Bitmap.h"

#include <vector>

namespace platform {

class Canvas;

class TImageList {
public:
    TImageList(int width, int height) : width_(width), height_(height) {}

    int Width() const { return width_; }
    int Height() const { return height_; }
    int Count() const { return static_cast<int>(pictures_.size()); }

    // Cuts a strip of pictures laid side by side into the list (replacing it).
    void LoadStrip(const Bitmap& strip);
    void Add(const Bitmap& picture) { pictures_.push_back(picture); }
    const Bitmap& Picture(int index) const { return pictures_.at(index); }

    // Draws picture `index` at (x, y); an index with no picture draws nothing.
    void Draw(Canvas& canvas, int x, int y, int index) const;

private:
    int width_, height_;
    std::vector<Bitmap> pictures_;
};

} // namespace platform
