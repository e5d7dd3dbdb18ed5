#include "platform/Screens.h"

#include "platform/Canvas.h"

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>
#include <QWindow>

namespace platform {

namespace {

std::function<void()> gRepaintAll;
constexpr const char* kFollowed = "charolistFollowsScreen";

bool AnyDenseScreen() {
    for (QScreen* screen : QGuiApplication::screens())
        if (screen->devicePixelRatio() > 1.0)
            return true;
    return false;
}

void Reconsider() {
    const bool dense = AnyDenseScreen();
    if (dense == KeepsTexts())
        return;
    SetKeepTexts(dense);
    if (gRepaintAll)
        gRepaintAll();
}

void Follow(QScreen* screen) {
    // Qt has no event for a changed device pixel ratio; the DPI signals
    // come with one.
    QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, qApp, [] { Reconsider(); });
    QObject::connect(screen, &QScreen::physicalDotsPerInchChanged, qApp, [] { Reconsider(); });
}

} // namespace

void UseWholeDeviceRatios() {
    QGuiApplication::setHighDpiScaleFactorRoundingPolicy(
        Qt::HighDpiScaleFactorRoundingPolicy::Round);
}

void WatchScreens(std::function<void()> repaintAll) {
    gRepaintAll = std::move(repaintAll);
    SetKeepTexts(AnyDenseScreen());
    for (QScreen* screen : QGuiApplication::screens())
        Follow(screen);
    QObject::connect(qApp, &QGuiApplication::screenAdded, qApp, [](QScreen* screen) {
        Follow(screen);
        Reconsider();
    });
    QObject::connect(qApp, &QGuiApplication::screenRemoved, qApp, [] { Reconsider(); });
}

void FollowScreenOf(QWidget* window) {
    QWindow* handle = window->windowHandle();
    if (!handle || handle->property(kFollowed).toBool())
        return;
    handle->setProperty(kFollowed, true);
    QObject::connect(handle, &QWindow::screenChanged, window, [window] {
        Reconsider();
        window->update();
    });
}

} // namespace platform
