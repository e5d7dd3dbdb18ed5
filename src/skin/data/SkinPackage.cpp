#include "skin/data/SkinPackage.h"

#include "platform/Encoding.h"
#include "platform/Paths.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <zlib.h>

namespace skin {

namespace {

const QByteArray kMagic("ASzf", 4);
const QString kOptionsMember = QStringLiteral("OPTIONS.DAT");

class Reader {
public:
    explicit Reader(const QByteArray& bytes) : bytes_(bytes) {}

    qint32 Int32() {
        Need(4);
        const auto* p = reinterpret_cast<const uint8_t*>(bytes_.constData() + pos_);
        pos_ += 4;
        return static_cast<qint32>(p[0] | (p[1] << 8) | (p[2] << 16) | (uint32_t(p[3]) << 24));
    }
    QByteArray Bytes(qsizetype n) {
        Need(n);
        const QByteArray out = bytes_.mid(pos_, n);
        pos_ += n;
        return out;
    }
    qsizetype Position() const { return pos_; }
    void Skip(qsizetype n) { pos_ += n; }
    qsizetype Left() const { return bytes_.size() - pos_; }
    const QByteArray& Source() const { return bytes_; }

private:
    void Need(qsizetype n) const {
        if (n < 0 || Left() < n)
            throw ESkinError("Skin package is truncated");
    }
    const QByteArray& bytes_;
    qsizetype pos_ = 0;
};

// Deflate expands a byte into at most this many.
constexpr qint64 kMaxInflateRatio = 1032;

// Inflates one zlib stream of `available` bytes at `data` that must give
// exactly `size` bytes, into `out`, or into a small scratch buffer when
// `out` is null (to find where the stream ends without holding its bytes).
// Returns the number of bytes the stream took.
qsizetype InflateStream(const char* data, qsizetype available, qint64 size, QByteArray* out) {
    z_stream zs{};
    if (inflateInit(&zs) != Z_OK)
        throw ESkinError("Out of memory");
    // Inflate straight into the result. It starts no larger than the bytes
    // left in the package could inflate to, and one byte beyond the declared
    // size catches a stream that produces more than it declares.
    QByteArray scratch;
    QByteArray& target = out ? *out : scratch;
    const qint64 bound = std::min<qint64>(size, qint64(available) * kMaxInflateRatio + 1024);
    target = QByteArray(out ? static_cast<qsizetype>(bound) + 1 : 64 * 1024, Qt::Uninitialized);
    qint64 filled = 0;
    qsizetype at = 0; // where the next output goes in the target
    zs.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(data));
    zs.avail_in = static_cast<uInt>(std::min<qsizetype>(available, 0x7FFFFFFF));
    const uInt availableAtStart = zs.avail_in;
    auto fail = [&](const std::string& message) {
        inflateEnd(&zs);
        throw ESkinError(message);
    };
    int status = Z_OK;
    while (status != Z_STREAM_END) {
        if (at == target.size()) {
            if (out)
                target.resize(static_cast<qsizetype>(std::min<qint64>(size + 1, 2 * qint64(at))));
            else
                at = 0; // the scratch buffer is written over
        }
        const uInt room = static_cast<uInt>(std::min<qsizetype>(target.size() - at, 0x7FFFFFFF));
        zs.next_out = reinterpret_cast<Bytef*>(target.data() + at);
        zs.avail_out = room;
        status = inflate(&zs, Z_NO_FLUSH);
        const qsizetype produced = room - zs.avail_out;
        filled += produced;
        at += produced;
        if (status == Z_DATA_ERROR || status == Z_NEED_DICT || status == Z_STREAM_ERROR ||
            status == Z_MEM_ERROR)
            fail(zs.msg ? zs.msg : (status == Z_MEM_ERROR ? "out of memory" : "data error"));
        if (filled > size)
            fail("Skin package member is larger than it declares");
        // The package ended inside the stream.
        if (status == Z_BUF_ERROR || (status == Z_OK && zs.avail_in == 0 && produced == 0))
            fail("Stream read error");
    }
    const qsizetype consumed = availableAtStart - zs.avail_in;
    inflateEnd(&zs);
    if (filled != size)
        throw ESkinError("Stream read error");
    if (out)
        out->truncate(static_cast<qsizetype>(filled));
    return consumed;
}

QByteArray Int32Bytes(qint32 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return b;
}

QByteArray Deflate(const QByteArray& data, PackCompression compression) {
    uLongf size = compressBound(static_cast<uLong>(data.size()));
    QByteArray out(static_cast<qsizetype>(size), '\0');
    if (compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(data.constData()), static_cast<uLong>(data.size()),
                  compression == PackCompression::Stored ? Z_NO_COMPRESSION
                                                         : Z_DEFAULT_COMPRESSION) != Z_OK)
        throw ESkinError("Cannot compress a skin member");
    out.truncate(static_cast<qsizetype>(size));
    return out;
}

