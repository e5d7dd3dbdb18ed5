// The frame of a window drawn from the skin. Attached to a window before it
// first appears, it makes the window frameless, lays the client area inside
// the skin's border, keeps the whole window's picture (WindowPicture) and
// paints it, answers the children's background requests from it, and
// handles the title buttons, moving and resizing with the mouse. Without an
// active skin it gives the window back to the window manager.
#pragma once

#include "platform/Form.h"
#include "platform/WindowWatch.h"
#include "skin/draw/TsCommonData.h"
#include "skin/frame/FrameLayout.h"
#include "skin/frame/TitleButtonAccess.h"

#include <QMargins>
#include <QObject>
#include <QPoint>
#include <QPointer>

class QMenuBar;

namespace skin {

// The kind of the frame's skin data.
constexpr int KindFormFrame = 224;

class TsSkinProvider : public QObject, public platform::WindowFrame {
    Q_OBJECT
public:
    TsSkinProvider(QWidget& window, platform::WindowKind kind);
    ~TsSkinProvider() override;

    // The provider of a window, or null.
    static TsSkinProvider* Of(QWidget* window);

    bool FrameMessage(platform::Message& message) override;

    // Published settings of an attached provider.
    TsCommonData& SkinData() { return data_; }
    QString TitleSkin, MenuLineSkin;
    bool ShowAppIcon = true;
    bool UseGlobalColor = false;

    // Whether the frame is drawn by us now.
    bool Skinned() const { return skinned_; }
    QWidget& Window() const { return *window_; }

    // The whole window's picture, rendered when out of date.
    const platform::Bitmap& WindowPicture();
    // Whether the picture is up to date (rendered and not invalidated since).
    bool PictureReady() const { return skinned_ && !invalid_; }
    // The menu band as rendered with the window's picture (empty without a
    // menu); the bar's items are drawn over it.
    const platform::Bitmap& MenuBarPicture();
    // The menu band in the window's coordinates; the menu bar widget lies
    // exactly there.
    QRect MenuBarRect() const { return geometry_.MenuBandRect; }
    // Renders the picture again and repaints the menu band.
    void RepaintMenuBar();
    const FrameGeometry& Geometry() const { return geometry_; }
    // Where the client area (the form's client widget) lies in the picture.
    QPoint ClientOffset() const;

    // Marks the picture out of date and repaints the window.
    void Invalidate();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    bool GripEvent(QEvent* event);
    bool WindowEvent(QEvent* event);
    void PaintWindow(QRect area);

private:
    TsSkinManager* Manager() const;
    bool SkinAvailable() const;
    void AnswerBackground(BackgroundRequest& request);
    void Skin();
    void Unskin();
    WindowLook Look() const;
    void Relayout();
    void Render();
    void UpdateOutline();
    QMenuBar* MenuBar() const;

    bool OnMousePress(QMouseEvent* e);
    bool OnMouseMove(QMouseEvent* e);
    bool OnMouseRelease(QMouseEvent* e);
    void SetButtons(TitleButtonStates states);
    void PressButton(TitleButtonKind kind);
    Qt::Edges EdgesAt(QPoint p) const;
    void ResetDrag();
    void PlaceGrip();

    QPointer<QWidget> window_;
    platform::TForm* form_; // null for dialogs
    platform::WindowKind kind_;
    TsCommonData data_;
    bool skinned_ = false;
    bool invalid_ = true;
    FrameGeometry geometry_;
    platform::Bitmap picture_, menuBar_, underButtons_;
    TitleButtonStates buttons_;
    // The grip as a child laid over the others, so that a control reaching
    // into the corner neither hides it nor takes its presses.
    QPointer<QWidget> grip_;
    TitleButtonAccess access_;

    // What the window had before we took it over.
    Qt::WindowFlags oldFlags_;
    QMargins oldMargins_;

    // A press on the title band or a border, waiting for the first move.
    enum class Drag { None, Move, Resize } drag_ = Drag::None;
    Qt::Edges dragEdges_;
    bool manual_ = false; // the window system could not move it: we do
    QPoint pressGlobal_;
    QRect pressGeometry_;
};

} // namespace skin
