#include "platform/Control.h"

namespace platform {

// Defined here, out of line, so that the class's type information lives
// with the interface in the widget-free layer.
Control::~Control() = default;

void Control::WndProc(Message&) {}

void Control::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    ColorChanged();
}

void Control::SetFont(const TFont& font) {
    if (font == font_)
        return;
    font_ = font;
    FontChanged();
}

} // namespace platform
