// The application object and its top-level handler: an error that escapes a
// command is shown in the error box and the program goes on. No exception
// ever crosses Qt's event loop.
#pragma once

#include <QApplication>
#include <exception>
#include <functional>

namespace platform {

class TApplication : public QApplication {
public:
    TApplication(int& argc, char** argv);
    bool notify(QObject* receiver, QEvent* event) override;
};

// Shows the error of a failed command (with the full stop rule).
void HandleException(const std::exception& error);

// Runs a command inside the top-level handler. Returns false when it failed.
bool RunCommand(const std::function<void()>& command);

// Wraps a command for connecting to a Qt signal.
inline auto Guarded(std::function<void()> command) {
    return [command = std::move(command)] { RunCommand(command); };
}

} // namespace platform