// A member name in the code page; one it cannot spell is refused rather
// than written with question marks.
QByteArray MemberNameBytes(const QString& name) {
    const QByteArray raw = platform::ToAnsi(name);
    if (platform::FromAnsi(raw) != name)
        throw ESkinError(("The name \"" + name + "\" cannot be written in a skin package: " +
                          "member names are in the Windows-1251 code page")
                             .toStdString());
    return raw;
}

QByteArray Record(const QString& name, const QByteArray& data, PackCompression compression) {
    const QByteArray rawName = MemberNameBytes(name);
    return Int32Bytes(static_cast<qint32>(rawName.size())) + rawName +
           Int32Bytes(static_cast<qint32>(data.size())) + Deflate(data, compression);
}

} // namespace

QString AsciiUpper(const QString& text) {
    QString out = text;
    for (QChar& c : out)
        if (c >= u'a' && c <= u'z')
            c = QChar(c.unicode() - 32);
    return out;
}

const TacImageItem* TacSkinConvertor::FindMember(const QString& reference) const {
    for (const TacImageItem& item : Members)
        if (AsciiUpper(item.MemberName) == reference)
            return &item;
    return nullptr;
}

QByteArray TacSkinConvertor::MemberBytes(const TacImageItem& item) const {
    if (item.StreamAt < 0 || item.MemberData.size() == item.Size)
        return item.MemberData;
    QByteArray bytes;
    InflateStream(Source.constData() + item.StreamAt, Source.size() - item.StreamAt, item.Size,
                  &bytes);
    return bytes;
}

namespace {

[[noreturn]] void Refuse(const char* what, qint64 limit) {
    throw ESkinError(QStringLiteral("The skin package is too large: %1 (at most %2 bytes)")
                         .arg(QLatin1String(what))
                         .arg(limit)
                         .toStdString());
}

} // namespace

TacSkinConvertor UnpackPackage(const QByteArray& source) {
    Reader in(source);
    if (in.Left() < 4 || in.Bytes(4) != kMagic)
        throw ESkinError("Loaded data is not a packed skin file");
    const qint32 count = in.Int32();
    if (count > kMaxMemberCount)
        throw ESkinError(QStringLiteral("The skin package has too many members: %1 (at most %2)")
                             .arg(count)
                             .arg(kMaxMemberCount)
                             .toStdString());
    TacSkinConvertor result;
    result.Source = source;
    qint64 unpacked = 0, kept = 0;
    for (qint32 i = 0; i < count; ++i) {
        const qint32 nameLength = in.Int32();
        if (nameLength < 0 || nameLength > kMaxNameLength)
            throw ESkinError("Skin package member name is too long");
        const QString name = platform::FromAnsi(in.Bytes(nameLength));
        const qint32 size = in.Int32();
        if (size < 0 || size > kMaxMemberSize)
            throw ESkinError("Skin package member size is invalid");
        const bool options = AsciiUpper(name) == kOptionsMember;
        if (options && size > kMaxOptionsSize)
            Refuse("its options text", kMaxOptionsSize);
        unpacked += size;
        if (unpacked > kMaxPackageUnpacked)
            Refuse("its members unpacked together", kMaxPackageUnpacked);
        // Keep what is small enough; the rest is only walked through now.
        const bool keep = options || kept + size <= kMaxKeptUnpacked;
        QByteArray data;
        const qsizetype at = in.Position();
        in.Skip(InflateStream(source.constData() + at, in.Left(), size, keep ? &data : nullptr));
        if (options) {
            result.OptionsText = std::move(data);
            continue;
        }
        if (keep)
            kept += size;
        const bool bitmap = AsciiUpper(name).endsWith(QStringLiteral(".BMP"));
        result.Members.push_back(TacImageItem{name, bitmap, std::move(data), at, size});
    }
    return result;
}

namespace {

[[noreturn]] void CannotRead(const char* verb, const QString& path, const QString& reason) {
    throw ESkinError(QStringLiteral("Cannot %1 file \"%2\". %3")
                         .arg(QLatin1String(verb), path, reason)
                         .toStdString());
}

[[noreturn]] void TooLarge(const QString& path, qint64 limit) {
    throw ESkinError(QStringLiteral("The file \"%1\" is too large for a skin (at most %2 bytes)")
                         .arg(path)
                         .arg(limit)
                         .toStdString());
}

// Closes a descriptor on every way out.
struct Descriptor {
    int Fd;
    ~Descriptor() {
        if (Fd >= 0)
            ::close(Fd);
    }
};

} // namespace

