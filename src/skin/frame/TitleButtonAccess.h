// The title buttons a skinned frame paints are pictures, not widgets; a
// screen reader finds them through these stand-ins: invisible buttons lying
// over the painted ones, named after what they do. They let the mouse
// through to the window, whose frame handles it as before, and a press by
// a screen reader runs the same action as a click on the picture.
#pragma once

#include "skin/frame/FrameLayout.h"

#include <QAbstractButton>
#include <QPointer>
#include <functional>
#include <vector>

namespace skin {

// What a screen reader calls a title button.
QString TitleButtonName(TitleButtonKind kind);

class TitleButtonStandIn : public QAbstractButton {
    Q_OBJECT
public:
    TitleButtonStandIn(QWidget* window, TitleButtonKind kind);
    TitleButtonKind Kind() const { return kind_; }

protected:
    void paintEvent(QPaintEvent*) override {}

private:
    TitleButtonKind kind_;
};

class TitleButtonAccess {
public:
    using PressFn = std::function<void(TitleButtonKind)>;
    TitleButtonAccess(QWidget& window, PressFn press) : window_(window), press_(std::move(press)) {}
    ~TitleButtonAccess() { Clear(); }

    // One stand-in over each button of the geometry, in the same order.
    void Place(const std::vector<TitleButton>& buttons);
    void Clear();

private:
    QWidget& window_;
    PressFn press_;
    std::vector<QPointer<TitleButtonStandIn>> standIns_;
};

} // namespace skin
