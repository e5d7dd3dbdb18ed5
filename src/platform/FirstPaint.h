// Work put off until a window's first paint, and the end of the application
// right after that paint for start-up measurements. Header-only, so that a
// bare benchmark program can use it without linking the program's
// libraries. When CHAROLIST_START_NS holds the launcher's CLOCK_MONOTONIC
// time of the start in nanoseconds, the time from there to the painted
// frame is printed as "first-paint-ms N" on stdout (taken once the paint and
// the flush to the window are done), so that the measurement leaves out the
// program's ending.
#pragma once

#include <QCoreApplication>
#include <QEvent>
#include <QObject>
#include <QTimer>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <utility>

namespace platform {

// Runs a piece of work once, queued right after the watched widget's first
// paint, so that the work waits until the window shows something.
class AfterFirstPaint : public QObject {
public:
    explicit AfterFirstPaint(std::function<void()> work) : work_(std::move(work)) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && work_)
            QTimer::singleShot(0, this, std::exchange(work_, {}));
        return QObject::eventFilter(watched, event);
    }

private:
    std::function<void()> work_;
};

class QuitAfterFirstPaint : public AfterFirstPaint {
public:
    QuitAfterFirstPaint()
        : AfterFirstPaint([] {
              if (const char* start = std::getenv("CHAROLIST_START_NS")) {
                  timespec now{};
                  clock_gettime(CLOCK_MONOTONIC, &now);
                  const double ns = now.tv_sec * 1e9 + now.tv_nsec - std::strtod(start, nullptr);
                  std::printf("first-paint-ms %.3f\n", ns / 1e6);
                  std::fflush(stdout);
              }
              QCoreApplication::quit();
          }) {}
};

} // namespace platform
