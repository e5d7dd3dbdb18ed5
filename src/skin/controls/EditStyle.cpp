#include "skin/controls/EditStyle.h"

#include "platform/DrawBitmap.h"
#include "skin/controls/ScrollBarPaint.h"
#include "skin/controls/SkinLink.h"
#include "skin/draw/ControlPaint.h"
#include "skin/draw/SkinPaint.h"

#include <QAbstractScrollArea>
#include <QMimeData>
#include <QPainter>
#include <QScrollBar>
#include <QStyleFactory>
#include <QStyleOption>
#include <QTextCursor>

namespace skin {

// ---- The text box's side -----------------------------------------------------

SkinnedTextBox::~SkinnedTextBox() = default;

int SkinnedTextBox::FrameWidth() {
    TsCommonData& data = BoxSkin();
    const TsSkinManager* m = data.SkinManager();
    if (!data.IsSkinned() || !m->IsValidMask(data.BorderMaskIndex))
        return 0;
    const TsMaskData& mask = m->MaskTable()[data.BorderMaskIndex];
    return std::max<int>({mask.LeftWidth, mask.TopWidth, mask.RightWidth, mask.BottomWidth, 0});
}

const platform::Bitmap* SkinnedTextBox::FramePicture() {
    TsCommonData& data = BoxSkin();
    platform::Control& control = BoxControl();
    if (!data.IsSkinned())
        return nullptr;
    if (data.WaitsToPaint())
        return nullptr;
    const ParentCacheInfo parent = ParentBackground(control);
    // The corners show the parent: a changed parent picture is a stale one.
    const int64_t key = parent.HasPicture() ? parent.Bitmap->Image().cacheKey() : 0;
    const uint32_t colour = Value(parent.FillColor);
    const QSize size = control.BoundsRect().size();
    if (!data.NeedsRender(size) && key == parentKey_ && colour == parentColor_ &&
        parent.OffsetX == parentX_ && parent.OffsetY == parentY_)
        return data.CacheBitmap();
    data.PrepareCacheBitmap();
    platform::Bitmap* cache = data.CacheBitmap();
    if (cache->Empty())
        return nullptr;
    const TsGeneralData& d = data.SkinManager()->SectionTable()[data.SectionIndex];
    const bool hot = (data.HasFocus || data.MouseInside) && d.StateCount > 1;
    const QPoint at = control.BoundsRect().topLeft();
    RenderSection(data, {.Target = *cache, .State = HotIf(hot), .Parent = parent, .Position = at});
    if (!control.Enabled())
        DrawDisabledLook(*cache, BoxDisabledKind(), at, parent,
                         parent.FillColor != kNoColor ? parent.FillColor : RgbColor{0});
    data.MarkCacheRendered();
    parentKey_ = key;
    parentColor_ = colour;
    parentX_ = parent.OffsetX;
    parentY_ = parent.OffsetY;
    return cache;
}

void SkinnedTextBox::DimLikeDisabled(QPainter& painter, QRect area, QPoint areaInControl) {
    platform::Control& control = BoxControl();
    const ParentCacheInfo behind = BackgroundBehind(control).Moved(areaInControl);
    painter.save();
    // The box keeps as much of itself as every dimmed picture does.
    painter.setOpacity(1.0 - kDimmedKeeps / 100.0);
    ShowParent(painter, area, behind);
    painter.restore();
}

void SkinnedTextBox::BoxFocusChanged(bool gained) {
    BoxSkin().HandleControlEvent(gained ? ControlEvent::FocusGained : ControlEvent::FocusLost);
}

void SkinnedTextBox::BoxMouseCrossed(bool entered) {
    BoxSkin().HandleControlEvent(entered ? ControlEvent::MouseEntered : ControlEvent::MouseLeft);
}

bool SkinnedTextBox::BoxCanPaste(const QMimeData* source) {
    return source && source->hasText();
}

void SkinnedTextBox::BoxPaste(QTextCursor cursor, const QMimeData* source) {
    if (BoxCanPaste(source))
        cursor.insertText(source->text());
}

bool SkinnedTextBox::BoxSkinCommand(platform::Message& message) {
    if (message.Msg != platform::SM_ALPHACMD)
        return true;
    TsCommonData& data = BoxSkin();
    QWidget* w = BoxControl().Widget();
    const bool ours = SkinCmdNewSkin::ArgumentOf(message) == data.SkinManager();
    switch (platform::AlphaCommand(message.WParam)) {
    case SkinCmdNewSkin::Number:
    case SkinCmdRemoveSkin::Number:
    case SkinCmdRefresh::Number:
        if (!ours)
            return true;
        data.HandleSkinCommand(message);
        // Without a skin the box paints itself plainly at once (a new skin
        // or a refresh frees painting by itself).
        if (SkinCmdRemoveSkin::Is(message))
            data.ReleasePaint();
        BoxSkinChanged();
        // The frame width follows the skin: Qt lays the box out again.
        w->setStyle(EditStyle::Instance());
        w->update();
        return true;
    case SkinCmdIsSkinned::Number:
        SkinCmdIsSkinned::Reply(message, true);
        return true;
    case SkinCmdResumePaint::Number:
        if (data.IsSkinned() && data.PaintHeld()) {
            data.ReleasePaint();
            w->update();
            for (QWidget* child : w->findChildren<QWidget*>())
                child->update();
        }
        return true;
    default:
        return false;
    }
}

SkinnedTextBox* SkinnedBoxOf(const QWidget* widget) {
    // A box, or a scroll bar inside its container inside the box.
    for (int up = 0; widget && up < 3; ++up, widget = widget->parentWidget())
        if (auto* box = dynamic_cast<SkinnedTextBox*>(const_cast<QWidget*>(widget)))
            return box->BoxSkinned() ? box : nullptr;
    return nullptr;
}

// ---- The style ---------------------------------------------------------------

namespace {

bool IsBarOf(const QWidget* widget) {
    return qobject_cast<const QScrollBar*>(widget) != nullptr;
}

VisualState PartState(const QStyleOptionSlider& o, QStyle::SubControl sc) {
    if (!(o.activeSubControls & sc))
        return VisualState::Normal;
    if (o.state & QStyle::State_Sunken)
        return VisualState::Pressed;
    return (o.state & QStyle::State_MouseOver) ? VisualState::Hot : VisualState::Normal;
}

ScrollBarParts PartsOf(const QStyleOptionSlider& o, const TsSkinManager& m, int minThumb) {
    return LayoutScrollBar(o.rect.size(), o.orientation, ScrollArrowLength(m, o.orientation),
                           minThumb, {o.minimum, o.maximum, o.pageStep, o.sliderPosition},
                           (o.state & QStyle::State_Enabled) != 0);
}

} // namespace

EditStyle::EditStyle() : QProxyStyle(static_cast<QStyle*>(nullptr)) {}

EditStyle* EditStyle::Instance() {
    // Kept for the program's lifetime: widgets may go after the application.
    static EditStyle* style = new EditStyle;
    return style;
}

void EditStyle::Apply(QWidget* box) {
    box->setStyle(Instance());
    if (auto* area = qobject_cast<QAbstractScrollArea*>(box)) {
        area->verticalScrollBar()->setStyle(Instance());
        area->horizontalScrollBar()->setStyle(Instance());
    }
}

int EditStyle::pixelMetric(PixelMetric metric, const QStyleOption* option,
                           const QWidget* widget) const {
    if (SkinnedTextBox* box = SkinnedBoxOf(widget)) {
        switch (metric) {
        case PM_DefaultFrameWidth:
            if (!IsBarOf(widget))
                return box->FrameWidth();
            break;
        case PM_ScrollBarExtent:
            return platform::GetSystemMetrics(platform::SM_CXVSCROLL);
        case PM_ScrollBarSliderMin:
            return platform::GetSystemMetrics(platform::SM_CYVTHUMB);
        case PM_ScrollView_ScrollBarOverlap:
        case PM_ScrollView_ScrollBarSpacing:
            return 0;
        default:
            break;
        }
    }
    return QProxyStyle::pixelMetric(metric, option, widget);
}

int EditStyle::styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                         QStyleHintReturn* returnData) const {
    if (SkinnedBoxOf(widget)) {
        switch (hint) {
        case SH_ScrollBar_Transient:
        case SH_ScrollView_FrameOnlyAroundContents:
        case SH_ScrollBar_LeftClickAbsolutePosition: // a click on the track pages
            return 0;
        default:
            break;
        }
    }
    return QProxyStyle::styleHint(hint, option, widget, returnData);
}

void EditStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                              QPainter* painter, const QWidget* widget) const {
    SkinnedTextBox* box = IsBarOf(widget) ? nullptr : SkinnedBoxOf(widget);
    if (!box) {
        QProxyStyle::drawPrimitive(element, option, painter, widget);
        return;
    }
    switch (element) {
    case PE_PanelLineEdit:
        painter->fillRect(option->rect.adjusted(box->FrameWidth(), box->FrameWidth(),
                                                -box->FrameWidth(), -box->FrameWidth()),
                          option->palette.base());
        [[fallthrough]];
    case PE_Frame:
    case PE_FrameLineEdit: {
        // Only the ring: the corner square under it is painted already.
        const platform::Bitmap* picture = box->FramePicture();
        if (!picture)
            return; // waits for the parent; nothing grey meanwhile
        const int f = box->FrameWidth();
        const QRect whole = option->rect;
        painter->save();
        painter->setClipRegion(QRegion(whole).subtracted(QRegion(whole.adjusted(f, f, -f, -f))));
        platform::DrawBitmap(*painter, whole.topLeft(), *picture);
        painter->restore();
        return;
    }
    case PE_PanelScrollAreaCorner: {
        ShowParent(*painter, option->rect,
                   BackgroundBehind(box->BoxControl()).Moved(option->rect.topLeft()));
        return;
    }
    default:
        QProxyStyle::drawPrimitive(element, option, painter, widget);
    }
}

void EditStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                   QPainter* painter, const QWidget* widget) const {
    SkinnedTextBox* box = SkinnedBoxOf(widget);
    const auto* o = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !box || !o || !IsBarOf(widget)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    const TsSkinManager& m = *box->BoxSkin().SkinManager();
    const ScrollBarParts parts = PartsOf(*o, m, pixelMetric(PM_ScrollBarSliderMin, o, widget));
    const ScrollPartStates states{
        PartState(*o, SC_ScrollBarSubLine), PartState(*o, SC_ScrollBarAddLine),
        PartState(*o, SC_ScrollBarSubPage), PartState(*o, SC_ScrollBarAddPage),
        PartState(*o, SC_ScrollBarSlider)};
    platform::Bitmap bar(o->rect.width(), o->rect.height());
    const QPoint inBox = widget->mapTo(box->BoxControl().Widget(), o->rect.topLeft());
    const ParentCacheInfo behind = BackgroundBehind(box->BoxControl()).Moved(inBox);
    if (!RenderScrollBar(m, bar, o->orientation, parts, states, behind,
                         (o->state & State_Enabled) != 0)) {
        QProxyStyle::drawComplexControl(control, option, painter, widget);
        return;
    }
    platform::DrawBitmap(*painter, o->rect.topLeft(), bar);
}

QRect EditStyle::subControlRect(ComplexControl control, const QStyleOptionComplex* option,
                                SubControl sub, const QWidget* widget) const {
    SkinnedTextBox* box = SkinnedBoxOf(widget);
    const auto* o = qstyleoption_cast<const QStyleOptionSlider*>(option);
    if (control != CC_ScrollBar || !box || !o)
        return QProxyStyle::subControlRect(control, option, sub, widget);
    const TsSkinManager& m = *box->BoxSkin().SkinManager();
    const ScrollBarParts p = PartsOf(*o, m, pixelMetric(PM_ScrollBarSliderMin, o, widget));
    const QRect groove = p.Groove();
    const bool horizontal = o->orientation == Qt::Horizontal;
    // The page areas lie between the slider and the arrows (hit testing).
    auto between = [&](int from, int to) {
        return horizontal ? QRect(from, 0, to - from, o->rect.height())
                          : QRect(0, from, o->rect.width(), to - from);
    };
    QRect r;
    switch (sub) {
    case SC_ScrollBarSubLine:
        r = p.SubArrow;
        break;
    case SC_ScrollBarAddLine:
        r = p.AddArrow;
        break;
    case SC_ScrollBarGroove:
        r = groove;
        break;
    case SC_ScrollBarSlider:
        r = p.Slider;
        break;
    case SC_ScrollBarSubPage:
        if (!p.Slider.isEmpty())
            r = horizontal ? between(groove.left(), p.Slider.left())
                           : between(groove.top(), p.Slider.top());
        break;
    case SC_ScrollBarAddPage:
        if (!p.Slider.isEmpty())
            r = horizontal ? between(p.Slider.right() + 1, groove.right() + 1)
                           : between(p.Slider.bottom() + 1, groove.bottom() + 1);
        break;
    default:
        break;
    }
    return visualRect(o->direction, o->rect, r.translated(o->rect.topLeft()));
}

void EditStyle::polish(QWidget* widget) {
    QProxyStyle::polish(widget);
    if (IsBarOf(widget))
        widget->setAttribute(Qt::WA_Hover);
}

} // namespace skin

namespace skin {
void SetBoxBaseColor(QWidget* box, platform::TColor color) {
    QPalette pal = box->palette();
    pal.setColor(QPalette::Base, platform::ToQColor(color));
    box->setPalette(pal);
}
} // namespace skin
