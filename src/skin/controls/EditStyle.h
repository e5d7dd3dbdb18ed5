// How Qt is made to draw a skinned text box: one proxy style, set on our
// text boxes and their scroll bars only, that paints the frame ring from
// the control's cached picture, the scroll bars from the skin's
// scroll-bar sections and the square between the bars from the parent's
// picture. Qt keeps the text, the caret, the selection and the bars'
// behaviour; it asks the style for the bars' geometry, so hit testing and
// drawing agree. Without a skin the proxy draws what its base style does.
#pragma once

#include "platform/Control.h"
#include "skin/draw/TsCommonData.h"

#include <QProxyStyle>
#include <cstdint>

class QAbstractScrollArea;
class QMimeData;
class QTextCursor;

namespace skin {

// What a skinned text box offers the style.
class SkinnedTextBox {
public:
    virtual ~SkinnedTextBox();
    virtual TsCommonData& BoxSkin() = 0;
    virtual platform::Control& BoxControl() = 0;
    virtual unsigned BoxDisabledKind() const = 0;

    bool BoxSkinned() { return BoxSkin().IsSkinned(); }
    // The skin's frame width on every side; 0 without a skin.
    int FrameWidth();
    // The whole control's picture (its frame ring is what shows), rendered
    // again when it is stale or the background behind it changed; null
    // while painting waits for the parent.
    const platform::Bitmap* FramePicture();
    // Lays 60 % of the parent's picture over `area` of the control (the
    // disabled look of what Qt draws itself: text and its background).
    void DimLikeDisabled(class QPainter& painter, QRect area, QPoint areaInControl);

protected:
    // Hooks every text box shares: call from the matching Qt handlers.
    void BoxFocusChanged(bool gained);
    void BoxMouseCrossed(bool entered);
    // Skin commands before the skin data's own handling; true when done.
    bool BoxSkinCommand(platform::Message& message);
    virtual void BoxSkinChanged() {}
    // Pasting takes plain text only. On X11 the clipboard hands over no
    // data at all while nobody owns it, and Qt's text controls read it
    // unguarded (Ctrl+V then crashed), so both hooks check it here.
    static bool BoxCanPaste(const QMimeData* source);
    static void BoxPaste(QTextCursor cursor, const QMimeData* source);

private:
    int64_t parentKey_ = 0;
    int parentX_ = 0, parentY_ = 0;
    uint32_t parentColor_ = 0;
};

class EditStyle : public QProxyStyle {
    Q_OBJECT
public:
    // The one instance; it lives as long as the program.
    static EditStyle* Instance();
    // Sets the style on a text box and its scroll bars.
    static void Apply(QWidget* box);

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override;
    void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                       const QWidget* widget) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget) const override;
    QRect subControlRect(ComplexControl control, const QStyleOptionComplex* option, SubControl sub,
                         const QWidget* widget) const override;
    void polish(QWidget* widget) override;
    using QProxyStyle::polish;

private:
    EditStyle();
};

// The skinned text box a widget belongs to (itself, or the box whose
// scroll bar it is), when it has a skin in force.
SkinnedTextBox* SkinnedBoxOf(const QWidget* widget);

} // namespace skin

namespace skin {
// A text box's background colour in every state (the disabled look is the
// skin's, not the toolkit's greying).
void SetBoxBaseColor(QWidget* box, platform::TColor color);
} // namespace skin
