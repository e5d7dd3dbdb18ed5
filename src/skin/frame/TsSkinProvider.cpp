#include "skin/frame/TsSkinProvider.h"

#include "platform/DrawBitmap.h"
#include "skin/data/SkinNotifier.h"
#include "skin/draw/SkinPaint.h"

#include <QApplication>
#include <QEvent>
#include <QIcon>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QWindow>

namespace skin {

using platform::Message;

namespace {

// How far in from the window's edge a press resizes a sizeable window.
constexpr int kMinResizeBand = 4;

QWidget* OwnerOf(QWidget& window, platform::WindowKind kind) {
    // A form owns its frame itself; a dialog's frame goes with the dialog.
    return kind == platform::WindowKind::Form ? nullptr : &window;
}

} // namespace

TsSkinProvider::TsSkinProvider(QWidget& window, platform::WindowKind kind)
    : QObject(OwnerOf(window, kind)), window_(&window),
      form_(kind == platform::WindowKind::Form ? dynamic_cast<platform::TForm*>(&window) : nullptr),
      kind_(kind), data_(form_),
      access_(window, [this](TitleButtonKind button) { PressButton(button); }) {
    setObjectName(QStringLiteral("TsSkinProvider"));
    data_.ControlKind = KindFormFrame;
    data_.SetSkinSection(QStringLiteral("FORM"));
    window.installEventFilter(this);
    if (form_)
        SkinNotifier::RegisterForm(form_);
    if (SkinAvailable())
        Skin();
}

TsSkinProvider::~TsSkinProvider() {
    // The form may be half destroyed already: only our own records change.
    if (form_)
        SkinNotifier::UnregisterForm(form_);
}

TsSkinProvider* TsSkinProvider::Of(QWidget* window) {
    if (!window)
        return nullptr;
    if (auto* form = dynamic_cast<platform::TForm*>(window))
        if (auto* p = dynamic_cast<TsSkinProvider*>(form->Frame()))
            return p;
    return window->findChild<TsSkinProvider*>(QString(), Qt::FindDirectChildrenOnly);
}

TsSkinManager* TsSkinProvider::Manager() const {
    return data_.SkinManager();
}

bool TsSkinProvider::SkinAvailable() const {
    const TsSkinManager* m = Manager();
    return SkinInForce(m) && m->CommonIndexes().Form >= 0;
}

QMenuBar* TsSkinProvider::MenuBar() const {
    return form_ ? form_->MenuBar() : nullptr;
}

WindowLook TsSkinProvider::Look() const {
    WindowLook look;
    QWidget& w = *window_;
    look.Size = w.size();
    look.Active = w.isActiveWindow();
    look.Enabled = w.isEnabled();
    look.Caption = w.windowTitle();
    look.Minimized = w.isMinimized();
    look.Maximized = w.isMaximized();
    if (form_) {
        look.Sizeable = form_->Border() == platform::BorderStyle::Sizeable;
        look.SystemMenu = form_->BorderIcons() & platform::biSystemMenu;
        look.Minimize = form_->BorderIcons() & platform::biMinimize;
        look.Maximize = look.Sizeable && (form_->BorderIcons() & platform::biMaximize);
        look.HasMenu = form_->MenuBar() != nullptr;
        // The bar keeps room for its items: Qt hides those that do not fit.
        if (look.HasMenu)
            look.MenuBandHeight = form_->MenuBar()->minimumSizeHint().height();
        look.Grip = look.Sizeable;
    } else {
        look.DialogStyle = true;
        look.Sizeable = kind_ == platform::WindowKind::SystemDialog;
    }
    if (ShowAppIcon) {
        const QIcon icon = w.windowIcon().isNull() ? QApplication::windowIcon() : w.windowIcon();
        look.Icon = icon.pixmap(QSize(16, 16)).toImage();
    }
    return look;
}

void TsSkinProvider::Skin() {
    if (skinned_ || !window_)
        return;
    QWidget& w = *window_;
    skinned_ = true;
    invalid_ = true;
    oldFlags_ = w.windowFlags();
    oldMargins_ = w.contentsMargins();
    const bool wasVisible = w.isVisible();
    // Qt drops the frameless hint of a window that asks for a minimise or
    // maximise button while customising its frame, so the customise hint
    // goes; the buttons' hints stay for the taskbar.
    // A Wayland compositor takes the outline for input only and shows every
    // pixel of the buffer: the cut pixels must stay transparent there. The
    // attribute counts from the native window that the new flags make. An
    // X server without a compositor would show them black, so not there.
    if (!platform::CanPlaceWindows())
        w.setAttribute(Qt::WA_TranslucentBackground);
    w.setWindowFlags((oldFlags_ & ~Qt::CustomizeWindowHint) | Qt::FramelessWindowHint);
    w.setMouseTracking(true);
    // Widgets Qt draws itself take the skin's colours.
    if (kind_ == platform::WindowKind::SystemDialog) {
        QPalette pal = w.palette();
        const QColor face = ToQColor(Manager()->GlobalColor());
        pal.setColor(QPalette::Window, face);
        pal.setColor(QPalette::Button, face);
        const RgbColor text = Manager()->GlobalFontColor();
        if (text != kNoColor) {
            pal.setColor(QPalette::WindowText, ToQColor(text));
            pal.setColor(QPalette::ButtonText, ToQColor(text));
        }
        w.setPalette(pal);
    }
    const QSize before = w.size();
    Relayout();
    // A sizeable window keeps its client size; a fixed one takes its size
    // from its layout, which counts the margins.
    if (form_ && form_->Border() == platform::BorderStyle::Sizeable)
        w.resize(before +
                 QSize(geometry_.Border * 2, geometry_.ClientRect.top() + geometry_.Border -
                                                 oldMargins_.top() - oldMargins_.bottom()));
    if (wasVisible)
        w.show();
    UpdateOutline();
    w.update();
}

void TsSkinProvider::Unskin() {
    if (!skinned_ || !window_)
        return;
    QWidget& w = *window_;
    skinned_ = false;
    ResetDrag();
    buttons_ = {};
    delete grip_;
    const bool wasVisible = w.isVisible();
    const QSize framed = w.size();
    const QMargins m = w.contentsMargins();
    w.clearMask();
    if (!platform::CanPlaceWindows())
        w.setAttribute(Qt::WA_TranslucentBackground, false);
    w.setContentsMargins(oldMargins_);
    if (QMenuBar* bar = MenuBar()) {
        bar->setMinimumHeight(0);
        bar->setMaximumHeight(QWIDGETSIZE_MAX);
    }
    w.setWindowFlags(oldFlags_);
    if (form_ && form_->Border() == platform::BorderStyle::Sizeable)
        w.resize(framed - QSize(m.left() + m.right() - oldMargins_.left() - oldMargins_.right(),
                                m.top() + m.bottom() - oldMargins_.top() - oldMargins_.bottom()));
    if (wasVisible)
        w.show();
    picture_ = {};
    menuBar_ = {};
    underButtons_ = {};
    access_.Clear();
    w.update();
}

void TsSkinProvider::Relayout() {
    QWidget& w = *window_;
    // The bar measures its items once and keeps the sizes; measured before
    // the skin was ready they are the plain style's, taller than the band.
    if (QMenuBar* menu = MenuBar()) {
        QEvent remeasure(QEvent::StyleChange);
        QApplication::sendEvent(menu, &remeasure);
    }
    geometry_ = LayOutFrame(*Manager(), Look());
    const int bar = geometry_.MenuBand;
    if (QMenuBar* menu = MenuBar(); menu && bar > 0)
        menu->setFixedHeight(bar);
    const QMargins margins(geometry_.Border + oldMargins_.left(),
                           geometry_.Border + geometry_.Title + oldMargins_.top(),
                           geometry_.Border + oldMargins_.right(),
                           geometry_.Border + oldMargins_.bottom());
    if (w.contentsMargins() != margins)
        w.setContentsMargins(margins);
    PlaceGrip();
    access_.Place(geometry_.Buttons);
}

void TsSkinProvider::PlaceGrip() {
    if (geometry_.GripRect.isEmpty()) {
        delete grip_;
        return;
    }
    if (!grip_) {
        grip_ = new QWidget(window_);
        grip_->setObjectName(QStringLiteral("TsSkinProviderGrip"));
        grip_->setCursor(Qt::SizeFDiagCursor);
        grip_->installEventFilter(this);
    }
    grip_->setGeometry(geometry_.GripRect);
    grip_->raise();
    grip_->show();
}

QPoint TsSkinProvider::ClientOffset() const {
    if (form_ && form_->Client())
        return form_->Client()->pos();
    return geometry_.ClientOffset();
}

void TsSkinProvider::Render() {
    if (!skinned_ || !window_ || !invalid_)
        return;
    invalid_ = false;
    geometry_ = LayOutFrame(*Manager(), Look());
    const int section =
        data_.SectionIndex >= 0 ? data_.SectionIndex : Manager()->CommonIndexes().Form;
    RenderWindowPicture(*Manager(), section, Look(), geometry_, buttons_,
                        {.Window = picture_, .MenuBar = &menuBar_, .UnderButtons = &underButtons_});
    data_.MarkCacheRendered();
}

const platform::Bitmap& TsSkinProvider::WindowPicture() {
    Render();
    return picture_;
}

const platform::Bitmap& TsSkinProvider::MenuBarPicture() {
    Render();
    return menuBar_;
}

void TsSkinProvider::RepaintMenuBar() {
    Invalidate();
    if (QMenuBar* bar = MenuBar())
        bar->update();
}

void TsSkinProvider::Invalidate() {
    invalid_ = true;
    data_.MarkCacheStale();
    if (window_)
        window_->update();
    if (grip_)
        grip_->update();
}

void TsSkinProvider::UpdateOutline() {
    if (!skinned_ || !window_)
        return;
    const int section = Manager()->CommonIndexes().Form;
    const TsGeneralData* form =
        Manager()->IsValidSection(section) ? &Manager()->SectionTable()[size_t(section)] : nullptr;
    const VisualState state =
        form ? FrameState(*form, window_->isActiveWindow()) : VisualState::Normal;
    window_->setMask(FrameOutline(*Manager(), section, window_->size(), state));
}

// ---------------------------------------------------------------------------
// Skin commands
// ---------------------------------------------------------------------------

bool TsSkinProvider::FrameMessage(Message& message) {
    if (message.Msg != platform::SM_ALPHACMD)
        return false;
    const auto ours = [&] { return SkinCmdNewSkin::ArgumentOf(message) == Manager(); };
    switch (platform::AlphaCommand(message.WParam)) {
    case SkinCmdIsSkinned::Number:
        SkinCmdIsSkinned::Reply(message, true);
        return true;
    case SkinCmdNewSkin::Number:
        if (ours()) {
            data_.HandleSkinCommand(message);
            if (SkinAvailable())
                Skin();
            if (skinned_) {
                Relayout();
                UpdateOutline();
            }
            Invalidate();
        }
        return true;
    case SkinCmdRemoveSkin::Number:
        if (ours()) {
            data_.HandleSkinCommand(message);
            Unskin();
        }
        return true;
    case SkinCmdRefresh::Number:
    case SkinCmdPrepare::Number:
        if (ours()) {
            data_.HandleSkinCommand(message);
            Invalidate();
        }
        return true;
    case SkinCmdIsBgNotReady::Number:
        // The picture is rendered on demand.
        SkinCmdIsBgNotReady::Reply(message, false);
        return true;
    case SkinCmdGetBgInfo::Number:
        if (!skinned_)
            return data_.HandleSkinCommand(message);
        if (BackgroundRequest* request = SkinCmdGetBgInfo::ArgumentOf(message))
            AnswerBackground(*request);
        return true;
    default:
        return data_.HandleSkinCommand(message);
    }
}

// A child's background: the window's picture, from the client's corner.
void TsSkinProvider::AnswerBackground(BackgroundRequest& request) {
    Render();
    const QPoint client = ClientOffset();
    request.Kind = BackgroundAnswer::Picture;
    if (request.PleaseDraw && request.TargetDevice) {
        CopyFrom(*request.TargetDevice, request.Rect, picture_, request.OffsetX + client.x(),
                 request.OffsetY + client.y());
        return;
    }
    request.Bitmap = &picture_;
    request.OffsetX = client.x();
    request.OffsetY = client.y();
}

// ---------------------------------------------------------------------------
// Window events
// ---------------------------------------------------------------------------

bool TsSkinProvider::eventFilter(QObject* watched, QEvent* event) {
    if (!skinned_)
        return false;
    if (grip_ && watched == grip_)
        return GripEvent(event);
    return watched == window_ && WindowEvent(event);
}

// The size grip is a widget of its own over the window's corner: it shows
// its part of the window's picture and hands the mouse to the frame.
bool TsSkinProvider::GripEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint: {
        // The grip's part of the window's picture.
        Render();
        QPainter painter(grip_);
        const QRect r = static_cast<QPaintEvent*>(event)->rect();
        platform::DrawBitmap(painter, r.topLeft(), picture_,
                             r.translated(grip_->pos()).intersected(picture_.Rect()));
        return true;
    }
    case QEvent::MouseButtonPress:
    case QEvent::MouseMove:
    case QEvent::MouseButtonRelease: {
        // Handled as the window's own mouse at the same place.
        auto* e = static_cast<QMouseEvent*>(event);
        QMouseEvent moved(e->type(), e->position() + grip_->pos(), e->scenePosition(),
                          e->globalPosition(), e->button(), e->buttons(), e->modifiers(),
                          e->pointingDevice());
        if (e->type() == QEvent::MouseButtonPress)
            OnMousePress(&moved);
        else if (e->type() == QEvent::MouseMove)
            OnMouseMove(&moved);
        else
            OnMouseRelease(&moved);
        grip_->setCursor(Qt::SizeFDiagCursor);
        return true;
    }
    default:
        return false;
    }
}

