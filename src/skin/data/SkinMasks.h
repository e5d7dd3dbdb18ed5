// The pictures of a skin as painting uses them: the master image, the mask
// table (areas of the master image or pictures of their own, each named by
// section and key) and the pattern table (large JPEG backgrounds).
//
// Image notations of option values, by their first character (1-based
// character positions, fixed-width digit fields):
//   "@L@T@R@B@F@M"                glyph: area, frame count, mask kind
//   "^L^T^R^B^LW^TW^RW^BW^F^M^FM^U" border frame: area, four widths, frames,
//                                  mask kind, fill mode, uniform width
//   "~L~T~R~B~FM~M"               texture: area, fill mode, mask kind
//   "!NAME.BMP!F!M!K!LW!TW!RW!BW!FM"  a picture of its own
//   "NAME.BMP"                     a plain bitmap; "NAME.JPG" a background
#pragma once

#include "platform/Bitmap.h"
#include "skin/data/BorderFrame.h"
#include "skin/data/IniFile.h"
#include "skin/data/SkinPackage.h"
#include "skin/data/SkinSections.h"

#include <QHash>
#include <memory>
#include <optional>
#include <vector>

namespace skin {

class TsSkinManager;

struct TsArea {
    qint32 Left = 0, Top = 0, Right = 0, Bottom = 0;
    qint32 Width() const { return Right - Left; }
    qint32 Height() const { return Bottom - Top; }
    bool operator==(const TsArea&) const = default;
};

struct TsMaskData {
    std::optional<platform::Bitmap> OwnImage; // none for areas of the master image
    QString SectionName, KeyName;
    TsArea Area;
    int16_t FrameCount = 0, MaskKind = 0, UniformWidth = 0, FillMode = 0;
    uint8_t ImageKind = 0; // 0 border frame, 1 texture, 2 glyph, 3 and 4 external kinds
    int16_t LeftWidth = 0, TopWidth = 0, RightWidth = 0, BottomWidth = 0;
    const TsSkinManager* Owner = nullptr; // the manager that loaded the mask

    int FrameWidth() const;
    int FrameHeight() const;
    // The mask as a border frame: measured at its first use and kept (the
    // mask's picture does not change once the skin is loaded).
    const BorderFrame& Border() const;

private:
    mutable std::shared_ptr<const BorderFrame> border_;
};

// A pattern's picture once it is decoded, shared by the keys that name one JPEG.
struct DecodedPattern {
    std::optional<platform::Bitmap> Picture;
};

struct TsPatternData {
    QByteArray PatternImage; // the JPEG, kept compressed
    int Width = 0, Height = 0;
    QString SectionName, KeyName;            // upper case
    std::shared_ptr<DecodedPattern> Decoded; // none: decoded at every use
};

// A pattern's picture, opaque but for magenta: decoded when first asked
// for and then kept for every key that shares the JPEG; empty when it does
// not decode (painting never fails). Used by one thread at a time.
platform::Bitmap PatternPicture(const TsPatternData& pattern);

struct TsSkinImages {
    platform::Bitmap MasterImage;
    std::vector<TsMaskData> Masks;
    std::vector<TsPatternData> Patterns;
};

// All the pictures of one skin together may have at most this many pixels
// (128 MiB at 32 bits a pixel): the Wood skin's 243,000 fit 138 times.
constexpr qint64 kMaxSkinPixels = qint64(1) << 25;
// All the bytes one load may read or inflate for its pictures: twice what a
// package may hold unpacked, so that every member of the largest package
// can be read, and a folder of many large files cannot keep a load busy.
constexpr qint64 kMaxLoadBytes = 2 * kMaxPackageUnpacked;

// How a picture is made ready once decoded.
enum class PictureKind {
    Any,  // BMP, PNG or JPEG by its first bytes; opaque but for magenta
    Png,  // PNG only; transparent white cleared, then as Any
    Jpeg, // JPEG only; opaque but for magenta
};

class PictureCache;

// Where a skin's pictures come from: the members of a package, or the files
// of a folder (names matched without regard to letter case).
struct PictureSource {
    const TacSkinConvertor* Package = nullptr;
    QString Folder;                // a local path; for a package, the folder it lies in
    PictureCache* Cache = nullptr; // the load's pictures; without one, nothing is kept

