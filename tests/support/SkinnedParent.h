// A skinned parent for tests and benchmarks: a widget that hands its
// children a picture of its own as their background, as a skinned window
// does, so that a child's pixels can be checked against what lies under it.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Colors.h"
#include "platform/WidgetControl.h"
#include "skin/draw/TsCommonData.h"

#include <QWidget>
#include <optional>

namespace testing_support {

class SkinnedParent : public QWidget, public platform::WidgetControl {
public:
    SkinnedParent(int width, int height) {
        resize(width, height);
        Picture.SetSize(width, height);
    }
    QWidget* Widget() override { return this; }
    void WndProc(platform::Message& m) override {
        using namespace skin;
        if (SkinCmdIsSkinned::Is(m)) {
            SkinCmdIsSkinned::Reply(m, true);
        } else if (SkinCmdGetBgInfo::Is(m)) {
            BackgroundRequest* request = SkinCmdGetBgInfo::ArgumentOf(m);
            request->Kind = BackgroundAnswer::Picture;
            request->Bitmap = &Picture;
            request->OffsetX = request->OffsetY = 0;
        } else if (SkinCmdGetBgColor::Is(m) && BgColor) {
            SkinCmdGetBgColor::Reply(m, RgbColor{uint32_t(*BgColor)});
        }
    }
    platform::Bitmap Picture;
    // The colour answered to a colour request; none answers nothing.
    std::optional<platform::TColor> BgColor;
};

// A skinned parent whose picture has a different colour at every pixel, so
// that a child that reads its background at a wrong offset shows it.
class Backdrop : public SkinnedParent {
public:
    Backdrop(int width, int height) : SkinnedParent(width, height) {
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                Picture.SetPixel(
                    x, y, platform::RGBColor((3 * x) & 255, (60 + 5 * y) & 255, 200 - x / 2));
    }
    // The colour bytes of the pixel at `at`.
    uint32_t Under(QPoint at) const { return Picture.ScanLine(at.y())[at.x()] & 0xFFFFFF; }
    // What lies under the rectangle r.
    platform::Bitmap Under(QRect r) const { return platform::Bitmap(Picture.Image().copy(r)); }
};

} // namespace testing_support
