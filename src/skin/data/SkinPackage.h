// Skin packages (".asz"): the options text and the pictures of a skin packed
// into one file. Layout, all integers 32-bit little-endian and signed:
//
//   "ASzf"  member count N  then N records of
//   name length L | L bytes of name | unpacked size S | one zlib stream of S bytes
//
// The compressed length is not stored: the next record starts where the
// inflater stopped consuming. Packages come from outside, so every size is
// checked against the bytes that are really there before it is trusted.
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
    QByteArray MemberData;
};
using TacImageItems = std::vector<TacImageItem>;

struct TacSkinConvertor {
    std::optional<QByteArray> OptionsText;
    TacImageItems Members; // the pictures, in package order

    // The first member whose name in upper case (ASCII letters only) equals
    // the reference exactly; null when there is none.
    const TacImageItem* FindMember(const QString& reference) const;
};

// Largest member the reader accepts, and the longest member name.
constexpr qint64 kMaxMemberSize = 256LL * 1024 * 1024;
constexpr qint32 kMaxNameLength = 4096;

// Reads a package. Throws ESkinError:
//   "Loaded data is not a packed skin file"  wrong magic
//   zlib's own message ("data error", ...)    a corrupt stream
//   "Stream read error"                        a stream that ends too early
//   and, for what no package should hold, "Skin package is truncated",
//   "Skin package member name is too long", "Skin package member size is
//   invalid" and "Skin package member is larger than it declares".
TacSkinConvertor UnpackPackage(const QByteArray& source);

// Reads a package file; no result (and no error) when there is no such file.
std::optional<TacSkinConvertor> UnpackPackageFile(const QString& path);

// Writes a package: the options text first (when given), then the pictures
// in the order given, each with zlib's default settings.
QByteArray PackPackage(const std::optional<QByteArray>& optionsText, const TacImageItems& members);

// Upper case of ASCII letters only, as member names are compared.
QString AsciiUpper(const QString& text);

// Directory texts in their stored form ("c:\Skins").
QString WithSeparator(const QString& directory);
// Makes a directory absolute against the program's folder P (which ends
// with its separator). No separator is appended.
QString ResolveSkinDirectory(const QString& directory, const QString& programFolder);

} // namespace skin
