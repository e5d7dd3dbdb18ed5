// What every control and window of the program offers the rest of it: a name,
// a tag, bounds, a parent and children, visibility, enabled state, colour and
// font, and a message handler. Skin commands travel between controls only
// as messages through this interface (Perform, SendMessage).
//
// The interface needs no widgets, so the skin layers that call it link what
// they include. Our controls are Qt widgets that implement it through
// WidgetControl (WidgetControl.h); the widget is reached through Widget().
#pragma once

#include "platform/Colors.h"
#include "platform/Fonts.h"

#include <QRect>
#include <QString>
#include <cstdint>
#include <vector>

class QWidget;

namespace platform {

struct Message {
    uint32_t Msg = 0;
    uintptr_t WParam = 0;
    intptr_t LParam = 0;
    intptr_t Result = 0;
};

// The skin command message: the command in the high 16 bits of WParam, a
// small argument in the low 16 bits.
constexpr uint32_t SM_ALPHACMD = 0xA100;
constexpr uintptr_t MakeAlphaWParam(uint16_t command, uint16_t argument = 0) {
    return (static_cast<uintptr_t>(command) << 16) | argument;
}
constexpr uint16_t AlphaCommand(uintptr_t wparam) {
    return (wparam >> 16) & 0xFFFF;
}
constexpr uint16_t AlphaArgument(uintptr_t wparam) {
    return wparam & 0xFFFF;
}

class Control {
public:
    virtual ~Control();

    virtual QWidget* Widget() = 0;
    const QWidget* Widget() const { return const_cast<Control*>(this)->Widget(); }

    // The message handler; the base answers nothing (Result stays 0).
    virtual void WndProc(Message& message);
    // Direct dispatch to this control's handler.
    intptr_t Perform(uint32_t msg, uintptr_t wparam = 0, intptr_t lparam = 0) {
        Message m{msg, wparam, lparam, 0};
        WndProc(m);
        return m.Result;
    }

    virtual QString Name() const = 0;
    int Tag = 0;
    // Position and size in the parent's client coordinates.
    virtual QRect BoundsRect() const = 0;
    // The nearest enclosing widget that is a Control, or null.
    virtual Control* Parent() const = 0;
    // The nearest Controls among the widgets below this one, in creation
    // order; plain widgets in between are looked through, windows are not.
    virtual std::vector<Control*> Controls() const = 0;

    // Set while the control is being built from its settings, and while it
    // is being destroyed; skin broadcasts pass such controls by.
    enum ComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2 };
    unsigned ComponentState = 0;

    // Whether the control itself is set visible (its parents may be hidden).
    virtual bool Visible() const = 0;
    virtual void SetVisible(bool visible) = 0;
    virtual bool Enabled() const = 0;
    virtual void SetEnabled(bool enabled) = 0;

    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    const TFont& Font() const { return font_; }
    virtual void SetFont(const TFont& font);

    // A windowed control has a window of its own; a light-weight one is
    // painted by its parent's window.
    virtual bool IsWindowed() const { return true; }
    // The name of the control's class, without namespaces ("TsMemo").
    virtual QString ClassName() const = 0;
    // Whether the control holds the keyboard focus.
    virtual bool Focused() const = 0;
    // Marks the whole control (and its children) for repainting.
    virtual void Invalidate() = 0;

protected:
    // Called after the colour or font changed.
    virtual void ColorChanged() {}
    virtual void FontChanged() {}

    TColor color_ = clBtnFace;
    TFont font_;
};

// Sends a message to a control and returns its result; 0 for no control.
inline intptr_t SendMessage(Control* target, uint32_t msg, uintptr_t wparam = 0,
                            intptr_t lparam = 0) {
    return target ? target->Perform(msg, wparam, lparam) : 0;
}

} // namespace platform
