#include "platform/FileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace platform {

namespace {

std::string CreateMessage(const QString& path, int error) {
    return QStringLiteral("Cannot create file \"%1\". %2")
        .arg(QDir::toNativeSeparators(QFileInfo(path).absoluteFilePath()), SystemErrorText(error))
        .toStdString();
}

// Writes every byte; false (with errno set) when the system refuses some.
bool WriteAll(int fd, const QByteArray& bytes) {
    const char* p = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, static_cast<size_t>(left));
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        p += n;
        left -= n;
    }
    return true;
}

mode_t NewFileMode() {
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

void WriteDirectly(const QByteArray& native, const QString& path, const QByteArray& bytes,
                   int createFlags) {
    const int fd = ::open(native.constData(), O_WRONLY | O_TRUNC | O_CLOEXEC | createFlags, 0666);
    if (fd < 0)
        throw EFCreateError(path, errno);
    const bool written = WriteAll(fd, bytes);
    ::close(fd);
    if (!written)
        throw EWriteError();
}

// Reads what is in a file from its start; false when it cannot.
bool ReadAll(int fd, QByteArray& bytes) {
    char buffer[65536];
    for (;;) {
        const ssize_t n = ::pread(fd, buffer, sizeof buffer, bytes.size());
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            return false;
        if (n == 0)
            return true;
        bytes.append(buffer, n);
    }
}

bool WriteAllAt(int fd, const QByteArray& bytes, off_t at) {
    return ::lseek(fd, at, SEEK_SET) == at && WriteAll(fd, bytes);
}

} // namespace

EFCreateError::EFCreateError(const QString& path, int error)
    : std::runtime_error(CreateMessage(path, error)) {}

QString SystemErrorText(int error) {
    QString text = QString::fromLocal8Bit(std::strerror(error));
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == u'.'))
        text.chop(1);
    return text;
}

void RewriteFileInPlace(const QString& path, const QByteArray& bytes) {
    const QByteArray native = QFile::encodeName(path);
    const int fd = ::open(native.constData(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        // Writable but not readable: nothing can be kept, write it directly.
        if (errno == EACCES) {
            WriteDirectly(native, path, bytes, 0);
            return;
        }
        throw EFCreateError(path, errno);
    }
    QByteArray old;
    if (!ReadAll(fd, old)) {
        const int error = errno;
        ::close(fd);
        throw EFCreateError(path, error);
    }
    if (bytes.size() > old.size() &&
        !WriteAllAt(fd, QByteArray(bytes.size() - old.size(), '\0'), old.size())) {
        const int error = errno;
        (void)::ftruncate(fd, old.size());
        ::close(fd);
        if (error == ENOSPC || error == EDQUOT || error == EFBIG)
            throw EWriteError();
        throw EFCreateError(path, error);
    }
    const bool written =
        WriteAllAt(fd, bytes, 0) && ::ftruncate(fd, bytes.size()) == 0 && ::fsync(fd) == 0;
    if (!written) {
        if (WriteAllAt(fd, old, 0))
            (void)::ftruncate(fd, old.size());
        ::close(fd);
        throw EWriteError();
    }
    ::close(fd);
}

void WriteWholeFile(const QString& path, const QByteArray& bytes) {
    QByteArray target = QFile::encodeName(path);
    struct stat st {};
    const bool exists = ::stat(target.constData(), &st) == 0;
    if (exists && !S_ISREG(st.st_mode)) {
        WriteDirectly(target, path, bytes, 0);
        return;
    }
    // Replace what a link points to, not the link.
    if (exists) {
        if (char* real = ::realpath(target.constData(), nullptr)) {
            target = real;
            std::free(real);
        }
    }
    const QByteArray folder =
        QFile::encodeName(QFileInfo(QFile::decodeName(target)).absolutePath());
    QByteArray temp = folder + "/.charolist-save-XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        const int error = errno;
        if (error == EACCES || error == EPERM || error == EROFS) {
            // The folder takes no new files: write the target in place.
            if (exists)
                RewriteFileInPlace(QFile::decodeName(target), bytes);
            else
                WriteDirectly(target, path, bytes, O_CREAT);
            return;
        }
        throw EFCreateError(path, error);
    }
    ::fchmod(fd, exists ? (st.st_mode & 07777) : NewFileMode());
    const bool written = WriteAll(fd, bytes) && ::fsync(fd) == 0;
    ::close(fd);
    if (!written) {
        ::unlink(temp.constData());
        throw EWriteError();
    }
    if (::rename(temp.constData(), target.constData()) != 0) {
        const int error = errno;
        ::unlink(temp.constData());
        throw EFCreateError(path, error);
    }
}

} // namespace platform
