#include "skin/controls/SkinLink.h"

#include "platform/DrawBitmap.h"

#include <QPainter>
#include <QWidget>

namespace skin {

ParentCacheInfo ParentBackground(const platform::Control& self) {
    platform::Control* parent = self.Parent();
    if (parent) {
        BackgroundRequest request;
        SendSkinCommand<SkinCmdGetBgInfo>(parent, &request);
        if (request.Kind != BackgroundAnswer::None)
            return request.ToParentCache();
        if (AnswersSkinCommands(parent)) {
            AskParentBackground(request, parent, false);
            return request.ToParentCache();
        }
    }
    // The toolkit paints this parent: its palette's colour is what shows.
    const QWidget* under = self.Widget()->parentWidget();
    const QColor shown = under ? under->palette().color(under->backgroundRole())
                               : platform::ToQColor(platform::clBtnFace);
    return ParentCacheInfo::Color(RgbColor{platform::ColorToRGB(platform::FromQColor(shown))});
}

void ShowParent(QPainter& painter, QRect area, const ParentCacheInfo& behind) {
    if (behind.HasPicture())
        platform::DrawBitmap(painter, area.topLeft(), *behind.Bitmap,
                             QRect(QPoint(behind.OffsetX, behind.OffsetY), area.size())
                                 .intersected(behind.Bitmap->Rect()));
    else
        painter.fillRect(area, ToQColor(behind.FillColor));
}

ParentCacheInfo BackgroundBehind(const platform::Control& self) {
    return ParentBackground(self).Moved(self.BoundsRect().topLeft());
}

} // namespace skin
