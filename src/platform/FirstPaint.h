// Ends the application right after the watched window's first paint; for
// start-up measurements. Header-only, so a bare benchmark program can use it
// without linking the program's libraries. When CHAROLIST_START_NS holds the
// launcher's CLOCK_MONOTONIC time of the start in nanoseconds, the time from
// there to the painted frame is printed as "first-paint-ms N" on stdout
// (taken once the paint and the flush to the window are done), so that the
// measurement leaves out the program's ending.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>

namespace platform {

class QuitAfterFirstPaint : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && !seen_) {
            seen_ = true;
            QTimer::singleShot(0, qApp, [] {
                if (const char* start = std::getenv("CHAROLIST_START_NS")) {
                    timespec now{};
                    clock_gettime(CLOCK_MONOTONIC, &now);
                    const double ns = now.tv_sec * 1e9 + now.tv_nsec - std::strtod(start, nullptr);
                    std::printf("first-paint-ms %.3f\n", ns / 1e6);
                    std::fflush(stdout);
                }
                QCoreApplication::quit();
            });
        }
        return QObject::eventFilter(watched, event);
    }

private:
    bool seen_ = false;
};

} // namespace platform