    // The same folder without the package: where the common sections' own
    // pictures are looked for.
    PictureSource FilesOnly() const { return PictureSource{nullptr, Folder, Cache}; }

    // The bytes of a picture: from the package, the member whose upper-case
    // name equals `reference`; from the folder, the file. None when absent.
    std::optional<QByteArray> Load(const QString& reference) const;

    // The picture decoded and made ready as `kind` says; none when absent.
    std::optional<platform::Bitmap> Picture(const QString& reference, PictureKind kind) const;

    // A JPEG as a pattern keeps it: its bytes up to the picture's end, and
    // its decoded picture, the same for every key that names the member or
    // file; none when absent. Section and key are left empty.
    std::optional<TsPatternData> Pattern(const QString& reference) const;
};

// What one load of a skin may read and decode. Each member or file is
// found once per reference, read and decoded once per way it is used, and
// each derived picture is made once however many keys name it; all the
// pictures together stay within kMaxSkinPixels and all that is read within
// kMaxLoadBytes. Pictures share their pixels until one is changed.
class PictureCache {
public:
    PictureCache();
    ~PictureCache();
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;

    std::optional<QByteArray> Load(const PictureSource& source, const QString& reference);
    std::optional<platform::Bitmap> Picture(const PictureSource& source, const QString& reference,
                                            PictureKind kind);
    std::optional<TsPatternData> Pattern(const PictureSource& source, const QString& reference);

private:
    // What a reference names: "m" and a member's number, "f" and a file's
    // path; empty when nothing.
    QString Locate(const PictureSource& source, const QString& reference);
    QByteArray Read(const PictureSource& source, const QString& id);

    struct Finder;
    std::unique_ptr<Finder> finder_;
    QHash<QString, QString> located_;
    QHash<QString, platform::Bitmap> decoded_; // by id and kind
    QHash<QString, TsPatternData> patterns_;   // by id
    qint64 pixelsLeft_ = kMaxSkinPixels;
    qint64 bytesLeft_;
};

// A JPEG of this many pixels or more stays compressed as a pattern.
constexpr qint64 kPatternPixels = 900000;

// `common` is the manager's common sections: their bitmaps and JPEGs are
// added from files only. Every mask gets `owner`.
void LoadMasks(const TIniFile& ini, const PictureSource& source, TsSkinImages& images,
               const TIniFile* common = nullptr, const TsSkinManager* owner = nullptr);
void LoadPatterns(const TIniFile& ini, const PictureSource& source, TsSkinImages& images,
                  const TIniFile* common = nullptr, const TsSkinManager* owner = nullptr);
void FillSectionMasks(TsGeneralDataArray& sections, const TsSkinImages& images);

// Pictures below 32 bits per pixel become opaque but for pure magenta.
void OpaqueExceptMagenta(platform::Bitmap& picture);

// A side's width of a mask: its own when positive, else the uniform width
// when positive, else the frame's width (left, right) or height (top,
// bottom).
int LeftWidthOf(const TsMaskData& mask);
int TopWidthOf(const TsMaskData& mask);
int RightWidthOf(const TsMaskData& mask);
int BottomWidthOf(const TsMaskData& mask);
int MaskLeftWidth(const TsSkinImages& images, int mask);
int MaskTopWidth(const TsSkinImages& images, int mask);
int MaskRightWidth(const TsSkinImages& images, int mask);
int MaskBottomWidth(const TsSkinImages& images, int mask);
bool IsValidMask(const TsSkinImages& images, int mask);

} // namespace skin