bool TsSkinProvider::WindowEvent(QEvent* event) {
    switch (event->type()) {
    case QEvent::Paint:
        PaintWindow(static_cast<QPaintEvent*>(event)->rect());
        return false;
    case QEvent::Show:
        // Children made after the frame was laid must not cover the grip.
        if (grip_)
            grip_->raise();
        // The picture is rendered while the window manager maps the window:
        // the call waits until the event loop has sent the map request, and
        // the first paint then finds the picture ready.
        if (!event->spontaneous())
            QMetaObject::invokeMethod(
                this, [this] { Render(); }, Qt::QueuedConnection);
        return false;
    case QEvent::Resize:
        Relayout();
        UpdateOutline();
        Invalidate();
        return false;
    case QEvent::WindowActivate:
    case QEvent::WindowDeactivate:
    case QEvent::ActivationChange:
    case QEvent::WindowTitleChange:
    case QEvent::WindowIconChange:
    case QEvent::EnabledChange:
        Invalidate();
        return false;
    case QEvent::WindowStateChange:
        access_.Place(LayOutFrame(*Manager(), Look()).Buttons);
        Invalidate();
        return false;
    case QEvent::MouseButtonPress:
        return OnMousePress(static_cast<QMouseEvent*>(event));
    case QEvent::MouseMove:
        return OnMouseMove(static_cast<QMouseEvent*>(event));
    case QEvent::MouseButtonRelease:
        return OnMouseRelease(static_cast<QMouseEvent*>(event));
    case QEvent::Leave:
        if (buttons_.Pressed < 0)
            SetButtons({});
        return false;
    default:
        return false;
    }
}

