#include "skin/controls/TsPanel.h"

#include "platform/Accessible.h"
#include "platform/Canvas.h"
#include "platform/DrawBitmap.h"
#include "skin/controls/SkinLink.h"
#include "skin/draw/ControlPaint.h"
#include "skin/draw/SkinPaint.h"

#include <QPaintEvent>
#include <QPainter>

namespace skin {

TsPanel::TsPanel(QWidget* parent) : QFrame(parent), skinData_(this, true) {
    // A group of controls to a screen reader, not a window of its own.
    static const bool registered = [] {
        platform::AccessibleParts parts;
        parts.Role = QAccessible::Grouping;
        platform::RegisterAccessible("skin::TsPanel", std::move(parts));
        return true;
    }();
    (void)registered;
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
    skinData_.ControlKind = KindPanel;
    skinData_.ControlBuilt();
}

TsPanel::~TsPanel() {
    ComponentState |= csDestroying;
}

bool TsPanel::NeedsOwnPicture() const {
    return skinData_.NeedsComplexBackground() || skinData_.IsHot();
}

void TsPanel::RenderPanelPicture() {
    if (!skinData_.IsSkinned() || !NeedsOwnPicture())
        return;
    skinData_.PrepareCacheBitmap();
    platform::Bitmap& cache = *skinData_.CacheBitmap();
    if (cache.Empty())
        return;
    // The background is asked of the parent (a form, another panel).
    RenderPanelSection(skinData_, Parent(), {.Target = cache, .Position = pos()});
    platform::Canvas canvas(cache);
    DrawCaption(canvas, contentsRect());
    if (OnPaint)
        OnPaint(this, canvas);
    skinData_.MarkCacheRendered();
}

void TsPanel::DrawCaption(platform::Canvas& canvas, QRect client) {
    if (!ShowCaption || Caption.isEmpty())
        return;
    const QRect inner = client.adjusted(BorderWidth, BorderWidth, -BorderWidth, -BorderWidth);
    canvas.Font = font_;
    QRect measured = inner;
    const uint32_t format = platform::DT_CENTER | platform::DT_WORDBREAK;
    canvas.DrawText(Caption, measured, format | platform::DT_CALCRECT);
    const int top = inner.top() + (inner.height() - measured.height()) / 2 + BorderWidth;
    DrawSkinText(canvas, Caption,
                 {.Rect = QRect(inner.left(), top, inner.width(), measured.height()),
                  .Format = format,
                  .Enabled = isEnabled()},
                 skinData_);
}

void TsPanel::paintEvent(QPaintEvent* event) {
    if (!skinData_.IsSkinned()) {
        QFrame::paintEvent(event);
        return;
    }
    if (event->region().isEmpty())
        return;
    QPainter painter(this);
    PaintPanel(painter, true);
}

void TsPanel::PaintPanel(QPainter& painter, bool resumeChildren) {
    if (NeedsOwnPicture() && !skinData_.CustomColor()) {
        if (!skinData_.WaitsToPaint()) {
            const bool stale = skinData_.ClippedByParent || skinData_.CacheStale();
            const QWidget* parent = parentWidget();
            skinData_.ClippedByParent = parent && !parent->rect().contains(geometry());
            if (stale)
                RenderPanelPicture();
            CopyCacheExcludingChildren(painter, rect());
        }
    } else {
        PaintPlain(painter);
    }
    // Children (the rune slots) are widgets of their own: Qt draws them
    // over this picture in the same off-screen pass, so they never flicker.
    if (resumeChildren)
        ResumeChildren();
}

void TsPanel::PaintPlain(QPainter& painter) {
    skinData_.ReleasePaint();
    const TsSkinManager* m = skinData_.SkinManager();
    const TsGeneralData& d = m->SectionTable()[skinData_.SectionIndex];
    int b = 0;
    if (m->IsValidMask(skinData_.BorderMaskIndex)) {
        const TsMaskData& mask = m->MaskTable()[skinData_.BorderMaskIndex];
        if (!HasBorderFill(mask, NoneWhenNormal))
            b = std::max<int>({mask.LeftWidth, mask.TopWidth, mask.RightWidth, mask.BottomWidth});
    }
    const ParentCacheInfo parent = skinData_.CustomColor()
                                       ? ParentCacheInfo::Color(ToRgb(SkinColor{Color()}))
                                       : ParentBackground(*this);
    platform::Bitmap& cache = *skinData_.CacheBitmap();
    const QRect inner = rect().adjusted(b, b, -b, -b);
    auto ring = [&] {
        skinData_.PrepareCacheBitmap();
        RenderSection(skinData_, {.Target = cache, .Parent = parent, .Position = pos()});
        painter.save();
        painter.setClipRegion(QRegion(rect()).subtracted(QRegion(inner)));
        platform::DrawBitmap(painter, QPoint(0, 0), cache);
        painter.restore();
    };
    if (d.Transparency == 100 && parent.HasPicture()) {
        if (b > 0)
            ring();
        // The inside shows the parent's picture as it is.
        const QRect area = b > 0 ? inner : rect();
        ShowParent(painter, area, parent.Moved(pos()).Moved(area.topLeft()));
    } else {
        const RgbColor own = skinData_.CustomColor() ? ToRgb(SkinColor{Color()}) : ToRgb(d.Color);
        const RgbColor under = parent.FillColor;
        const int t = std::clamp(d.Transparency, 0, 100);
        const RgbColor fill = t == 0 ? own : t == 100 ? under : MixColors(under, own, t / 100.0);
        if (b > 0)
            ring();
        painter.fillRect(b > 0 ? inner : rect(), platform::ToQColor(Value(ToStored(fill))));
    }
    skinData_.MarkCacheRendered();
}

void TsPanel::CopyCacheExcludingChildren(QPainter& painter, QRect clip) {
    const platform::Bitmap* cache = skinData_.CacheBitmap();
    if (!cache || cache->Empty())
        return;
    QRegion region(clip);
    for (Control* child : Controls()) {
        const QWidget* w = child->Widget();
        if (!child->IsWindowed() || w->isHidden() || !clip.intersects(w->geometry()))
            continue;
        // Only a child that paints every pixel of itself hides the panel.
        if (w->testAttribute(Qt::WA_OpaquePaintEvent) || w->autoFillBackground())
            region -= QRegion(w->geometry());
    }
    painter.save();
    painter.setClipRegion(region);
    platform::DrawBitmap(painter, QPoint(0, 0), *cache);
    painter.restore();
}

void TsPanel::ResumeChildren() {
    for (Control* child : Controls())
        if (child->IsWindowed() && child->Widget()->isVisible())
            SendSkinCommand<SkinCmdResumePaint>(child);
}

// ---- Commands and events ----------------------------------------------------

void TsPanel::PassToChildren(platform::Message& message) {
    for (Control* child : Controls())
        if (!(child->ComponentState & csDestroying))
            child->Perform(message.Msg, message.WParam, message.LParam);
}

void TsPanel::WndProc(platform::Message& message) {
    if (message.Msg != platform::SM_ALPHACMD)
        return;
    const bool ours = SkinCmdNewSkin::ArgumentOf(message) == skinData_.SkinManager();
    switch (platform::AlphaCommand(message.WParam)) {
    case SkinCmdNewSkin::Number:
        PassToChildren(message);
        if (ours) {
            skinData_.HandleSkinCommand(message);
            update();
        }
        return;
    case SkinCmdRemoveSkin::Number:
        if (ours) {
            skinData_.HandleSkinCommand(message);
            update();
        }
        PassToChildren(message);
        return;
    case SkinCmdRefresh::Number:
        if (ours) {
            skinData_.HandleSkinCommand(message);
            if (!(ComponentState & csLoading))
                update();
        }
        PassToChildren(message);
        return;
    case SkinCmdIsSkinned::Number:
        SkinCmdIsSkinned::Reply(message, true);
        return;
    case SkinCmdGetBgInfo::Number:
        if (BackgroundRequest* request = SkinCmdGetBgInfo::ArgumentOf(message))
            AnswerBackground(*request);
        return;
    case SkinCmdResumePaint::Number:
        if (skinData_.PaintHeld()) {
            skinData_.ReleasePaint();
            if (!skinData_.WaitsToPaint())
                repaint();
        }
        ResumeChildren();
        return;
    case SkinCmdIsBgNotReady::Number:
        SkinCmdIsBgNotReady::Reply(message, skinData_.IsPaintDeferred());
        return;
    default:
        break;
    }
    skinData_.HandleSkinCommand(message);
}

// A child's background: the panel's picture, made fresh when a child asks
// before it is ready.
void TsPanel::AnswerBackground(BackgroundRequest& request) {
    const TsSkinManager* m = skinData_.SkinManager();
    const bool seeThrough =
        skinData_.IsSkinned() && m->SectionTable()[skinData_.SectionIndex].Transparency == 100;
    const bool borderWhenNormal =
        m && m->IsValidMask(skinData_.BorderMaskIndex) &&
        !HasBorderFill(m->MaskTable()[skinData_.BorderMaskIndex], NoneWhenNormal);
    if ((skinData_.CacheStale() || skinData_.ClippedByParent) && !skinData_.IsPaintDeferred() &&
        (!seeThrough || borderWhenNormal))
        RenderPanelPicture();
    skinData_.FillBackgroundInfo(request, VisualState::Normal);
}

void TsPanel::resizeEvent(QResizeEvent* event) {
    QFrame::resizeEvent(event);
    skinData_.HandleControlEvent(ControlEvent::Resized);
}

void TsPanel::moveEvent(QMoveEvent* event) {
    QFrame::moveEvent(event);
    if (skinData_.IsSkinned() &&
        skinData_.SkinManager()->SectionTable()[skinData_.SectionIndex].Transparency != 0)
        skinData_.MarkCacheStale();
    skinData_.HandleControlEvent(ControlEvent::Moved);
}

void TsPanel::showEvent(QShowEvent* event) {
    // Shown again, the panel renders afresh and may paint at once.
    skinData_.HandleControlEvent(ControlEvent::Shown);
    QFrame::showEvent(event);
}

void TsPanel::hideEvent(QHideEvent* event) {
    skinData_.HandleControlEvent(ControlEvent::Hidden);
    QFrame::hideEvent(event);
}

void TsPanel::changeEvent(QEvent* event) {
    QFrame::changeEvent(event);
    if (event->type() == QEvent::EnabledChange)
        skinData_.RequestRepaint();
}

} // namespace skin
