#include "platform/Form.h"

#include "platform/Accessible.h"
#include "platform/Application.h"
#include "platform/Screens.h"
#include "platform/WindowWatch.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMenuBar>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>

namespace platform {

bool CanPlaceWindows() {
    return !QGuiApplication::platformName().startsWith(QLatin1String("wayland"));
}

namespace {

std::vector<TForm*>& LiveForms() {
    static std::vector<TForm*> forms;
    return forms;
}

} // namespace

TForm::TForm(const QString& name, QSize clientSize, BorderStyle border, unsigned borderIcons,
             QWidget* owner)
    : QWidget(owner, Qt::Window), layout_(new QVBoxLayout(this)), client_(new QWidget(this)),
      border_(border), borderIcons_(borderIcons) {
    // A screen reader announces our windows as windows, by their captions.
    static const bool registered = [] {
        AccessibleParts parts;
        parts.Role = QAccessible::Window;
        RegisterAccessible("platform::TForm", std::move(parts));
        return true;
    }();
    (void)registered;
    setObjectName(name);
    LiveForms().push_back(this);
    Qt::WindowFlags flags = Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint;
    if (borderIcons & biSystemMenu)
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    if (borderIcons & biMinimize)
        flags |= Qt::WindowMinimizeButtonHint;
    if ((borderIcons & biMaximize) && border == BorderStyle::Sizeable)
        flags |= Qt::WindowMaximizeButtonHint;
    setWindowFlags(flags);

    layout_->setContentsMargins(0, 0, 0, 0);
    layout_->setSpacing(0);
    layout_->addWidget(client_);
    client_->setObjectName(name + QStringLiteral("Client"));
    if (border == BorderStyle::Single) {
        client_->setFixedSize(clientSize);
        layout_->setSizeConstraint(QLayout::SetFixedSize);
    } else {
        client_->setMinimumSize(1, 1);
        client_->resize(clientSize);
        resize(clientSize);
    }
}

TForm::~TForm() {
    // The frame goes first: it may still look at the form's widget.
    frame_.reset();
    std::erase(LiveForms(), this);
}

void TForm::WndProc(Message& message) {
    if (frame_ && frame_->FrameMessage(message))
        return;
    WidgetControl::WndProc(message);
}

void TForm::CloseWithEscape() {
    closesWithEscape_ = true;
}

void TForm::keyPressEvent(QKeyEvent* event) {
    // An Escape that no control of the window took.
    if (closesWithEscape_ && event->key() == Qt::Key_Escape &&
        !(event->modifiers() & ~Qt::KeypadModifier)) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

void TForm::AttachFrame(std::unique_ptr<WindowFrame> frame) {
    frame_ = std::move(frame);
}

void TForm::setVisible(bool visible) {
    // The watch may take the window over while it has no native window.
    if (visible && isHidden() && !frame_)
        WindowCreating(*this, WindowKind::Form);
    // Placed before Qt starts showing it: a move made from the show event
    // reaches the window system while the window is being mapped, and the
    // window manager's answer may then leave Qt believing the window sits at
    // 0,0, so that every drop-down menu opens at the screen's corner.
    if (visible && isHidden())
        PlaceOnShow();
    QWidget::setVisible(visible);
}

const std::vector<TForm*>& TForm::Forms() {
    return LiveForms();
}

QSize TForm::ClientSize() const {
    return client_->size();
}

void TForm::SetMenuBar(QMenuBar* menuBar) {
    menuBar_ = menuBar;
    layout_->setMenuBar(menuBar);
    if (!menuKey_) {
        menuKey_ = new QShortcut(QKeySequence(Qt::Key_F10), this);
        connect(menuKey_, &QShortcut::activated, this, [this] { EnterMenuBar(); });
    }
}

void TForm::EnterMenuBar() {
    if (!menuBar_ || !menuBar_->isVisible() || menuBar_->actions().isEmpty())
        return;
    // F10 does what a lone Alt does: the bar watches its window for an Alt
    // pressed and released with nothing between, and then highlights its
    // first item and takes the keys (arrows, Enter, Escape). Qt offers no
    // other way into that mode; opening an item outright would skip it. The
    // press comes as the two events a real key brings.
    QKeyEvent override(QEvent::ShortcutOverride, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(this, &override);
    QKeyEvent press(QEvent::KeyPress, Qt::Key_Alt, Qt::AltModifier);
    QCoreApplication::sendEvent(this, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_Alt, Qt::NoModifier);
    QCoreApplication::sendEvent(this, &release);
}

void TForm::showEvent(QShowEvent* event) {
    // A window manager's frame is known only now: centre again with it. A
    // frameless (skinned) window is already in place and does not move.
    if (!event->spontaneous())
        Centre(firstShowing_);
    QWidget::showEvent(event);
    FollowScreenOf(this);
    if (!event->spontaneous())
        RunCommand([this] { FormShow(); });
}

void TForm::PlaceOnShow() {
    // A fixed window takes its size from its layout; a sizeable one keeps
    // the size it was given or the user left it at.
    if (layout_->sizeConstraint() == QLayout::SetFixedSize)
        adjustSize();
    firstShowing_ = !shownOnce_;
    Centre(firstShowing_);
    shownOnce_ = true;
}

void TForm::Centre(bool onScreen) {
    // Where the compositor places windows, centring is its business: a
    // move would be ignored, and the main window's place is unknown.
    if (!CanPlaceWindows())
        return;
    QRect frame = frameGeometry();
    if (Position == FormPosition::ScreenCenter && onScreen) {
        const QScreen* screen = this->screen() ? this->screen() : QGuiApplication::primaryScreen();
        if (!screen)
            return;
        frame.moveCenter(screen->availableGeometry().center());
    } else if (Position == FormPosition::MainFormCenter && MainForm) {
        frame.moveCenter(MainForm->frameGeometry().center());
    } else {
        return;
    }
    if (frame.topLeft() != pos())
        move(frame.topLeft());
}

void TForm::closeEvent(QCloseEvent* event) {
    RunCommand([this] { FormClose(); });
    event->accept();
}

} // namespace platform
