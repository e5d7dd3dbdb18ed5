#include "platform/Application.h"

#include "platform/Dialogs.h"
#include "platform/ProgramStyle.h"

#include <cstdio>
#include <stdexcept>

namespace platform {

TApplication::TApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setStyle(new ProgramStyle);
}

bool TApplication::notify(QObject* receiver, QEvent* event) {
    // Last line of defence: handlers run their commands through RunCommand,
    // but nothing must unwind through Qt's own frames.
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& error) {
        HandleException(error);
    } catch (...) {
        HandleException(std::runtime_error("Unknown error"));
    }
    return true;
}

void HandleException(const std::exception& error) {
    try {
        ShowErrorBox(WithFullStop(QString::fromUtf8(error.what())));
    } catch (...) {
        std::fprintf(stderr, "charolist: %s\n", error.what());
    }
}

bool RunCommand(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::exception& error) {
        HandleException(error);
    } catch (...) {
        HandleException(std::runtime_error("Unknown error"));
    }
    return false;
}

} // namespace platform
