#include "controls/Labels.h"

#include "platform/Accessible.h"
#include "platform/Application.h"
#include "platform/DrawBitmap.h"
#include "platform/FlagGuard.h"
#include "skin/data/Blend.h"
#include "skin/data/TsSkinManager.h"
#include "skin/draw/Shadow.h"
#include "skin/draw/SkinPaint.h"
#include "skin/draw/TsCommonData.h"

#include <QDesktopServices>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>
#include <algorithm>
#include <cstring>
#include <vector>

namespace controls {

using platform::Bitmap;
using platform::Canvas;
using platform::Control;
using platform::TColor;
using platform::TFont;

using platform::FlagGuard;

namespace {

const skin::TsGeneralData* GlobalInfo(const skin::TsSkinManager& m) {
    const int index = m.CommonIndexes().GlobalInfo;
    return m.IsValidSection(index) ? &m.SectionTable()[index] : nullptr;
}

// The font colour the skin gives a label: that of the first parent section
// that is not see-through, when it gives its own font, else the skin's
// general one; the key colour when the skin gives none.
uint32_t SkinFontColor(const Control& label, const skin::TsSkinManager& m) {
    const skin::TsGeneralData* counted = nullptr;
    for (Control* c = label.Parent(); c;) {
        int index = -1;
        skin::SendSkinCommand<skin::SkinCmdGetSectionIndex>(c, &index);
        if (!m.IsValidSection(index))
            break;
        const skin::TsGeneralData& section = m.SectionTable()[index];
        if (section.Transparency > 50 && c->Parent()) {
            c = c->Parent();
            continue;
        }
        if (section.GiveOwnFont)
            counted = &section;
        break;
    }
    if (counted)
        return uint32_t(counted->FontColors.Text);
    if (const skin::TsGeneralData* global = GlobalInfo(m))
        return uint32_t(global->FontColors.Text);
    return skin::kTransparentKey;
}

// Sets a font's colour to the skin's, when the skin gives one.
void TakeSkinColor(Control& label, const TFont& font) {
    const skin::TsSkinManager* m = ActiveSkin();
    if (!m)
        return;
    const uint32_t colour = SkinFontColor(label, *m);
    if (colour == skin::kTransparentKey || TColor(colour) == font.Color)
        return;
    TFont changed = font;
    changed.Color = TColor(colour);
    label.SetFont(changed);
}

// The disabled look without a skin: a light copy one pixel down and right
// under the text in the shadow colour.
void DrawEmbossed(Canvas& canvas, const QString& text, QRect& r, uint32_t flags) {
    QRect light = r.translated(1, 1);
    canvas.Font.Color = platform::clBtnHighlight;
    canvas.DrawText(text, light, flags);
    canvas.Font.Color = platform::clBtnShadow;
    canvas.DrawText(text, r, flags);
}

} // namespace

const skin::TsSkinManager* ActiveSkin() {
    // Labels take the skin's look once the skin has been announced: while
    // it is, they size themselves for their own shadow.
    const skin::TsSkinManager* m = skin::TsSkinManager::DefaultManager();
    return skin::SkinInForce(m) && m->SkinData().SkinReady ? m : nullptr;
}

WebAddressOpener& OpenWebAddress() {
    static WebAddressOpener opener = [](const QString& address, int) {
        QDesktopServices::openUrl(QUrl::fromUserInput(address));
    };
    return opener;
}

// ---------------------------------------------------------------------------
// TsCustomLabel
// ---------------------------------------------------------------------------

namespace {

QString CaptionOf(QWidget* w) {
    return static_cast<TsCustomLabel*>(w)->Caption();
}

// A screen reader reads a label by its caption; the web label is a link
// whose press is a left click.
void RegisterLabelAccessibility() {
    static const bool registered = [] {
        platform::AccessibleParts label;
        label.Role = QAccessible::StaticText;
        label.Name = CaptionOf;
        platform::RegisterAccessible("controls::TsCustomLabel", label);
        platform::AccessibleParts link;
        link.Role = QAccessible::Link;
        link.Name = CaptionOf;
        link.Description = [](QWidget* w) { return static_cast<TsWebLabel*>(w)->URL; };
        link.Press = [](QWidget* w) {
            auto* web = static_cast<TsWebLabel*>(w);
            if (web->OnMouseDown)
                web->OnMouseDown(web, Qt::LeftButton, Qt::NoModifier, web->rect().center());
            if (!web->URL.isEmpty() && OpenWebAddress())
                OpenWebAddress()(web->URL, static_cast<int>(web->ShowMode));
            if (web->OnClick)
                web->OnClick(web);
        };
        platform::RegisterAccessible("controls::TsWebLabel", std::move(link));
        return true;
    }();
    (void)registered;
}

} // namespace

TsCustomLabel::TsCustomLabel(QWidget* parent) : QWidget(parent) {
    RegisterLabelAccessibility();
    color_ = platform::clBtnFace;
    setAttribute(Qt::WA_TranslucentBackground);
    setFocusPolicy(Qt::NoFocus);
    AdjustBounds();
}

TsCustomLabel::~TsCustomLabel() {
    ComponentState |= csDestroying;
}

void TsCustomLabel::SetCaption(const QString& caption) {
    if (caption == caption_)
        return;
    caption_ = caption;
    AdjustBounds();
    update();
    if (accessibleName().isEmpty())
        platform::AnnounceNameChange(this);
}

void TsCustomLabel::SetAutoSize(bool autoSize) {
    if (autoSize == autoSize_)
        return;
    autoSize_ = autoSize;
    AdjustBounds();
}

void TsCustomLabel::SetTransparent(bool transparent) {
    if (transparent == transparent_)
        return;
    transparent_ = transparent;
    update();
}

void TsCustomLabel::SetAlignment(TAlignment alignment) {
    if (alignment == alignment_)
        return;
    alignment_ = alignment;
    update();
}

void TsCustomLabel::SetLayout(TTextLayout layout) {
    if (layout == layout_)
        return;
    layout_ = layout;
    update();
}

void TsCustomLabel::SetWordWrap(bool wordWrap) {
    if (wordWrap == wordWrap_)
        return;
    wordWrap_ = wordWrap;
    AdjustBounds();
    update();
}

void TsCustomLabel::SetShowAccelChar(bool show) {
    if (show == showAccelChar_)
        return;
    showAccelChar_ = show;
    AdjustBounds();
    update();
}

void TsCustomLabel::SetSkinSection(const QString& section) {
    if (section == skinSection_)
        return;
    skinSection_ = section;
    repaint();
}

platform::TFont& TsCustomLabel::GetCurrentFont() {
    TakeSkinColor(*this, font_);
    return font_;
}

uint32_t TsCustomLabel::TextFlags() const {
    uint32_t flags = platform::DT_EXPANDTABS;
    if (wordWrap_)
        flags |= platform::DT_WORDBREAK;
    if (alignment_ == TAlignment::taCenter)
        flags |= platform::DT_CENTER;
    else if (alignment_ == TAlignment::taRightJustify)
        flags |= platform::DT_RIGHT;
    return flags;
}

QString TsCustomLabel::TextToDraw(uint32_t& flags) const {
    QString text = caption_;
    if ((flags & platform::DT_CALCRECT) &&
        (text.isEmpty() || (showAccelChar_ && text == QStringLiteral("&"))))
        text += u' ';
    if (!showAccelChar_)
        flags |= platform::DT_NOPREFIX;
    return text;
}

QSize TsCustomLabel::TextSize() {
    Bitmap none;
    Canvas canvas(none);
    canvas.Font = font_;
    QRect r(0, 0, wordWrap_ ? width() : 0, 0);
    DoDrawText(canvas, r, TextFlags() | platform::DT_CALCRECT);
    return r.size();
}

void TsCustomLabel::AdjustBounds() {
    if (!autoSize_ || (ComponentState & (csLoading | csDestroying)))
        return;
    resize(TextSize());
}

void TsCustomLabel::FontChanged() {
    // The skin's colour, taken while painting, is no change of size.
    if (adjustingFont_)
        return;
    if (handlingFontChange_ || (ComponentState & csDestroying)) {
        WidgetControl::FontChanged();
        return;
    }
    FlagGuard handling(handlingFontChange_);
    AdjustBounds();
    update();
}

void TsCustomLabel::TakeCurrentFont() {
    if (adjustingFont_)
        return;
    FlagGuard adjusting(adjustingFont_);
    const TFont& current = GetCurrentFont();
    if (&current != &font_)
        WidgetControl::SetFont(current);
    if (skinSection_.isEmpty())
        return;
    const skin::TsSkinManager* m = ActiveSkin();
    const int section = m ? m->FindSection(skinSection_) : -1;
    if (section >= 0) {
        TFont f = font_;
        f.Color = TColor(m->SectionTable()[section].FontColors.Text);
        WidgetControl::SetFont(f);
    }
}

int TsCustomLabel::SectionToPaint() const {
    const skin::TsSkinManager* m = skinSection_.isEmpty() ? nullptr : ActiveSkin();
    const int section = m ? m->FindSection(skinSection_) : -1;
    return section > 0 ? section : -1;
}

uint32_t TsCustomLabel::ParentBackgroundColor() const {
    Control* parent = Parent();
    if (skin::AnswersSkinCommands(parent))
        return skin::Value(skin::SendSkinCommand<skin::SkinCmdGetBgColor>(parent));
    return platform::ColorToRGB(parent ? parent->Color() : platform::clBtnFace);
}

void TsCustomLabel::CaptureBackground(Bitmap& screen) {
    Control* parent = Parent();
    if (skin::AnswersSkinCommands(parent)) {
        // A skinned parent hands out its picture (or colour).
        skin::BackgroundRequest request;
        skin::AskParentBackground(request, parent, false);
        skin::LayParent(screen, screen.Rect(),
                        request.ToParentCache().Moved(BoundsRect().topLeft()),
                        skin::RgbColor{platform::ColorToRGB(parent->Color())});
        return;
    }
    // Otherwise the toolkit paints the parent: a plain fill in its palette
    // (the program puts nothing else under a label).
    const QWidget* under = parentWidget();
    screen.Image().fill(under ? under->palette().color(under->backgroundRole())
                              : platform::ToQColor(platform::clBtnFace));
}

void TsCustomLabel::PaintTo(Bitmap& screen) {
    screen.SetSize(std::max(width(), 0), std::max(height(), 0));
    if (screen.Empty() || (ComponentState & csDestroying))
        return;
    TakeCurrentFont();
    const int section = SectionToPaint();
    if (transparent_ || section > 0)
        CaptureBackground(screen);
    if (section > 0) {
        // The section over the parent's background, in its normal state.
        under_ = screen;
        skin::RenderSectionByIndex(*ActiveSkin(),
                                   {.Target = screen,
                                    .Section = section,
                                    .Parent = skin::ParentCacheInfo::Picture(&under_, 0, 0)});
    }
    Canvas canvas(screen);
    if (!transparent_)
        canvas.FillRect(screen.Rect(), color_);
    canvas.Font = font_;
    QRect r = screen.Rect();
    const uint32_t flags = TextFlags();
    if (layout_ != TTextLayout::tlTop) {
        QRect measured = r;
        DoDrawText(canvas, measured, flags | platform::DT_CALCRECT);
        const int room = r.height() - measured.height();
        r.translate(0, layout_ == TTextLayout::tlCenter ? room / 2 : room);
        canvas.Font = font_;
    }
    DoDrawText(canvas, r, flags);
}

void TsCustomLabel::DoDrawText(Canvas& canvas, QRect& r, uint32_t flags) {
    const QString text = TextToDraw(flags);
    canvas.Font = font_;
    if ((flags & platform::DT_CALCRECT) || Enabled()) {
        canvas.DrawText(text, r, flags);
    } else if (ActiveSkin()) {
        // Faded into the parent's background.
        canvas.Font.Color = TColor(
            skin::MixColors(platform::ColorToRGB(font_.Color), ParentBackgroundColor(), 0.4));
        canvas.DrawText(text, r, flags);
    } else {
        DrawEmbossed(canvas, text, r, flags);
    }
}

void TsCustomLabel::WndProc(platform::Message& message) {
    if (message.Msg == platform::SM_ALPHACMD) {
        switch (platform::AlphaCommand(message.WParam)) {
        case skin::SkinCmdRemoveSkin::Number:
            SkinRemoved();
            return;
        case skin::SkinCmdNewSkin::Number:
        case skin::SkinCmdRefresh::Number:
            // The skin's shadow may need other room.
            AdjustBounds();
            update();
            return;
        default:
            break;
        }
    }
    WidgetControl::WndProc(message);
}

void TsCustomLabel::SkinRemoved() {
    TFont f = font_;
    f.Color = platform::clWindowText;
    SetFont(f);
}

void TsCustomLabel::paintEvent(QPaintEvent*) {
    if (ComponentState & csDestroying)
        return;
    PaintTo(screen_);
    QPainter p(this);
    platform::DrawBitmap(p, QPoint(0, 0), screen_);
}

void TsCustomLabel::enterEvent(QEnterEvent* event) {
    if (OnMouseEnter)
        platform::RunCommand([this] { OnMouseEnter(this); });
    QWidget::enterEvent(event);
}

void TsCustomLabel::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    if (OnMouseLeave)
        platform::RunCommand([this] { OnMouseLeave(this); });
}

