// TScrollingCredits: lines of text, each centred, over a colour or a
// stretched picture. Static, the lines stand from 4 pixels below the top
// edge; animated, the block enters at the bottom edge, moves up one pixel a
// tick, leaves at the top and starts again. A line may carry formatting
// codes: "&b" bold, "&i" italic, "&u" underlined, "&cR,G,B;" a colour, "&&"
// an ampersand. Everything is drawn off-screen and copied in one step.
#pragma once

#include "platform/Bitmap.h"
#include "platform/WidgetControl.h"

#include <QStringList>
#include <QTimer>
#include <QWidget>
#include <functional>
#include <optional>

namespace controls {

// A line read for display: its text without codes, and its style.
struct CreditLine {
    QString Text;
    bool Bold = false, Italic = false, Underline = false;
    std::optional<platform::TColor> Color; // none: the font's colour
};

// Reads a line's formatting codes. A colour code runs to the next ';' (which
// it consumes) or to the end of the line, and needs exactly three components
// of one to three decimal digits, each at most 255. A code that breaks this
// rule is consumed whole and changes nothing: the line keeps the colour it
// had, and no character of the code is shown.
CreditLine ParseCreditLine(const QString& line);

// The drawing font of a line: the base font in the line's colour; bold
// replaces every other style, then italic and underline are added.
platform::TFont CreditLineFont(const platform::TFont& base, const CreditLine& line);

class TScrollingCredits : public QWidget, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TScrollingCredits(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }
    bool IsWindowed() const override { return false; }

    const QStringList& Credits() const { return credits_; }
    void SetCredits(const QStringList& lines); // repaints at once

    // Changing the font object directly shows at the next paint.
    platform::TFont& CreditsFont() { return creditsFont_; }
    void SetCreditsFont(const platform::TFont& font); // invalidates

    platform::TColor BackgroundColor() const { return backgroundColor_; }
    void SetBackgroundColor(platform::TColor color);
    platform::TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(platform::TColor color);
    bool ShowBorder() const { return showBorder_; }
    void SetShowBorder(bool show);

    // The picture stretched under the text; empty for none.
    const platform::Bitmap& BackgroundImage() const { return backgroundImage_; }
    void SetBackgroundImage(const platform::Bitmap& picture);

    bool Animate() const { return animate_; }
    void SetAnimate(bool animate);
    uint32_t Interval() const { return interval_; }
    void SetInterval(uint32_t milliseconds);

    // The control's own visibility: hidden, it stays in place, draws nothing
    // and still receives clicks.
    bool Visible() const override { return visible_; }
    void SetVisible(bool visible) override;

    std::function<void(TScrollingCredits* sender, const QString& creditText)> OnShowCredit;
    std::function<void(TScrollingCredits* sender)> AfterLastCredit;
    std::function<void(TScrollingCredits* sender)> OnClick;
    std::function<void(TScrollingCredits* sender)> OnDblClick;

    // The height of "A" in the credits font: the step from line to line.
    int LineHeight() const;
    int ScrollOffset() const { return scrollOffset_; }
    int LastShownIndex() const { return lastShownIndex_; }
    static constexpr int StaticTopMargin = 4;

    void AnimationTick();
    void RestartScroll();
    bool TimerRunning() const { return animationTimer_.isActive(); }

    // Draws the control as it stands into `target` (sized to the control).
    void PaintOffscreen(platform::Bitmap& target);

protected:
    virtual void DoShowCredit(const QString& creditText);
    virtual void DoAfterLastCredit();

    void paintEvent(QPaintEvent*) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    QStringList credits_;
    platform::TFont creditsFont_;
    platform::TColor backgroundColor_ = platform::clBlack;
    platform::Bitmap backgroundImage_;
    platform::TColor borderColor_ = platform::clWhite;
    bool animate_ = false;
    uint32_t interval_ = 50;
    QTimer animationTimer_;
    int scrollOffset_ = 0;
    platform::Bitmap offscreen_;
    bool visible_ = true;
    int lastShownIndex_ = -1;
    bool showBorder_ = true;
};

} // namespace controls
