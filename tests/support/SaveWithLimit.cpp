// Test helper: saves a reading of N characters to a file while the process's
// file-size limit is LIMIT bytes (SIGXFSZ ignored, so the write fails with
// an error instead of killing the process).
// Usage: save_with_limit FILE LIMIT N [in-place]. With "in-place", N bytes
// are written over the existing FILE as a folder that takes no new files
// makes the program do. Exit 0 saved, 3 failed (message on stderr), 2 bad
// usage.
#include "oracle/ReadingFile.h"
#include "platform/FileWriter.h"

#include <QString>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <sys/resource.h>

int main(int argc, char** argv) {
    if (argc != 4 && !(argc == 5 && std::string(argv[4]) == "in-place"))
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
        if (argc == 5)
            platform::RewriteFileInPlace(QString::fromLocal8Bit(argv[1]), QByteArray(n, 'n'));
        else
            oracle::SaveReading(QString::fromLocal8Bit(argv[1]), log);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 3;
    }
    return 0;
}