void TsCustomLabel::mousePressEvent(QMouseEvent* event) {
    event->accept();
    if (OnMouseDown) {
        const Qt::MouseButton button = event->button();
        const Qt::KeyboardModifiers shift = event->modifiers();
        const QPoint at = event->position().toPoint();
        platform::RunCommand([&] { OnMouseDown(this, button, shift, at); });
    }
}

void TsCustomLabel::mouseReleaseEvent(QMouseEvent* event) {
    event->accept();
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()) &&
        OnClick)
        platform::RunCommand([this] { OnClick(this); });
}

// ---------------------------------------------------------------------------
// TsShadow and TsKind
// ---------------------------------------------------------------------------

void TsShadow::Changed() {
    if (owner_)
        owner_->Invalidate();
}

void TsShadow::SetMode(TsShadowMode mode) {
    if (mode == mode_)
        return;
    mode_ = mode;
    Changed();
}

void TsShadow::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    const uint32_t rgb = platform::ColorToRGB(color);
    ShadowRGB = {platform::GetRValue(rgb), platform::GetGValue(rgb), platform::GetBValue(rgb)};
    Changed();
}

void TsShadow::SetBlurCount(int count) {
    if (count == blurCount_)
        return;
    blurCount_ = count;
    Changed();
}

void TsShadow::SetDistance(int distance) {
    if (distance == distance_)
        return;
    distance_ = distance;
    Changed();
}

