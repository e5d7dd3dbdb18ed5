// Writing a whole file so that a failure never destroys what was there: the
// bytes go to a temporary file in the same folder, which replaces the target
// only once every byte is written. Where the folder forbids new files, an
// existing target is rewritten in place so that a failure (a full disk)
// still leaves its old bytes; a target that is not a regular file (a
// device, a pipe) is always written directly and never renamed over.
#pragma once

#include <QByteArray>
#include <QString>
#include <stdexcept>

namespace platform {

// Raised when the file cannot be created: "Cannot create file "PATH". REASON".
class EFCreateError : public std::runtime_error {
public:
    EFCreateError(const QString& path, int error);
};

// Raised when writing the bytes fails: "Stream write error".
class EWriteError : public std::runtime_error {
public:
    EWriteError() : std::runtime_error("Stream write error") {}
};

// The system's text for an error number, without trailing blanks, line breaks
// and full stops.
QString SystemErrorText(int error);

void WriteWholeFile(const QString& path, const QByteArray& bytes);

// Rewrites an existing file where no temporary file can be made beside it,
// so that a failure leaves its old bytes: the file first grows to the new
// length by bytes appended after the old ones (a full disk refuses that
// without touching them, and the file is cut back), then the new bytes go
// over it and it is cut to length; should that fail, the old bytes, kept in
// memory, are written back. A file that may be written but not read is
// written directly. Throws as WriteWholeFile.
void RewriteFileInPlace(const QString& path, const QByteArray& bytes);

} // namespace platform