void TsSkinProvider::PaintWindow(QRect area) {
    Render();
    QPainter painter(window_);
    // Only X11 cuts the window to its outline; elsewhere the picture must
    // not cover the cut pixels.
    if (!window_->mask().isEmpty())
        painter.setClipRegion(window_->mask());
    const QRect r = area.intersected(picture_.Rect());
    platform::DrawBitmap(painter, r.topLeft(), picture_, r);
}

void TsSkinProvider::SetButtons(TitleButtonStates states) {
    const TitleButtonStates old = buttons_;
    buttons_ = states;
    for (int i : {old.Hot, old.Pressed, states.Hot, states.Pressed}) {
        if (i < 0 || i >= int(geometry_.Buttons.size()))
            continue;
        if (old.StateOf(i) == states.StateOf(i))
            continue;
        if (!invalid_)
            RepaintTitleButton(*Manager(), geometry_, i, buttons_, picture_, underButtons_);
        // Only the button's area reaches the screen again.
        window_->update(geometry_.Buttons[size_t(i)].Rect);
    }
}

Qt::Edges TsSkinProvider::EdgesAt(QPoint p) const {
    Qt::Edges edges;
    if (!form_ || form_->Border() != platform::BorderStyle::Sizeable || window_->isMaximized())
        return edges;
    const int band = std::max(geometry_.Border, kMinResizeBand);
    const QSize s = window_->size();
    if (p.x() < band)
        edges |= Qt::LeftEdge;
    if (p.x() >= s.width() - band)
        edges |= Qt::RightEdge;
    if (p.y() < band)
        edges |= Qt::TopEdge;
    if (p.y() >= s.height() - band)
        edges |= Qt::BottomEdge;
    if (geometry_.GripRect.contains(p))
        edges = Qt::RightEdge | Qt::BottomEdge;
    return edges;
}

