// The label classes. TsCustomLabel is a skin-aware text label: its font
// colour follows the active skin and it can show a skin section behind its
// text. TsLabelFX draws its caption over a soft shadow computed at every
// paint; TsLabel keeps its colour in step with the skin unless told not to;
// TsWebLabel behaves like a link.
//
// A label paints into a picture of its own size: what lies under it (its
// parent's background), the section, then the text, and shows that picture.
#pragma once

#include "platform/Bitmap.h"
#include "platform/Canvas.h"
#include "platform/WidgetControl.h"

#include <QWidget>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace skin {
class TsSkinManager;
}

namespace controls {

enum class TAlignment { taLeftJustify, taRightJustify, taCenter };
enum class TTextLayout { tlTop, tlCenter, tlBottom };

// The manager whose skin labels follow, when a skin is in force; null
// otherwise.
const skin::TsSkinManager* ActiveSkin();

// Opens a web address through the desktop; `showCommand` is how the opened
// window is to be shown. The result is not looked at. Tests replace it.
using WebAddressOpener = std::function<void(const QString& address, int showCommand)>;
WebAddressOpener& OpenWebAddress();

class TsCustomLabel : public QWidget, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TsCustomLabel(QWidget* parent = nullptr);
    ~TsCustomLabel() override;

    QWidget* Widget() override { return this; }
    bool IsWindowed() const override { return false; }
    void WndProc(platform::Message& message) override;

    QString Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool autoSize);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool transparent);
    TAlignment Alignment() const { return alignment_; }
    void SetAlignment(TAlignment alignment);
    TTextLayout Layout() const { return layout_; }
    void SetLayout(TTextLayout layout);
    bool WordWrap() const { return wordWrap_; }
    void SetWordWrap(bool wordWrap);
    bool ShowAccelChar() const { return showAccelChar_; }
    void SetShowAccelChar(bool show);
    // The skin section painted behind the text; empty for none. A new value
    // repaints at once.
    QString SkinSection() const { return skinSection_; }
    void SetSkinSection(const QString& section);

    // The font to paint with, its colour taken from the skin.
    virtual platform::TFont& GetCurrentFont();

    // Paints the whole label into `screen` (resized to the label): the
    // background under it, the section, the text.
    void PaintTo(platform::Bitmap& screen);
    // The size the caption needs, with the room the label's effects take.
    QSize TextSize();
    // Resizes the label to its text when AutoSize is set.
    void AdjustBounds();

    std::function<void(TsCustomLabel*sender)> OnClick, OnMouseEnter, OnMouseLeave;
    std::function<void(TsCustomLabel* sender, Qt::MouseButton button, Qt::KeyboardModifiers shift,
                       QPoint at)>
        OnMouseDown;

protected:
    // Draws the caption into r; with DT_CALCRECT it measures instead and
    // leaves the text's extent in r.
    virtual void DoDrawText(platform::Canvas& canvas, QRect& r, uint32_t flags);
    // The caption as drawn: measuring an empty text, or a lone accelerator
    // mark, measures a space; flags gain "no prefix" when marks are off.
    QString TextToDraw(uint32_t& flags) const;
    uint32_t TextFlags() const;
    // The colour of the parent's background (for the faded disabled text).
    uint32_t ParentBackgroundColor() const;
    // Puts the picture of what lies under the label into `screen`.
    void CaptureBackground(platform::Bitmap& screen);

    // The label's font takes the font GetCurrentFont chose; the skin's
    // colour neither resizes nor repaints it.
    void TakeCurrentFont();
    void FontChanged() override;
    virtual void SkinRemoved();

    void paintEvent(QPaintEvent*) override;
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    // Set while a paint takes the skin's font (font notifications are then
    // ignored), and while a font notification is handled.
    bool adjustingFont_ = false, handlingFontChange_ = false;
    int SectionToPaint() const;

    QString caption_;
    QString skinSection_;
    bool autoSize_ = true;
    bool transparent_ = true;
    bool wordWrap_ = false;
    bool showAccelChar_ = true;
    TAlignment alignment_ = TAlignment::taLeftJustify;
    TTextLayout layout_ = TTextLayout::tlTop;
    platform::Bitmap screen_, under_;
};

class TsLabelFX;

enum class TsShadowMode { smNone, smCustom, smSkin1 };

