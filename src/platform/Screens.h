// High-density screens: the ratio policy, and a watch that keeps drawn text
// for redrawing while any screen's device pixel ratio is above 1.
#pragma once

#include <functional>

class QWidget;

namespace platform {

// Fractional ratios (1.25, 1.5, 1.75) are taken to the nearest whole
// number, so that every skin pixel becomes a whole block of device pixels.
// Must come before the application object is made.
void UseWholeDeviceRatios();

// Turns keeping text (SetKeepTexts) on while a screen denser than 1 is
// present, and follows screens coming, going and changing their density.
// `repaintAll` runs when that changes, for pictures cached before to be
// made again.
void WatchScreens(std::function<void()> repaintAll);

// Repaints the top-level `window` whenever it comes onto another screen, so
// that its pictures are drawn at that screen's ratio. Once its native window
// exists; calling again does nothing.
void FollowScreenOf(QWidget* window);

} // namespace platform
