#include "app/RuneField.h"

#include "platform/Bitmap.h"
#include "platform/DrawBitmap.h"
#include "platform/ImageControl.h"
#include "skin/data/TsSkinManager.h"
#include "skin/draw/SkinPaint.h"

#include <QKeyEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>
#include <algorithm>
#include <cstdlib>

namespace app {

namespace {

// How far the mark lies outside the picture: in the gap between slots.
constexpr int kMarkMargin = 2;

} // namespace

RuneField::RuneField(QWidget* parent, std::vector<platform::TImage*> runeSlots,
                     const skin::TsSkinManager* skin)
    : QWidget(parent), runeSlots_(std::move(runeSlots)), skin_(skin) {
    setObjectName(QStringLiteral("RuneField"));
    setAccessibleName(QStringLiteral("Руны"));
    setFocusPolicy(Qt::TabFocus);
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    // Over every slot, wherever its parent lies.
    QRect area;
    for (const platform::TImage* slot : runeSlots_)
        area |= QRect(slot->parentWidget()->mapTo(parent, slot->pos()), slot->size());
    setGeometry(
        area.adjusted(-kMarkMargin - 1, -kMarkMargin - 1, kMarkMargin + 1, kMarkMargin + 1));
    raise();
    for (platform::TImage* slot : runeSlots_) {
        slot->installEventFilter(this);
        // A slot that goes first (its window is being taken down) is
        // forgotten at once.
        connect(slot, &QObject::destroyed, this, [this, slot] {
            std::erase(runeSlots_, slot);
            if (current_ == slot)
                current_ = nullptr;
        });
        // A screen reader's "set focus" on a slot brings the keys to it.
        slot->OnFocusRequest = [this](platform::TImage* requested) {
            if (!requested->isVisibleTo(parentWidget()))
                return;
            window()->activateWindow();
            setFocus(Qt::OtherFocusReason);
            MoveTo(requested);
        };
    }
}

bool RuneField::eventFilter(QObject* watched, QEvent* event) {
    if ((event->type() == QEvent::Show || event->type() == QEvent::Hide) && hasFocus() &&
        watched == current_) {
        CurrentOnShow();
        RepaintMark();
    }
    return QWidget::eventFilter(watched, event);
}

std::vector<platform::TImage*> RuneField::OnShow() const {
    std::vector<platform::TImage*> shown;
    for (platform::TImage* slot : runeSlots_)
        if (slot->isVisibleTo(parentWidget()))
            shown.push_back(slot);
    std::sort(shown.begin(), shown.end(), [this](const auto* a, const auto* b) {
        const QRect pa = PlaceOf(a), pb = PlaceOf(b);
        return pa.top() != pb.top() ? pa.top() < pb.top() : pa.left() < pb.left();
    });
    return shown;
}

QRect RuneField::PlaceOf(const platform::TImage* slot) const {
    return QRect(slot->parentWidget()->mapTo(parentWidget(), slot->pos()) - pos(), slot->size());
}

QRect RuneField::MarkRect(const platform::TImage* slot) const {
    return PlaceOf(slot).adjusted(-kMarkMargin, -kMarkMargin, kMarkMargin, kMarkMargin);
}

platform::TImage* RuneField::CurrentOnShow() {
    const std::vector<platform::TImage*> shown = OnShow();
    if (std::find(shown.begin(), shown.end(), current_) == shown.end())
        MoveTo(shown.empty() ? nullptr : shown.front());
    return current_;
}

platform::TImage* RuneField::Neighbour(int key) const {
    const std::vector<platform::TImage*> shown = OnShow();
    if (shown.empty() || !current_)
        return current_;
    if (key == Qt::Key_Home)
        return shown.front();
    if (key == Qt::Key_End)
        return shown.back();
    const QRect from = PlaceOf(current_);
    platform::TImage* best = current_;
    int bestRow = 0, bestDistance = 0;
    for (platform::TImage* slot : shown) {
        const QRect to = PlaceOf(slot);
        const int rowStep = to.top() - from.top(), dx = to.left() - from.left();
        // Along a row: the nearest slot that way. Across: the nearest row
        // that way, and in it the slot nearest in x (the left one of two).
        int row = 0, distance = 0;
        switch (key) {
        case Qt::Key_Left:
        case Qt::Key_Right:
            if (rowStep != 0 || (key == Qt::Key_Left ? dx >= 0 : dx <= 0))
                continue;
            distance = std::abs(dx);
            break;
        case Qt::Key_Up:
        case Qt::Key_Down:
            if (key == Qt::Key_Up ? rowStep >= 0 : rowStep <= 0)
                continue;
            row = std::abs(rowStep);
            distance = std::abs(dx) * 2 + (dx > 0 ? 1 : 0);
            break;
        default:
            return current_;
        }
        if (best == current_ || row < bestRow || (row == bestRow && distance < bestDistance)) {
            best = slot;
            bestRow = row;
            bestDistance = distance;
        }
    }
    return best;
}

bool RuneField::MarkShown() const {
    return hasFocus() && keysUsed_ && current_ && current_->isVisibleTo(parentWidget());
}

void RuneField::MoveTo(platform::TImage* slot) {
    if (slot == current_)
        return;
    if (current_)
        current_->SetKeyboardCurrent(false);
    current_ = slot;
    if (current_ && hasFocus())
        current_->SetKeyboardCurrent(true);
    RepaintMark();
}

void RuneField::RepaintMark() {
    const QRect now = MarkShown() ? MarkRect(current_) : QRect();
    if (now == markShownAt_)
        return;
    if (!markShownAt_.isNull())
        update(markShownAt_);
    if (!now.isNull())
        update(now);
    markShownAt_ = now;
}

void RuneField::keyPressEvent(QKeyEvent* event) {
    keysUsed_ = true;
    if (event->modifiers() & ~Qt::KeypadModifier) {
        QWidget::keyPressEvent(event);
        return;
    }
    switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Home:
    case Qt::Key_End:
        CurrentOnShow();
        MoveTo(Neighbour(event->key()));
        break;
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_Space:
        // What a click on it does, by the same path: an opened slot, or
        // any slot once the spread is complete, is disabled and does
        // nothing.
        if (platform::TImage* slot = CurrentOnShow())
            slot->Press();
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    RepaintMark();
}

void RuneField::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    if (event->reason() == Qt::TabFocusReason || event->reason() == Qt::BacktabFocusReason)
        keysUsed_ = true;
    if (platform::TImage* slot = CurrentOnShow())
        slot->SetKeyboardCurrent(true);
    RepaintMark();
}

void RuneField::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    if (current_)
        current_->SetKeyboardCurrent(false);
    RepaintMark();
}

void RuneField::paintEvent(QPaintEvent*) {
    if (!MarkShown())
        return;
    const QRect r = MarkRect(current_);
    QPainter painter(this);
    if (skin::SkinInForce(skin_)) {
        QImage clear(r.size(), QImage::Format_ARGB32);
        clear.fill(Qt::transparent);
        platform::Bitmap mark(clear);
        skin::DrawDottedFocus(mark, mark.Rect(), skin_->GlobalHotColor(), skin_->GlobalFontColor());
        platform::DrawBitmap(painter, r.topLeft(), mark);
        return;
    }
    QStyleOptionFocusRect option;
    option.initFrom(this);
    option.rect = r;
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &option, &painter, this);
}

} // namespace app
