// The skinned frame of a window, without widgets: where the border, the
// title band, the icon, the title buttons, the caption, the menu band and
// the grip lie, and the whole window's picture rendered from the skin.
//
//   +--------------------------------------------------------------+
//   | [icon] caption .............................       [_][x]   |  title band
//   |--------------------------------------------------------------|  (top border
//   | menu band (main window only)                                 |   + caption)
//   |--------------------------------------------------------------|
//   |                                                              |
//   |  client area: the FORM picture, tiled from the window's      |
//   |  top-left corner                                      [grip] |
//   +--------------------------------------------------------------+
#pragma once

#include "platform/Bitmap.h"
#include "platform/Fonts.h"
#include "skin/data/SkinLooks.h"
#include "skin/data/TsSkinManager.h"

#include <QImage>
#include <QRect>
#include <QRegion>
#include <vector>

namespace skin {

// What the frame needs to know of a window.
struct WindowLook {
    QSize Size;               // the whole window, frame included
    bool Sizeable = false;    // a sizing border (else a fixed one)
    bool DialogStyle = false; // a dialog's frame: no spacing between buttons
    bool Active = false;
    bool Enabled = true;
    bool HasMenu = false;
    // The menu band's height when it must be more than the menu height's
    // rule gives (a bar whose items need more room); 0 for the rule.
    int MenuBandHeight = 0;
    bool SystemMenu = true; // a close button
    bool Minimize = false, Maximize = false;
    bool Maximized = false, Minimized = false;
    bool Grip = false;
    QString Caption;
    QImage Icon; // the small icon; none when null
};

enum class TitleButtonKind { Close, Maximize, Restore, Minimize };

struct TitleButton {
    TitleButtonKind Kind;
    int Mask = -1; // in the manager's mask table
    QRect Rect;
};

struct FrameGeometry {
    int Border = 0, Title = 0, MenuBand = 0;
    QRect TitleBand;                  // from the top edge to the bottom of the caption area
    QRect IconRect;                   // empty when no icon is shown
    std::vector<TitleButton> Buttons; // from right to left: close first
    QRect CaptionRect;
    QRect MenuBandRect; // empty without a menu
    QRect ClientRect;
    QRect GripRect;
    int GripMask = -1;

    QPoint ClientOffset() const { return ClientRect.topLeft(); }
    // The index of the title button at p, or -1.
    int ButtonAt(QPoint p) const;
};

// The frame's sizes from the platform metrics: the dialog-frame width for
// fixed windows, the sizing-frame width for sizeable ones, the caption
// height, and the menu height less one.
int FrameBorderWidth(bool sizeable);
int FrameTitleHeight();
int FrameMenuBandHeight();
// The caption font of title bars.
platform::TFont CaptionFont();

FrameGeometry LayOutFrame(const TsSkinManager& manager, const WindowLook& look);

// The state a section of the frame shows: 1 while the window is active.
VisualState FrameState(const TsGeneralData& section, bool active);

// Which title button is under the mouse and which is held down (-1: none).
struct TitleButtonStates {
    int Hot = -1, Pressed = -1;
    VisualState StateOf(int button) const;
};

// Everything of the window's picture; `menuBar` (when given) receives the
// menu band's pixels, `underButtons` the window's top rows down to the
// buttons' bottom as they were before the buttons were laid (for repainting one button).
struct FramePictures {
    platform::Bitmap& Window;
    platform::Bitmap* MenuBar = nullptr;
    platform::Bitmap* UnderButtons = nullptr;
};
void RenderWindowPicture(const TsSkinManager& manager, int formSection, const WindowLook& look,
                         const FrameGeometry& geometry, const TitleButtonStates& buttons,
                         FramePictures pictures);
// Lays title button `index` again in its state over the saved title band.
void RepaintTitleButton(const TsSkinManager& manager, const FrameGeometry& geometry, int index,
                        const TitleButtonStates& buttons, platform::Bitmap& window,
                        const platform::Bitmap& underButtons);

// The window's outline: the whole rectangle less the see-through pixels of
// the corners of the FORM border frame shown in `state`.
QRegion FrameOutline(const TsSkinManager& manager, int formSection, QSize size, VisualState state);

} // namespace skin
