// Start-up time: from process start to the first painted frame of the main
// window, for the program and for a bare Qt window of the same size, in one
// run. Both end right after their first frame (the program is told so by
// CHAROLIST_QUIT_AFTER_FIRST_PAINT). Peak memory comes from the child's
// resource usage. Run under a display, for example:
//   xvfb-run -a build/bench/bench_startup
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>

extern char** environ;

namespace {

// Runs a program to its end; returns the wall time in seconds and the peak
// resident memory in KiB.
bool RunOnce(const char* path, double& seconds, long& peakKiB) {
    char* argv[] = {const_cast<char*>(path), nullptr};
    const auto start = std::chrono::steady_clock::now();
    pid_t pid = 0;
    if (posix_spawn(&pid, path, nullptr, nullptr, argv, environ) != 0)
        return false;
    int status = 0;
    rusage usage{};
    if (wait4(pid, &status, 0, &usage) != pid)
        return false;
    seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    peakKiB = usage.ru_maxrss;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void Measure(benchmark::State& state, const char* path) {
    setenv("CHAROLIST_QUIT_AFTER_FIRST_PAINT", "1", 1);
    long peak = 0;
    for (auto _ : state) {
        double seconds = 0;
        long kib = 0;
        if (!RunOnce(path, seconds, kib)) {
            state.SkipWithError("the program did not run to a clean end");
            return;
        }
        state.SetIterationTime(seconds);
        peak = std::max(peak, kib);
    }
    state.counters["peak_MiB"] = peak / 1024.0;
}

void BM_BareWindow(benchmark::State& state) {
    Measure(state, BARE_PATH);
}
void BM_Program(benchmark::State& state) {
    Measure(state, PROGRAM_PATH);
}

} // namespace

BENCHMARK(BM_BareWindow)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(BM_Program)
    ->UseManualTime()
    ->Unit(benchmark::kMillisecond)
    ->Iterations(10)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK_MAIN();
