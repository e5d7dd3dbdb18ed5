// A top-level window of the program: a caption, an optional menu bar and a
// client area of a given size below it, where controls sit at fixed places.
#pragma once

#include "platform/WidgetControl.h"

#include <QWidget>
#include <memory>
#include <vector>

class QMenuBar;
class QShortcut;
class QVBoxLayout;

namespace platform {

enum class BorderStyle { Single, Sizeable }; // Single: fixed size
enum BorderIcon : unsigned { biSystemMenu = 1, biMinimize = 2, biMaximize = 4 };
enum class FormPosition { Designed, ScreenCenter, MainFormCenter };

// False where the window system alone places top-level windows (Wayland):
// there a client can neither move its windows nor learn where they are, so
// Qt reports every one at 0, 0 and ignores move().
bool CanPlaceWindows();

// A frame drawn by the program in place of the window manager's: it sees the
// form's messages first.
class WindowFrame {
public:
    virtual ~WindowFrame() = default;
    // True when the frame consumed the message.
    virtual bool FrameMessage(Message& message) = 0;
};

class TForm : public QWidget, public WidgetControl {
    Q_OBJECT
public:
    TForm(const QString& name, QSize clientSize, BorderStyle border, unsigned borderIcons,
          QWidget* owner = nullptr);
    ~TForm() override;

    // Every form that exists, in the order they were made.
    static const std::vector<TForm*>& Forms();

    QWidget* Widget() override { return this; }
    void WndProc(Message& message) override;

    BorderStyle Border() const { return border_; }
    unsigned BorderIcons() const { return borderIcons_; }

    // The frame drawn by the program, owned by the form; null while the
    // window manager draws it.
    WindowFrame* Frame() const { return frame_.get(); }
    void AttachFrame(std::unique_ptr<WindowFrame> frame);

    // The area below the menu bar where the controls are placed.
    QWidget* Client() const { return client_; }
    QSize ClientSize() const;

    QString Caption() const { return windowTitle(); }
    void SetCaption(const QString& caption) { setWindowTitle(caption); }

    // The menu bar; F10 then reaches it as Alt does.
    void SetMenuBar(QMenuBar* menuBar);
    QMenuBar* MenuBar() const { return menuBar_; }
    // Highlights the bar's first item and hands it the keys (a second call
    // leaves the bar, as a second Alt does).
    void EnterMenuBar();
    // Escape closes the window as its close button does, as a dialog's does.
    void CloseWithEscape();

    // Where the window goes when it is shown: centred on the screen (the
    // first time only) or over the main window (every time).
    FormPosition Position = FormPosition::Designed;
    QWidget* MainForm = nullptr;

protected:
    // Called when the window is shown, and when it closes (by any path).
    virtual void FormShow() {}
    virtual void FormClose() {}

    void setVisible(bool visible) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void PlaceOnShow();
    // Centres the window as Position asks (on the screen only at its first
    // showing); moves it only when the place changes.
    void Centre(bool onScreen);

    QVBoxLayout* layout_;
    QWidget* client_;
    QMenuBar* menuBar_ = nullptr;
    QShortcut* menuKey_ = nullptr;
    bool shownOnce_ = false;
    bool closesWithEscape_ = false;
    bool firstShowing_ = false; // the showing under way is the first
    BorderStyle border_;
    unsigned borderIcons_;
    std::unique_ptr<WindowFrame> frame_;
};

} // namespace platform