QByteArray ReadSkinFile(const QString& path, qint64 limit) {
    // Opened without blocking, and read only when it is a regular file: a
    // named pipe would block the open (and the program's start) for ever,
    // and a device may never end.
    const Descriptor file{
        ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY)};
    if (file.Fd < 0)
        CannotRead("open", path, QString::fromLocal8Bit(std::strerror(errno)));
    struct stat info {};
    if (::fstat(file.Fd, &info) != 0)
        CannotRead("open", path, QString::fromLocal8Bit(std::strerror(errno)));
    if (!S_ISREG(info.st_mode))
        CannotRead("open", path, QStringLiteral("It is not a regular file"));
    if (info.st_size > limit)
        TooLarge(path, limit);
    // Read one byte past the limit: a file that grows while it is read is
    // refused without reading it all.
    QByteArray bytes(static_cast<qsizetype>(std::min<qint64>(info.st_size, limit) + 1),
                     Qt::Uninitialized);
    qsizetype filled = 0;
    for (;;) {
        if (filled == bytes.size()) {
            if (filled > limit)
                TooLarge(path, limit);
            bytes.resize(static_cast<qsizetype>(std::min<qint64>(2 * qint64(filled), limit + 1)));
        }
        const ssize_t n = ::read(file.Fd, bytes.data() + filled, size_t(bytes.size() - filled));
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            CannotRead("read", path, QString::fromLocal8Bit(std::strerror(errno)));
        if (n == 0)
            break;
        filled += n;
    }
    if (filled > limit)
        TooLarge(path, limit);
    bytes.truncate(filled);
    return bytes;
}

std::optional<TacSkinConvertor> UnpackPackageFile(const QString& path) {
    if (!QFile::exists(path))
        return std::nullopt;
    return UnpackPackage(ReadSkinFile(path));
}

QByteArray PackPackage(const std::optional<QByteArray>& optionsText, const TacImageItems& members,
                       PackCompression compression) {
    QByteArray out = kMagic;
    out += Int32Bytes(static_cast<qint32>(members.size() + (optionsText ? 1 : 0)));
    if (optionsText)
        out += Record(QStringLiteral("Options.dat"), *optionsText, compression);
    for (const TacImageItem& item : members)
        out += Record(item.MemberName, item.MemberData, compression);
    return out;
}

QString WithSeparator(const QString& directory) {
    if (directory.isEmpty() || directory.endsWith(u'\\'))
        return directory;
    if (directory.endsWith(u'/'))
        return directory.left(directory.size() - 1) + u'\\';
    if (directory.size() == 1)
        return directory + QStringLiteral(":\\");
    return directory + u'\\';
}

QString ResolveSkinDirectory(const QString& directory, const QString& programFolder) {
    if (directory.startsWith(QStringLiteral(".."))) {
        QString parent = programFolder.left(programFolder.size() - 1);
        while (!parent.isEmpty() && !parent.endsWith(u'\\') && !parent.endsWith(u'/'))
            parent.chop(1);
        return parent + directory.mid(3);
    }
    if (directory.startsWith(QStringLiteral(".\\")) || directory.startsWith(QStringLiteral("./")))
        return programFolder + directory.mid(2);
    // This platform's absolute paths begin with '/'.
    if (!directory.contains(u':') && !directory.contains(QStringLiteral("\\\\")) &&
        !directory.startsWith(u'/'))
        return programFolder + directory;
    return directory;
}

SkinPlace PlaceOfSkin(const QString& path) {
    // A folder's trailing separator or a relative path name the same skin.
    const QFileInfo info(QDir::cleanPath(QFileInfo(path).absoluteFilePath()));
    if (!info.exists())
        throw ESkinError(("There is no skin at \"" + path + "\"").toStdString());
    if (info.isDir()) {
        if (!QFileInfo(
                 platform::FindInFolder(info.absoluteFilePath(), QStringLiteral("Options.dat")))
                 .isFile())
            throw ESkinError(("There is no Options.dat in \"" + path + "\"").toStdString());
        return {info.absolutePath(), info.fileName()};
    }
    if (info.suffix().compare(QStringLiteral("asz"), Qt::CaseInsensitive) != 0)
        throw ESkinError(
            ("\"" + path + "\" is not a skin package: its name does not end in \".asz\"")
                .toStdString());
    return {info.absolutePath(), info.completeBaseName()};
}

} // namespace skin
