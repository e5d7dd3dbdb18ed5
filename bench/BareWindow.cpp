// The floor for start-up: a bare Qt program that shows one empty window of
// the main window's size and ends after its first painted frame.
#include "platform/FirstPaint.h"

#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(792, 564); // the main window: client area and menu bar
    platform::QuitAfterFirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return app.exec();
}