void TsKind::SetKindType(TsKindType type) {
    if (type == kindType_)
        return;
    kindType_ = type;
    owner_->Invalidate();
}

void TsKind::SetColor(TColor color) {
    if (color == color_)
        return;
    color_ = color;
    owner_->Invalidate();
}

// ---------------------------------------------------------------------------
// TsLabelFX
// ---------------------------------------------------------------------------

TsLabelFX::TsLabelFX(QWidget* parent)
    : TsCustomLabel(parent), shadow_(std::make_unique<TsShadow>(this)),
      kind_(std::make_unique<TsKind>(this)) {
    AdjustBounds();
}

TsLabelFX::~TsLabelFX() {
    ComponentState |= csDestroying;
}

TsLabelFX::ShadowLook TsLabelFX::ResolveShadow() {
    TsShadow& s = *shadow_;
    ShadowLook look{s.Color(), s.BlurCount(), s.Distance()};
    if (s.Mode() == TsShadowMode::smSkin1)
        if (const skin::TsSkinManager* m = ActiveSkin(); m && m->SkinData().Shadow1Blur != -1)
            look = {TColor(Value(m->SkinData().Shadow1Color)), m->SkinData().Shadow1Blur,
                    m->SkinData().Shadow1Offset};
    // A shadow reaches no further than a label can show, and each pass costs
    // a pass over the label: a skin's (or anyone's) larger values are cut.
    look.Blur = std::clamp(look.Blur, -kMaxShadowReach, kMaxShadowReach);
    look.Distance = std::clamp(look.Distance, -kMaxShadowReach, kMaxShadowReach);
    // In either mode the colour in use is the one resolved now, so that a
    // custom colour shows even after the skin's was used.
    const uint32_t rgb = platform::ColorToRGB(look.Color);
    s.ShadowRGB = {platform::GetRValue(rgb), platform::GetGValue(rgb), platform::GetBValue(rgb)};
    return look;
}

