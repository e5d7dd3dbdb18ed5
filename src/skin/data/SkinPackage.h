// Skin packages (".asz"): the options text and the pictures of a skin packed
// into one file. Layout, all integers 32-bit little-endian and signed:
//
//   "ASzf"  member count N  then N records of
//   name length L | L bytes of name | unpacked size S | one zlib stream of S bytes
//
// The compressed length is not stored: the next record starts where the
// inflater stopped consuming. Packages come from outside, so every size is
// checked against the bytes that are really there before it is trusted, and
// what a package may make the reader hold is capped (see the limits below).
// Member names are in the 8-bit code page (Windows-1251), as the options
// text that names them.
#pragma once

#include <QByteArray>
#include <QString>
#include <optional>
#include <stdexcept>
#include <vector>

namespace skin {

// A skin that cannot be read; the message is what the user is shown.
class ESkinError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

struct TacImageItem {
    QString MemberName;    // as stored
    bool IsBitmap = false; // the name ends in ".BMP", any letter case
    // The inflated bytes, while the reader kept them; large members are
    // inflated again only when a loader asks for them (MemberBytes).
    QByteArray MemberData;
    qsizetype StreamAt = -1; // where the member's zlib stream starts in the source
    qint32 Size = 0;         // its unpacked size
};
using TacImageItems = std::vector<TacImageItem>;

struct TacSkinConvertor {
    std::optional<QByteArray> OptionsText;
    TacImageItems Members; // the pictures, in package order

    // The first member whose name in upper case (ASCII letters only) equals
    // the reference exactly; null when there is none.
    const TacImageItem* FindMember(const QString& reference) const;
    // A member's bytes: kept ones as they are, others inflated anew.
    QByteArray MemberBytes(const TacImageItem& item) const;

    QByteArray Source; // the package, for members that were not kept
};

// What a package may make the reader hold. The Wood skin (four members,
// 470 KB unpacked, a 16 KB options text) fits each of these a hundred
// times over; a package past one of them is refused with a message.
constexpr qint32 kMaxMemberCount = 4096;
constexpr qint32 kMaxNameLength = 4096;
constexpr qint64 kMaxMemberSize = 64LL * 1024 * 1024;
// All members' unpacked sizes together: every stream is inflated once to
// find where the next record starts, so this also bounds the reading time.
constexpr qint64 kMaxPackageUnpacked = 128LL * 1024 * 1024;
constexpr qint64 kMaxOptionsSize = 2LL * 1024 * 1024;
// Members are kept while reading up to this total; the rest wait until a
// loader asks for them, so members nothing refers to cost no memory.
constexpr qint64 kMaxKeptUnpacked = 16LL * 1024 * 1024;
// The largest file read from disk: a package, or a file of a skin folder.
constexpr qint64 kMaxSkinFileSize = 64LL * 1024 * 1024;

// Reads a package. Throws ESkinError:
//   "Loaded data is not a packed skin file"  wrong magic
//   zlib's own message ("data error", ...)    a corrupt stream
//   "Stream read error"                        a stream that ends too early
//   and, for what no package should hold, "Skin package is truncated",
//   "Skin package member name is too long", "Skin package member size is
//   invalid", "Skin package member is larger than it declares", and the
//   messages of the limits above.
TacSkinConvertor UnpackPackage(const QByteArray& source);

// Reads a package file; no result (and no error) when there is no such file.
std::optional<TacSkinConvertor> UnpackPackageFile(const QString& path);

// How the members are squeezed: zlib's default settings, or zlib streams of
// stored blocks, which read back at copying speed (the program's own skin,
// read at every start from inside the program, where size matters less).
enum class PackCompression { Default, Stored };

// Writes a package: the options text first (when given), then the pictures
// in the order given. Throws ESkinError for a name the code page cannot spell.
QByteArray PackPackage(const std::optional<QByteArray>& optionsText, const TacImageItems& members,
                       PackCompression compression = PackCompression::Default);

// Reads a whole file of a skin; ESkinError when it cannot be read, is not a
// regular file (a named pipe, a device: never opened so that it blocks) or
// is larger than `limit` bytes.
QByteArray ReadSkinFile(const QString& path, qint64 limit = kMaxSkinFileSize);

// Upper case of ASCII letters only, as member names are compared.
QString AsciiUpper(const QString& text);

// Directory texts in their stored form ("c:\Skins").
QString WithSeparator(const QString& directory);
// Makes a directory absolute against the program's folder P (which ends
// with its separator). No separator is appended.
QString ResolveSkinDirectory(const QString& directory, const QString& programFolder);

// Where a skin manager finds the skin at a path: the folder the package
// file or skin folder lies in, and the skin's name there (a folder's name,
// a package's name without ".asz").
struct SkinPlace {
    QString Folder, Name;
};
// Throws ESkinError when nothing at `path` is a skin: nothing is there, a
// folder holds no Options.dat, or a file is not named as a package.
SkinPlace PlaceOfSkin(const QString& path);

} // namespace skin
