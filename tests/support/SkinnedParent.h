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

} // namespace testing_support