uint32_t TsLabelFX::TextColor() const {
    switch (kind_->KindType()) {
    case TsKindType::ktStandard:
        return platform::ColorToRGB(color_);
    case TsKindType::ktCustom:
        return platform::ColorToRGB(kind_->Color());
    case TsKindType::ktSkin:
        if (const skin::TsSkinManager* m = ActiveSkin())
            if (const skin::TsGeneralData* global = GlobalInfo(*m);
                global && global->FontColors.Left != skin::kNoSkinColor)
                return skin::Value(skin::ToRgb(global->FontColors.Left));
        return platform::ColorToRGB(kind_->Color());
    }
    return 0;
}

void TsLabelFX::DoDrawText(Canvas& canvas, QRect& r, uint32_t flags) {
    if (shadow_->Mode() == TsShadowMode::smNone) {
        TsCustomLabel::DoDrawText(canvas, r, flags);
        return;
    }
    const ShadowLook look = ResolveShadow();
    const QString text = TextToDraw(flags);
    canvas.Font = font_;
    if (!Enabled()) {
        DrawEmbossed(canvas, text, r, flags);
        return;
    }
    const uint32_t textColor = TextColor();
    const bool shadowed = look.Color != platform::clNone && look.Blur != 0;
    const bool measuring = flags & platform::DT_CALCRECT;
    if (measuring || !shadowed) {
        canvas.Font.Color = TColor(textColor);
        canvas.DrawText(text, r, flags);
        if (measuring && shadowed) {
            // Room for the shadow on every side it reaches.
            ShadowLead = std::min(0, look.Distance - look.Blur);
            ShadowTrail = std::max(0, look.Distance + look.Blur);
            const int grow = ShadowTrail - ShadowLead;
            r.setRight(r.right() + grow);
            r.setBottom(r.bottom() + grow);
        }
        return;
    }
    DrawShadowed(canvas, text, r, flags, look, textColor);
}

