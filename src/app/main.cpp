#include "app/Startup.h"

#include <QGuiApplication>

int main(int argc, char** argv) {
    // The window class and the desktop entry's name, whatever the executable
    // is called: the desktop matches windows to charolist.desktop by them.
    QCoreApplication::setApplicationName(QStringLiteral("charolist"));
    QGuiApplication::setDesktopFileName(QStringLiteral("charolist"));
    return app::RunProgram(argc, argv);
}
