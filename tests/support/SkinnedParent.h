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
        if (m.Msg != platform::SM_ALPHACMD)
            return;
        switch (platform::AlphaCommand(m.WParam)) {
        case skin::SkinCmdIsSkinned:
            m.Result = 1;
            break;
        case skin::SkinCmdGetBgInfo: {
            auto* request = reinterpret_cast<skin::BackgroundRequest*>(m.LParam);
            request->Kind = skin::BackgroundAnswer::Picture;
            request->Bitmap = &Picture;
            request->OffsetX = request->OffsetY = 0;
            break;
        }
        case skin::SkinCmdGetBgColor:
            if (BgColor)
                m.Result = *BgColor;
            break;
        default:
            break;
        }
    }
    platform::Bitmap Picture;
    // The colour answered to a colour request; none answers nothing.
    std::optional<platform::TColor> BgColor;
};

} // namespace testing_support
