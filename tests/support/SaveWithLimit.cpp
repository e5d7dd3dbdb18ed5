// Test helper: saves a reading of N characters to a file while the process's
// file-size limit is LIMIT bytes (SIGXFSZ ignored, so the write fails with
// an error instead of killing the process).
// Usage: save_with_limit FILE LIMIT N. Exit 0 saved, 3 failed (message on
// stderr), 2 bad usage.
#include "oracle/ReadingFile.h"

#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    std::signal(SIGXFSZ, SIG_IGN);
    const rlim_t limit = std::strtoull(argv[2], nullptr, 10);
    const rlimit rl{limit, limit};
    if (setrlimit(RLIMIT_FSIZE, &rl) != 0)
        return 2;
    const int n = std::atoi(argv[3]);
    // Lines of 40 letters: n characters and n / 40 line breaks.
    QString log;
    for (int i = 0; i < n / 40; ++i)
        log += QString(40, u'ж') + "\r\n";
    try {
        oracle::SaveReading(QString::fromLocal8Bit(argv[1]), log);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
    return 0;
}
