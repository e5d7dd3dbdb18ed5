// Writing a whole file so that a failure never destroys what was there: the
// bytes go to a temporary file in the same folder, which replaces the target
// only once every byte is written. Where the folder forbids new files, the
// target is written directly; a target that is not a regular file (a device,
// a pipe) is always written directly and never renamed over.
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

} // namespace platform
