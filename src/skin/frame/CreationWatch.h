// The watch on window creation that the skin manager installs while a skin
// is in force: every form and message box that appears gets a frame
// provider, as the manager's skinning rules allow.
#pragma once

#include "platform/WindowWatch.h"

class QWidget;

namespace skin {

class TsSkinProvider;

// A form whose tag, with these bits cleared, is this value keeps the
// window manager's frame.
constexpr int kUnskinnedFormTag = -98;
constexpr int kTagIgnoredBits = 0x61;

// Attaches a frame provider to a window about to appear; the provider, or
// null when the window is not to be skinned (or has one already).
class TacProvider {
public:
    static TsSkinProvider* Attach(QWidget& window, platform::WindowKind kind);
};

void InstallCreationWatch();
void RemoveCreationWatch();

} // namespace skin
