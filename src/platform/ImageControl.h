// An image control: shows its picture at its top-left corner, unscaled. It
// reports a press of any mouse button the moment the button goes down, never
// takes the keyboard focus, shows the hand pointer while enabled and the
// arrow while disabled, and looks the same either way.
#pragma once

#include "platform/Bitmap.h"
#include "platform/WidgetControl.h"

#include <QWidget>
#include <functional>

namespace platform {

class TImage : public QWidget, public WidgetControl {
    Q_OBJECT
public:
    explicit TImage(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }

    Bitmap& Picture() { return picture_; }
    const Bitmap& Picture() const { return picture_; }

    // Sets the picture to w x h and draws `src` at its top-left corner.
    void DrawPicture(const Bitmap& src, int w, int h);
    // Repaints at once.
    void Repaint() { repaint(); }

    std::function<void(TImage* sender, Qt::MouseButton button, QPoint at)> OnMouseDown;

    // A left press at the middle, as a click there is: what the keys and a
    // screen reader do to an enabled picture (a disabled one, like a click,
    // does nothing).
    void Press();
    // Whether the keys of the group it stands in act on this picture now;
    // a screen reader is told when it becomes so.
    bool KeyboardCurrent() const { return keyboardCurrent_; }
    void SetKeyboardCurrent(bool current);
    // Asked of the group by a screen reader that sets the focus on this
    // picture; nothing when the picture stands in no group.
    std::function<void(TImage* sender)> OnFocusRequest;

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void UpdateCursor();
    Bitmap picture_;
    bool keyboardCurrent_ = false;
};

} // namespace platform