void TsSkinProvider::ResetDrag() {
    drag_ = Drag::None;
    dragEdges_ = {};
    manual_ = false;
}

bool TsSkinProvider::OnMousePress(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return false;
    const QPoint p = e->position().toPoint();
    const int button = geometry_.ButtonAt(p);
    if (button >= 0) {
        SetButtons({button, button});
        return true;
    }
    pressGlobal_ = e->globalPosition().toPoint();
    pressGeometry_ = window_->geometry();
    if (const Qt::Edges edges = EdgesAt(p)) {
        drag_ = Drag::Resize;
        dragEdges_ = edges;
        return true;
    }
    if (geometry_.TitleBand.contains(p)) {
        drag_ = Drag::Move;
        return true;
    }
    return false;
}

bool TsSkinProvider::OnMouseMove(QMouseEvent* e) {
    const QPoint p = e->position().toPoint();
    if (buttons_.Pressed >= 0) {
        const bool over = geometry_.ButtonAt(p) == buttons_.Pressed;
        SetButtons({over ? buttons_.Pressed : -1, buttons_.Pressed});
        return true;
    }
    if (drag_ != Drag::None && (e->buttons() & Qt::LeftButton)) {
        const QPoint delta = e->globalPosition().toPoint() - pressGlobal_;
        QWindow* handle = window_->windowHandle();
        // Through the window system on the first move; ourselves when it
        // cannot (no window manager).
        if (!manual_ && handle &&
            (drag_ == Drag::Move ? handle->startSystemMove()
                                 : handle->startSystemResize(dragEdges_))) {
            ResetDrag(); // the release may never come back to us
            return true;
        }
        // A compositor that refused (no input serial to go with the request)
        // ignores moves from the client too: nothing to fall back on.
        if (!platform::CanPlaceWindows()) {
            ResetDrag();
            return true;
        }
        manual_ = true;
        if (drag_ == Drag::Move) {
            window_->move(pressGeometry_.topLeft() + delta);
            return true;
        }
        QRect g = pressGeometry_;
        if (dragEdges_ & Qt::LeftEdge)
            g.setLeft(g.left() + delta.x());
        if (dragEdges_ & Qt::RightEdge)
            g.setRight(g.right() + delta.x());
        if (dragEdges_ & Qt::TopEdge)
            g.setTop(g.top() + delta.y());
        if (dragEdges_ & Qt::BottomEdge)
            g.setBottom(g.bottom() + delta.y());
        const QSize least = window_->minimumSizeHint().expandedTo(window_->minimumSize());
        if (g.width() >= least.width() && g.height() >= least.height())
            window_->setGeometry(g);
        return true;
    }
    if (drag_ != Drag::None)
        ResetDrag(); // a release we never saw
    const int hot = geometry_.ButtonAt(p);
    SetButtons({hot, -1});
    const Qt::Edges edges = EdgesAt(p);
    if (edges == (Qt::LeftEdge | Qt::TopEdge) || edges == (Qt::RightEdge | Qt::BottomEdge))
        window_->setCursor(Qt::SizeFDiagCursor);
    else if (edges == (Qt::RightEdge | Qt::TopEdge) || edges == (Qt::LeftEdge | Qt::BottomEdge))
        window_->setCursor(Qt::SizeBDiagCursor);
    else if (edges & (Qt::LeftEdge | Qt::RightEdge))
        window_->setCursor(Qt::SizeHorCursor);
    else if (edges)
        window_->setCursor(Qt::SizeVerCursor);
    else
        window_->unsetCursor();
    return geometry_.TitleBand.contains(p);
}

bool TsSkinProvider::OnMouseRelease(QMouseEvent* e) {
    if (e->button() != Qt::LeftButton)
        return false;
    if (buttons_.Pressed >= 0) {
        const int pressed = buttons_.Pressed;
        const bool over = geometry_.ButtonAt(e->position().toPoint()) == pressed;
        SetButtons({over ? pressed : -1, -1});
        if (over)
            PressButton(geometry_.Buttons[size_t(pressed)].Kind);
        return true;
    }
    const bool dragging = drag_ != Drag::None;
    ResetDrag();
    return dragging;
}

void TsSkinProvider::PressButton(TitleButtonKind kind) {
    QPointer<QWidget> w = window_;
    switch (kind) {
    case TitleButtonKind::Close:
        SetButtons({});
        // The same path as a close by the window manager.
        w->close();
        return;
    case TitleButtonKind::Minimize:
        SetButtons({});
        w->showMinimized();
        return;
    case TitleButtonKind::Maximize:
        w->showMaximized();
        return;
    case TitleButtonKind::Restore:
        w->showNormal();
        return;
    }
}

} // namespace skin