void TsLabelFX::DrawShadowed(Canvas& canvas, const QString& text, QRect r, uint32_t flags,
                             const ShadowLook& look, uint32_t textColor) {
    const int w = std::max(r.width(), 0), h = std::max(r.height(), 0);
    ShadowPicture.SetSize(w, h);
    if (ShadowPicture.Empty())
        return;
    // The text in white where the shadow falls.
    Canvas shade(ShadowPicture);
    shade.FillRect(ShadowPicture.Rect(), platform::clBlack);
    shade.Font = canvas.Font;
    shade.Font.Color = platform::clWhite;
    const QRect inner = r.adjusted(-ShadowLead, -ShadowLead, -ShadowTrail, -ShadowTrail);
    QRect cast = inner.translated(look.Distance, look.Distance);
    shade.DrawText(text, cast, flags);

    // Coverage, in a buffer that only ever grows.
    const size_t bytes = 2 * (size_t(w) + 2) * (size_t(h) + 2);
    if (ShadowMaskCapacity < bytes) {
        ShadowMask = std::make_unique<uint8_t[]>(bytes);
        ShadowMaskCapacity = bytes;
    }
    std::memset(ShadowMask.get(), 0, bytes);
    skin::BlurShadowMask(ShadowPicture, look.Blur, ShadowMask.get(), shadowRow_);

    // The shadow colour laid over what is under the label (or its colour)
    // by the coverage.
    if (Transparent()) {
        skin::CopyFrom(ShadowPicture, ShadowPicture.Rect(), canvas.Target(), canvas.Origin().x(),
                       canvas.Origin().y());
        skin::LayShadowOver(ShadowPicture, ShadowMask.get(), shadow_->ShadowRGB);
    } else {
        skin::LayShadowOnColor(ShadowPicture, ShadowMask.get(), shadow_->ShadowRGB,
                               platform::ColorToRGB(color_));
    }
    canvas.Draw(0, 0, ShadowPicture);
    canvas.Font.Color = TColor(textColor);
    QRect textRect = inner;
    canvas.DrawText(text, textRect, flags);
}

