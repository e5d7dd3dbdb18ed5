// What every control and window of the program offers the rest of it: a name,
// a tag, bounds, a parent and children, visibility, enabled state, colour and
// font, and a message handler. Skin commands travel between controls only
// as messages through this interface (Perform, SendMessage).
//
// Our controls are Qt widgets that also implement Control; the widget is
// reached through Widget().
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
    virtual ~Control() = default;

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

    // The layers below the widgets (skin drawing) reach a control only
    // through its virtual functions, so they need not link the widgets.
    virtual QString Name() const;
    int Tag = 0;
    // Position and size in the parent's client coordinates.
    virtual QRect BoundsRect() const;
    // The nearest enclosing widget that is a Control, or null.
    virtual Control* Parent() const;
    // The nearest Controls among the widgets below this one, in creation
    // order; plain widgets in between are looked through, windows are not.
    virtual std::vector<Control*> Controls() const;

    // Set while the control is being built from its settings, and while it
    // is being destroyed; skin broadcasts pass such controls by.
    enum ComponentStateFlag : unsigned { csLoading = 1, csDestroying = 2 };
    unsigned ComponentState = 0;

    // Whether the control itself is set visible (its parents may be hidden).
    virtual bool Visible() const;
    virtual void SetVisible(bool visible);
    virtual bool Enabled() const;
    virtual void SetEnabled(bool enabled);

    TColor Color() const { return color_; }
    virtual void SetColor(TColor color);
    const TFont& Font() const { return font_; }
    virtual void SetFont(const TFont& font);

    // A windowed control has a window of its own; a light-weight one is
    // painted by its parent's window.
    virtual bool IsWindowed() const { return true; }
    // The name of the control's class, without namespaces ("TsMemo").
    virtual QString ClassName() const;
    // Whether the control holds the keyboard focus.
    virtual bool Focused() const;
    // Marks the whole control (and its children) for repainting.
    virtual void Invalidate();

protected:
    // Called after the colour or font changed; the default applies the font
    // and colours to the widget.
    virtual void ColorChanged() {}
    virtual void FontChanged();

    TColor color_ = clBtnFace;
    TFont font_;
};

// Sends a message to a control and returns its result; 0 for no control.
inline intptr_t SendMessage(Control* target, uint32_t msg, uintptr_t wparam = 0,
                            intptr_t lparam = 0) {
    return target ? target->Perform(msg, wparam, lparam) : 0;
}

// The Control a widget implements, or null.
Control* AsControl(QWidget* widget);
// The descendant of root (root included) with this name, or null.
Control* FindControl(QWidget* root, const QString& name);

} // namespace platform
