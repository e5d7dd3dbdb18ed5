#include "platform/WindowWatch.h"

namespace platform {

namespace {

WindowWatch& Watch() {
    static WindowWatch watch;
    return watch;
}

} // namespace

void SetWindowWatch(WindowWatch watch) {
    Watch() = std::move(watch);
}

bool WindowWatchInstalled() {
    return static_cast<bool>(Watch());
}

void WindowCreating(QWidget& window, WindowKind kind) {
    if (Watch())
        Watch()(window, kind);
}

} // namespace platform