// ---------------------------------------------------------------------------
// TsLabel and TsWebLabel
// ---------------------------------------------------------------------------

platform::TFont& TsLabel::GetCurrentFont() {
    if (!(ComponentState & csDestroying) && UseSkinColor)
        TakeSkinColor(*this, font_);
    return font_;
}

void TsLabel::SkinRemoved() {
    if (UseSkinColor)
        TsCustomLabel::SkinRemoved();
}

TsWebLabel::TsWebLabel(QWidget* parent) : TsLabel(parent) {
    setCursor(Qt::PointingHandCursor);
    normalFont_ = font_;
}

void TsWebLabel::SetFont(const TFont& font) {
    normalFont_ = font;
    WidgetControl::SetFont(font);
    repaint();
}

platform::TFont& TsWebLabel::GetCurrentFont() {
    const skin::TsSkinManager* m = UseSkinColor ? ActiveSkin() : nullptr;
    const skin::TsGeneralData* global = m ? GlobalInfo(*m) : nullptr;
    TFont& font = hovered_ ? hoverFont_ : normalFont_;
    TColor colour = font.Color;
    if (global)
        colour = skin::Value(hovered_ ? global->FontColors.Top : global->FontColors.Bottom);
    if (colour == -1)
        colour = hovered_ ? platform::RGBColor(255, 0, 0) : platform::RGBColor(0, 0, 255);
    font.Color = colour;
    return font;
}

void TsWebLabel::SetHovered(bool hovered) {
    hovered_ = hovered;
    if (AutoSize()) {
        TakeCurrentFont();
        AdjustBounds();
        update();
    }
    // The text in the other font over a clean background.
    if (QWidget* parent = parentWidget())
        parent->update(geometry());
    update();
}

void TsWebLabel::enterEvent(QEnterEvent* event) {
    TsLabel::enterEvent(event);
    SetHovered(true);
}

void TsWebLabel::leaveEvent(QEvent* event) {
    TsLabel::leaveEvent(event);
    SetHovered(false);
}

void TsWebLabel::mousePressEvent(QMouseEvent* event) {
    TsLabel::mousePressEvent(event);
    if (event->button() == Qt::LeftButton && !URL.isEmpty() && OpenWebAddress())
        OpenWebAddress()(URL, static_cast<int>(ShowMode));
}

} // namespace controls
