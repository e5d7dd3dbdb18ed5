#include "oracle/ReadingFile.h"

#include "platform/Encoding.h"
#include "platform/FileWriter.h"

namespace oracle {

QStringList SplitLogLines(const QString& text) {
    QStringList lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] != u'\r' && text[i] != u'\n')
            continue;
        lines << text.mid(start, i - start);
        if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
            ++i;
        start = i + 1;
    }
    if (start < text.size())
        lines << text.mid(start);
    return lines;
}

QByteArray ReadingFileBytes(const QString& logText) {
    QString joined;
    for (const QString& line : SplitLogLines(logText))
        joined += line + QStringLiteral("\r\n");
    return platform::ToAnsi(joined);
}

void SaveReading(const QString& path, const QString& logText) {
    platform::WriteWholeFile(path, ReadingFileBytes(logText));
}

} // namespace oracle
