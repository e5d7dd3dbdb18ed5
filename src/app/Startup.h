// Program entry: the version switch, the application's settings and the run
// of the event loop.
#pragma once

#include <QStringList>

class QApplication;

namespace app {

class WindowSet;

// The skin engine's version, shown for the "/acver" switch.
inline const QString kEngineVersionText = QStringLiteral("Skin engine v7.08");

// Whether any argument, in lower case, is "/acver".
bool AsksForEngineVersion(const QStringList& arguments);

// Shows the engine's version when the arguments ask for it. Runs before any
// window of the program exists.
void ShowStartupMessages(const QStringList& arguments);

// Settings every run shares: the empty application title, the embedded
// fonts, and that closing the main window ends the program.
void PrepareApplication(QApplication& app);

// What waits for the main window's first paint, since nobody sees it
// before: the program's icon and the companion windows.
void FinishStartUp(QApplication& app, WindowSet& windows);

int RunProgram(int argc, char** argv);

} // namespace app
