// The Control interface carried out by a Qt widget: every control and
// window of the program derives from its widget class and from this.
#pragma once

#include "platform/Control.h"

namespace platform {

class WidgetControl : public Control {
public:
    QString Name() const override;
    QRect BoundsRect() const override;
    Control* Parent() const override;
    std::vector<Control*> Controls() const override;
    bool Visible() const override;
    void SetVisible(bool visible) override;
    bool Enabled() const override;
    void SetEnabled(bool enabled) override;
    QString ClassName() const override;
    bool Focused() const override;
    void Invalidate() override;

protected:
    // Applies the font and its colour to the widget.
    void FontChanged() override;
};

// The Control a widget implements, or null.
Control* AsControl(QWidget* widget);
// The descendant of root (root included) with this name, or null.
Control* FindControl(QWidget* root, const QString& name);

} // namespace platform
