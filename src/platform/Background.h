// Work started ahead on a thread of its own, such as reading data the
// program needs a few milliseconds later. The thread runs at a lower
// priority, so that it takes only what the main thread leaves of the
// processors: on a machine with few of them it must not slow the start it
// is meant to shorten.
#pragma once

#include <future>
#include <type_traits>
#include <utility>

namespace platform {

// Lowers the calling thread's priority (a niceness of 10 on Linux).
void LowerThisThreadsPriority();

template <class Work>
std::future<std::invoke_result_t<Work>> StartInBackground(Work work) {
    return std::async(std::launch::async, [work = std::move(work)]() mutable {
        LowerThisThreadsPriority();
        return work();
    });
}

} // namespace platform
