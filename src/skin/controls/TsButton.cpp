#include "skin/controls/TsButton.h"

#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/DrawBitmap.h"
#include "skin/controls/SkinLink.h"
#include "skin/draw/ControlPaint.h"
#include "skin/draw/SkinPaint.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

namespace skin {

namespace {

// How long the pressed picture stays up when a release cuts a press fade
// short, so that a quick click is seen.
constexpr int kPressedPause = 30; // ms

RgbColor ButtonFaceColor() {
    return RgbColor{platform::GetSysColor(platform::COLOR_BTNFACE)};
}

} // namespace

TsButton::TsButton(QWidget* parent) : QPushButton(parent), skinData_(this, true) {
    setFocusPolicy(Qt::StrongFocus);
    skinData_.ControlKind = KindButton;
    connect(this, &QPushButton::clicked, this, [this] {
        if (OnClick)
            platform::RunCommand([this] { OnClick(this); });
    });
    FontChanged();
    skinData_.ControlBuilt();
}

TsButton::~TsButton() {
    ComponentState |= csDestroying;
    StopFade();
}

void TsButton::SetDown(bool down) {
    if (down == down_)
        return;
    down_ = down;
    skinData_.RequestRepaint();
}

int TsButton::ButtonState() const {
    // Qt lifts the button while the mouse is dragged out of it, and puts it
    // down again when the mouse comes back.
    if (down_ || isDown() || forcedPressed_)
        return 2;
    if (isDefault() || skinData_.IsHot())
        return 1;
    return 0;
}

const platform::Bitmap& TsButton::ShownPicture() const {
    static const platform::Bitmap none;
    if (showingFrame_)
        return frame_;
    return skinData_.CacheBitmap() ? *skinData_.CacheBitmap() : none;
}

// ---- The picture ------------------------------------------------------------

TsButton::Look TsButton::CurrentLook(const ParentCacheInfo& parent) const {
    return {ButtonState(),
            hasFocus(),
            isEnabled(),
            geometry(),
            text(),
            font_,
            parent.HasPicture() ? parent.Bitmap->Image().cacheKey() : 0,
            parent.OffsetX,
            parent.OffsetY,
            Value(parent.FillColor),
            skinData_.SectionIndex,
            skinData_.SkinManager(),
            DisabledKind,
            ShowFocus,
            WordWrap,
            Images,
            ImageIndex};
}

void TsButton::PrepareButtonCache() {
    if (!Skinned() || !skinData_.SkinManager())
        return;
    const ParentCacheInfo parent = ParentBackground(*this);
    rendered_ = CurrentLook(parent);
    skinData_.PrepareCacheBitmap();
    platform::Bitmap& cache = *skinData_.CacheBitmap();
    if (cache.Empty())
        return;
    for (const Rendered& r : pictures_)
        if (r.Of == rendered_) {
            cache = r.Picture; // shared until the next render writes to the cache
            skinData_.MarkCacheRendered();
            return;
        }
    // The border's see-through corners show the parent's picture: the
    // button is composed over its parent, so it needs no window shape.
    RenderSection(skinData_, {.Target = cache,
                              .State = VisualState{ButtonState()},
                              .Parent = parent,
                              .Position = pos()});
    DrawGlyph(cache);
    DrawCaption(cache);
    if (!isEnabled())
        DrawDisabledLook(cache, DisabledKind, pos(), parent,
                         parent.FillColor != kNoColor ? parent.FillColor : ButtonFaceColor());
    skinData_.MarkCacheRendered();
    constexpr size_t kKept = 4;
    if (pictures_.size() >= kKept)
        pictures_.erase(pictures_.begin());
    pictures_.push_back({rendered_, cache});
}

QSize TsButton::CaptionSize(platform::Bitmap& cache) {
    if (measured_.Text == text() && measured_.Font == font_ && measured_.Width == width() &&
        measured_.Wrap == WordWrap)
        return measured_.Size;
    measured_ = {text(), font_, width(), WordWrap, QSize()};
    measured_.Size = MeasureCaption(cache);
    return measured_.Size;
}

QSize TsButton::MeasureCaption(platform::Bitmap& cache) {
    platform::Canvas canvas(cache);
    canvas.Font = font_;
    const int room = std::max(width(), 1);
    // A caption that fits on one line is as wide as its text; only a longer
    // one wraps, and then takes the button's width.
    QRect line(0, 0, room, 0);
    canvas.DrawText(text(), line,
                    platform::DT_CALCRECT | platform::DT_EXPANDTABS | platform::DT_SINGLELINE);
    if (!WordWrap || line.width() <= room)
        return line.size();
    QRect wrapped(0, 0, room, 0);
    canvas.DrawText(text(), wrapped,
                    platform::DT_CALCRECT | platform::DT_EXPANDTABS | platform::DT_WORDBREAK |
                        platform::DT_CENTER);
    return wrapped.size();
}

QRect TsButton::CaptionRect() {
    platform::Bitmap* cache = skinData_.CacheBitmap();
    if (!cache)
        return QRect();
    const QSize text = CaptionSize(*cache);
    const int w = width(), h = height();
    const int top = (h - text.height()) / 2;
    QRect r;
    const bool glyph = Images && ImageIndex >= 0 && ImageIndex < Images->Count();
    const int imageWidth = glyph ? Images->Width() : 0, imageHeight = glyph ? Images->Height() : 0;
    const QMargins& im = ImageMargins;
    if (!glyph || Alignment == ImageAlignment::iaCenter) {
        const int left = (w - text.width()) / 2 - 1;
        r = QRect(QPoint(left, top), QPoint(left + text.width() + 2 - 1, h - top - 1));
    } else if (Alignment == ImageAlignment::iaLeft || Alignment == ImageAlignment::iaRight) {
        const int left = Alignment == ImageAlignment::iaLeft
                             ? im.left() + ContentMargin + imageWidth + im.right()
                             : ContentMargin;
        const int right = Alignment == ImageAlignment::iaLeft
                              ? w - ContentMargin
                              : w - (im.right() + ContentMargin + imageWidth + im.left());
        r = QRect(QPoint(left, top), QPoint(right - 1, h - top - 1));
    } else {
        const int bandTop = Alignment == ImageAlignment::iaTop
                                ? im.top() + 2 * ContentMargin + imageHeight
                                : im.top();
        const int bandBottom = Alignment == ImageAlignment::iaTop
                                   ? h - ContentMargin
                                   : h - im.bottom() - ContentMargin - imageHeight - im.top();
        const int t = bandTop + (bandBottom - bandTop - text.height()) / 2;
        r = QRect(QPoint(ContentMargin, t), QPoint(w - ContentMargin - 1, t + text.height() - 1));
    }
    if (ButtonState() == 2)
        r.translate(1, 1);
    return r;
}

const platform::Bitmap& TsButton::CaptionLayer(QRect r, bool hot) {
    CaptionPicture& c = caption_[hot ? 1 : 0];
    const uint32_t format = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_EXPANDTABS |
                            (WordWrap ? platform::DT_WORDBREAK : 0u);
    const TsSkinManager* m = skinData_.SkinManager();
    if (c.Text == text() && c.Font == font_ && c.Rect == r && c.Hot == hot &&
        c.Section == skinData_.SectionIndex && c.Manager == m && c.Format == format &&
        c.KeepsTexts == platform::KeepsTexts() && c.Layer.Width() == width() &&
        c.Layer.Height() == height())
        return c.Layer;
    c = {text(),
         font_,
         r,
         hot,
         skinData_.SectionIndex,
         m,
         format,
         platform::KeepsTexts(),
         platform::Bitmap()};
    QImage clear(std::max(width(), 1), std::max(height(), 1), QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    c.Layer = platform::Bitmap(clear);
    platform::Canvas canvas(c.Layer);
    canvas.Font = font_;
    DrawSkinText(canvas, text(),
                 {.Rect = r, .Format = format, .State = HotIf(hot), .Enabled = true}, skinData_);
    return c.Layer;
}

namespace {

// Lays a see-through layer (straight alpha) over a picture, shifted.
void LayOver(platform::Bitmap& picture, const platform::Bitmap& layer, QPoint shift) {
    const QRect r = picture.Rect().intersected(layer.Rect().translated(shift));
    // The caption's text goes with it, to be drawn again on dense screens.
    platform::LaidTexts laid(picture, layer, shift);
    for (int y = r.top(); y <= r.bottom(); ++y) {
        uint32_t* out = picture.ScanLine(y);
        const uint32_t* in = layer.ScanLine(y - shift.y());
        for (int x = r.left(); x <= r.right(); ++x) {
            const uint32_t s = in[x - shift.x()];
            const uint32_t a = s >> 24;
            if (a == 0)
                continue;
            if (a == 255) {
                out[x] = s;
                continue;
            }
            const uint32_t d = out[x];
            uint32_t mixed = 0xFF000000u;
            for (int c = 0; c < 24; c += 8) {
                const uint32_t sc = (s >> c) & 0xFF, dc = (d >> c) & 0xFF;
                mixed |= ((sc * a + dc * (255 - a) + 127) / 255) << c;
            }
            out[x] = mixed;
        }
    }
}

} // namespace

void TsButton::DrawCaption(platform::Bitmap& cache) {
    const QRect r = CaptionRect();
    const bool pressed = ButtonState() == 2;
    // The pressed caption is the raised one moved by a pixel.
    const QRect raised = pressed ? r.translated(-1, -1) : r;
    if (!text().isEmpty())
        LayOver(cache, CaptionLayer(raised, ButtonState() != 0), pressed ? QPoint(1, 1) : QPoint());
    const TsSkinManager* m = skinData_.SkinManager();
    if (hasFocus() && isEnabled() && !text().isEmpty() && ShowFocus && Skinned() &&
        m->SectionTable()[skinData_.SectionIndex].SectionShowFocus)
        DrawDottedFocus(
            cache, r.marginsAdded(QMargins(FocusMargin, FocusMargin, FocusMargin, FocusMargin)),
            ButtonFaceColor(), RgbColor{0});
}

void TsButton::DrawGlyph(platform::Bitmap& cache) {
    if (!Images || ImageIndex < 0 || ImageIndex >= Images->Count())
        return;
    const int state = ButtonState();
    int index = !isEnabled() ? DisabledImageIndex
                : state == 2 ? PressedImageIndex
                : hasFocus() ? SelectedImageIndex
                : state == 1 ? HotImageIndex
                             : ImageIndex;
    if (index < 0 || index >= Images->Count())
        index = ImageIndex;
    const int w = width(), h = height(), iw = Images->Width(), ih = Images->Height();
    QPoint at((w - iw) / 2, (h - ih) / 2);
    switch (Alignment) {
    case ImageAlignment::iaLeft:
        at.setX(ImageMargins.left() + ContentMargin);
        break;
    case ImageAlignment::iaRight:
        at.setX(w - ImageMargins.right() - ContentMargin - iw);
        break;
    case ImageAlignment::iaTop:
        at.setY(ImageMargins.top() + ContentMargin);
        break;
    case ImageAlignment::iaBottom:
        at.setY(h - ImageMargins.bottom() - ContentMargin - ih);
        break;
    case ImageAlignment::iaCenter:
        break;
    }
    if (state == 2)
        at += QPoint(1, 1);
    platform::Canvas canvas(cache);
    Images->Draw(canvas, at.x(), at.y(), index);
}

// ---- Showing it -------------------------------------------------------------

void TsButton::paintEvent(QPaintEvent* event) {
    if (!Skinned()) {
        QPushButton::paintEvent(event);
        return;
    }
    QPainter painter(this);
    const bool waits = skinData_.WaitsToPaint();
    const bool fading = fade_ && fade_->Running();
    if (waits || fading) {
        // Nothing new until the parent is ready or the fade ends; what was
        // shown stays.
        const platform::Bitmap& shown = ShownPicture();
        if (shown.Width() == width() && shown.Height() == height())
            platform::DrawBitmap(painter, QPoint(0, 0), shown);
        return;
    }
    const QWidget* parent = parentWidget();
    skinData_.ClippedByParent = parent && !parent->rect().contains(geometry());
    // The corners show the parent's picture: a changed parent, like a
    // changed state, renders afresh; otherwise the cache is shown as it is.
    if (skinData_.NeedsRender(size()) || !(CurrentLook(ParentBackground(*this)) == rendered_))
        PrepareButtonCache();
    showingFrame_ = false;
    platform::DrawBitmap(painter, QPoint(0, 0), *skinData_.CacheBitmap());
}

// ---- The fade ---------------------------------------------------------------

void TsButton::StartFade(bool halfSteps, AnimatEvent event) {
    if (!Skinned())
        return;
    const TsSkinManager* m = skinData_.SkinManager();
    const TsGeneralData& d = m->SectionTable()[skinData_.SectionIndex];
    // The fade starts from the picture on screen, which the cache holds.
    skinData_.MarkCacheRendered();
    // The manager's default lets every mouse event fade.
    const bool allowed = (AnimatEvents & (event | aeGlobalDef)) != 0;
    platform::Bitmap* cache = skinData_.CacheBitmap();
    if (!allowed || !d.FadingEnabled || !cache || !isVisible()) {
        skinData_.MarkCacheStale();
        StopFade();
        repaint();
        return;
    }
    skinData_.MarkCacheStale();
    if (!fade_) {
        fade_ = std::make_unique<TsFadeTimer>();
        fade_->OnTick = [this] { ShowFadeFrame(); };
    }
    if (cache->Width() != width() || cache->Height() != height())
        PrepareButtonCache();
    // A fade cut short starts again from the picture cached last, which
    // stays on screen until the first frame.
    frame_ = *cache;
    PrepareButtonCache();
    showingFrame_ = true;
    fade_->Start(frame_, d.FadingIterations, halfSteps);
}

void TsButton::ShowFadeFrame() {
    if (!fade_ || (ComponentState & csDestroying))
        return;
    if (!isEnabled()) {
        StopFade();
        fade_->FadeSteps = 0;
        skinData_.RequestRepaint();
        return;
    }
    if (fade_->Finished()) {
        StopFade();
        update();
        return;
    }
    const platform::Bitmap* cache = skinData_.CacheBitmap();
    if (!cache) {
        StopFade();
        return;
    }
    fade_->NextFrame(*cache, frame_);
    showingFrame_ = true;
    repaint();
}

void TsButton::StopFade() {
    // The timer is kept for the next fade; stopped, it never ticks.
    if (fade_)
        fade_->Stop();
}

void TsButton::EndForcedPress() {
    forcedPressed_ = false;
    skinData_.ReleasePaint();
    StartFade(true, aeMouseUp);
}

// ---- Commands and events ----------------------------------------------------

void TsButton::WndProc(platform::Message& message) {
    if (message.Msg != platform::SM_ALPHACMD)
        return;
    const bool ours = SkinCmdNewSkin::ArgumentOf(message) == skinData_.SkinManager();
    const uint16_t command = platform::AlphaCommand(message.WParam);
    switch (command) {
    case SkinCmdNewSkin::Number:
    case SkinCmdRemoveSkin::Number:
    case SkinCmdRefresh::Number:
        ForgetPictures();
        if (ours && !(command == SkinCmdRemoveSkin::Number && (ComponentState & csDestroying))) {
            StopFade();
            skinData_.HandleSkinCommand(message);
            if (command == SkinCmdRemoveSkin::Number)
                showingFrame_ = false;
            update();
        }
        return;
    case SkinCmdIsSkinned::Number:
        SkinCmdIsSkinned::Reply(message, true);
        return;
    case SkinCmdPrepare::Number:
        StopFade();
        return;
    case SkinCmdPrepareCache::Number:
        PrepareButtonCache();
        break;
    case SkinCmdResumePaint::Number:
        if (Skinned() && skinData_.PaintHeld()) {
            skinData_.ReleasePaint();
            update();
        }
        return;
    default:
        break;
    }
    skinData_.HandleSkinCommand(message);
}

void TsButton::enterEvent(QEnterEvent* event) {
    QPushButton::enterEvent(event);
    if (!isEnabled() || skinData_.MouseInside)
        return;
    if (OnMouseEnter)
        platform::RunCommand([this] { OnMouseEnter(this); });
    skinData_.HandleControlEvent(ControlEvent::MouseEntered);
    if (!Skinned()) {
        update();
        return;
    }
    StartFade(false, aeMouseEnter);
}

void TsButton::leaveEvent(QEvent* event) {
    QPushButton::leaveEvent(event);
    if (!isEnabled())
        return;
    if (OnMouseLeave)
        platform::RunCommand([this] { OnMouseLeave(this); });
    if (!Skinned()) {
        skinData_.MouseInside = false;
        update();
        return;
    }
    skinData_.HandleControlEvent(ControlEvent::MouseLeft);
    StartFade(false, aeMouseLeave);
}

void TsButton::mousePressEvent(QMouseEvent* event) {
    const bool ours = Skinned() && isEnabled() && event->button() == Qt::LeftButton;
    if (ours) {
        skinData_.ReleasePaint();
        pressInProgress_ = true;
    }
    QPushButton::mousePressEvent(event);
    if (ours && !down_) {
        skinData_.HoldPaintWhileDeferred();
        StartFade(true, aeMouseDown);
    }
}

void TsButton::mouseReleaseEvent(QMouseEvent* event) {
    if (!Skinned() || event->button() != Qt::LeftButton || !pressInProgress_) {
        QPushButton::mouseReleaseEvent(event);
        return;
    }
    pressInProgress_ = false;
    // A click quicker than the press fade still shows the pressed picture.
    if (fade_ && fade_->Running() && hitButton(event->position().toPoint())) {
        StopFade();
        forcedPressed_ = true;
        skinData_.MarkCacheStale();
        repaint();
    }
    QPointer<TsButton> alive(this);
    QPushButton::mouseReleaseEvent(event); // the click runs here
    if (!alive)
        return;
    if (!forcedPressed_) {
        skinData_.ReleasePaint();
        StartFade(true, aeMouseUp);
        return;
    }
    if (!pressPause_) {
        pressPause_ = std::make_unique<QTimer>();
        pressPause_->setSingleShot(true);
        connect(pressPause_.get(), &QTimer::timeout, this, [this] { EndForcedPress(); });
    }
    pressPause_->start(kPressedPause);
}

void TsButton::focusInEvent(QFocusEvent* event) {
    QPushButton::focusInEvent(event);
    skinData_.HandleControlEvent(ControlEvent::FocusGained);
    if (fade_ && fade_->Running())
        update();
    else
        skinData_.RequestRepaint();
}

void TsButton::focusOutEvent(QFocusEvent* event) {
    StopFade();
    QPushButton::focusOutEvent(event);
    skinData_.HandleControlEvent(ControlEvent::FocusLost);
    skinData_.HasFocus = false;
    skinData_.RequestRepaint();
}

void TsButton::keyPressEvent(QKeyEvent* event) {
    if (Skinned() && event->key() == Qt::Key_Space && !event->isAutoRepeat()) {
        StopFade();
        skinData_.MarkCacheStale();
    }
    QPushButton::keyPressEvent(event);
}

void TsButton::keyReleaseEvent(QKeyEvent* event) {
    if (Skinned() && event->key() == Qt::Key_Space && !event->isAutoRepeat())
        skinData_.MarkCacheStale();
    QPushButton::keyReleaseEvent(event);
}

void TsButton::changeEvent(QEvent* event) {
    QPushButton::changeEvent(event);
    switch (event->type()) {
    case QEvent::EnabledChange:
        if (!isEnabled()) {
            skinData_.HandleControlEvent(ControlEvent::Disabled);
            StopFade();
        }
        [[fallthrough]];
    case QEvent::FontChange:
        skinData_.ReleasePaint();
        update();
        break;
    default:
        break;
    }
}

void TsButton::moveEvent(QMoveEvent* event) {
    QPushButton::moveEvent(event);
    skinData_.HandleControlEvent(ControlEvent::Moved);
}

void TsButton::resizeEvent(QResizeEvent* event) {
    QPushButton::resizeEvent(event);
    skinData_.HandleControlEvent(ControlEvent::Resized);
}

void TsButton::showEvent(QShowEvent* event) {
    skinData_.HandleControlEvent(ControlEvent::Shown);
    QPushButton::showEvent(event);
}

void TsButton::hideEvent(QHideEvent* event) {
    StopFade();
    showingFrame_ = false;
    skinData_.HandleControlEvent(ControlEvent::Hidden);
    QPushButton::hideEvent(event);
}

} // namespace skin
