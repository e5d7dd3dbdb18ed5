// A watch on the program's top-level windows: it is told about each window
// just before the window first appears (before its native window exists),
// so that whoever draws frames may take the window over. Forms, the program's
// message boxes and the save dialog report themselves here.
#pragma once

#include <functional>

class QWidget;

namespace platform {

enum class WindowKind { Form, MessageBox, SystemDialog };

using WindowWatch = std::function<void(QWidget& window, WindowKind kind)>;

// One watch at a time; an empty function removes it.
void SetWindowWatch(WindowWatch watch);
bool WindowWatchInstalled();
// Called by a window about to appear.
void WindowCreating(QWidget& window, WindowKind kind);

} // namespace platform
