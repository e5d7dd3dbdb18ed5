#include "platform/Background.h"

#include <gtest/gtest.h>
#include <stdexcept>
#include <sys/resource.h>
#include <thread>
#include <unistd.h>

namespace {

int NicenessOfThisThread() {
    return getpriority(PRIO_PROCESS, static_cast<id_t>(gettid()));
}

} // namespace

// The work runs on a thread of its own at a lower priority; its result or
// its error comes back through the future, and the caller keeps its own
// priority.
TEST(Background, RunsElsewhereAtALowerPriority) {
    const int mine = NicenessOfThisThread();
    auto seen = platform::StartInBackground([] {
        return std::make_pair(std::this_thread::get_id(), NicenessOfThisThread());
    }).get();
    EXPECT_NE(seen.first, std::this_thread::get_id());
    EXPECT_EQ(seen.second, std::min(mine + 10, 19));
    EXPECT_EQ(NicenessOfThisThread(), mine);

    auto failing = platform::StartInBackground([]() -> int { throw std::runtime_error("broken"); });
    EXPECT_THROW(failing.get(), std::runtime_error);
}