// Where the shadow's settings come from, and the settings themselves.
class TsShadow {
public:
    explicit TsShadow(TsLabelFX* owner) : owner_(owner) {}

    TsShadowMode Mode() const { return mode_; }
    void SetMode(TsShadowMode mode);
    platform::TColor Color() const { return color_; }
    void SetColor(platform::TColor color);
    int BlurCount() const { return blurCount_; }
    void SetBlurCount(int count);
    int Distance() const { return distance_; }
    void SetDistance(int distance);

    // Red, green and blue of the shadow colour in use.
    std::array<int, 3> ShadowRGB{0, 0, 0};

private:
    void Changed();

    int blurCount_ = 4;
    int distance_ = 1;
    platform::TColor color_ = platform::clBlack;
    TsLabelFX* owner_;
    TsShadowMode mode_ = TsShadowMode::smSkin1;
};

enum class TsKindType { ktStandard, ktCustom, ktSkin };

// How the colour of the text itself is chosen.
class TsKind {
public:
    explicit TsKind(TsLabelFX* owner) : owner_(owner) {}

    TsKindType KindType() const { return kindType_; }
    void SetKindType(TsKindType type);
    platform::TColor Color() const { return color_; }
    void SetColor(platform::TColor color);

private:
    TsLabelFX* owner_;
    TsKindType kindType_ = TsKindType::ktSkin;
    platform::TColor color_ = platform::clWhite;
};

// The furthest a shadow may reach, in blur passes and in distance: beyond
// this its coverage has faded to nothing, and the label grows by both.
constexpr int kMaxShadowReach = 64;

class TsLabelFX : public TsCustomLabel {
    Q_OBJECT
public:
    explicit TsLabelFX(QWidget* parent = nullptr);
    ~TsLabelFX() override;

    TsShadow& Shadow() { return *shadow_; }
    TsKind& Kind() { return *kind_; }

    platform::Bitmap ShadowPicture;
    std::unique_ptr<uint8_t[]> ShadowMask;
    size_t ShadowMaskCapacity = 0;
    int ShadowLead = 0, ShadowTrail = 0;

protected:
    void DoDrawText(platform::Canvas& canvas, QRect& r, uint32_t flags) override;

private:
    std::vector<uint16_t> shadowRow_; // scratch of the blur, kept between paints
    struct ShadowLook {
        platform::TColor Color;
        int Blur, Distance;
    };
    ShadowLook ResolveShadow();
    uint32_t TextColor() const;
    void DrawShadowed(platform::Canvas& canvas, const QString& text, QRect r, uint32_t flags,
                      const ShadowLook& look, uint32_t textColor);

    std::unique_ptr<TsShadow> shadow_;
    std::unique_ptr<TsKind> kind_;
};

class TsLabel : public TsCustomLabel {
    Q_OBJECT
public:
    explicit TsLabel(QWidget* parent = nullptr) : TsCustomLabel(parent) {}

    // Whether the font colour follows the skin.
    bool UseSkinColor = true;

    platform::TFont& GetCurrentFont() override;

protected:
    void SkinRemoved() override;
};

enum class TsWindowShowMode {
    soHide,
    soNormal,
    soShowMinimized,
    soMaximize,
    soShowNoActivate,
    soShow,
    soMinimize,
    soShowMinNoActive,
    soShowNA,
    soRestore,
    soDefault
};

class TsWebLabel : public TsLabel {
    Q_OBJECT
public:
    explicit TsWebLabel(QWidget* parent = nullptr);

    // The font away from the mouse: copied into the label and NormalFont,
    // and shown at once.
    void SetFont(const platform::TFont& font) override;
    const platform::TFont& NormalFont() const { return normalFont_; }
    // The font under the mouse; taken when the mouse comes.
    const platform::TFont& HoverFont() const { return hoverFont_; }
    void SetHoverFont(const platform::TFont& font) { hoverFont_ = font; }

    // Opened by a left click; nothing is opened while empty.
    QString URL;
    TsWindowShowMode ShowMode = TsWindowShowMode::soDefault;
    bool Hovered() const { return hovered_; }

    platform::TFont& GetCurrentFont() override;

protected:
    void enterEvent(QEnterEvent*) override;
    void leaveEvent(QEvent*) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void SetHovered(bool hovered);

    platform::TFont normalFont_, hoverFont_;
    bool hovered_ = false;
};

} // namespace controls
