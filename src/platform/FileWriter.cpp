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

} // namespace

EFCreateError::EFCreateError(const QString& path, int error)
    : std::runtime_error(CreateMessage(path, error)) {}

QString SystemErrorText(int error) {
    QString text = QString::fromLocal8Bit(std::strerror(error));
    while (!text.isEmpty() && (text.back().isSpace() || text.back() == u'.'))
        text.chop(1);
    return text;
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
