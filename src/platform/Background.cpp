#include "platform/Background.h"

#include <sys/resource.h>
#include <unistd.h>

namespace platform {

void LowerThisThreadsPriority() {
    // On Linux the niceness is each thread's own; failing leaves it as it was.
    setpriority(PRIO_PROCESS, static_cast<id_t>(gettid()), 10);
}

} // namespace platform
