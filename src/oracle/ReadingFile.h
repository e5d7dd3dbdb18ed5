// The saved reading: the log's lines, each ended by CR LF, in the 8-bit code
// page, no byte-order mark.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace oracle {

// Splits the log's text at CR LF, lone CR and lone LF. A text that ends with
// a line break gives no extra empty line; an empty text gives no lines.
QStringList SplitLogLines(const QString& text);

// The bytes of the file for the log's text.
QByteArray ReadingFileBytes(const QString& logText);

// Writes the reading to a file (replacing it only when all is written).
// Throws platform::EFCreateError or platform::EWriteError.
void SaveReading(const QString& path, const QString& logText);

} // namespace oracle
