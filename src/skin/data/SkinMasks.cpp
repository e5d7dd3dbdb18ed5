#include "skin/data/SkinMasks.h"

#include "platform/Paths.h"
#include "skin/data/ImageDecoders.h"

#include <QFile>
#include <QHash>
#include <functional>

namespace skin {

namespace {

// A fixed-width digit field at 1-based position `from`.
qint32 Field(const QString& value, int from, int width) {
    return StrictInteger(value.mid(from - 1, width));
}

TsArea AreaFields(const QString& v) {
    return TsArea{Field(v, 2, 4), Field(v, 7, 4), Field(v, 12, 4), Field(v, 17, 4)};
}

// Widths from the area when a frame gives none: a 3 x 3 grid per frame.
void ComputeWidths(TsMaskData& m) {
    if (m.LeftWidth != 0 || m.TopWidth != 0 || m.RightWidth != 0 || m.BottomWidth != 0)
        return;
    if (m.UniformWidth != 0) {
        m.LeftWidth = m.TopWidth = m.RightWidth = m.BottomWidth = m.UniformWidth;
        return;
    }
    const int frames = m.FrameCount > 0 ? m.FrameCount : 1;
    const int parts = m.MaskKind >= 0 ? m.MaskKind + 1 : 1;
    m.LeftWidth = m.RightWidth = static_cast<int16_t>(m.Area.Width() / (frames * 3));
    m.TopWidth = m.BottomWidth = static_cast<int16_t>(m.Area.Height() / (parts * 3));
}

TsMaskData Glyph(const QString& v) {
    TsMaskData m;
    m.Area = AreaFields(v);
    m.FrameCount = static_cast<int16_t>(Field(v, 22, 1));
    m.MaskKind = static_cast<int16_t>(Field(v, 24, 1));
    m.ImageKind = 2;
    return m;
}

TsMaskData Border(const QString& v) {
    TsMaskData m;
    m.Area = AreaFields(v);
    m.LeftWidth = static_cast<int16_t>(Field(v, 22, 4));
    m.TopWidth = static_cast<int16_t>(Field(v, 27, 4));
    m.RightWidth = static_cast<int16_t>(Field(v, 32, 4));
    m.BottomWidth = static_cast<int16_t>(Field(v, 37, 4));
    m.FrameCount = static_cast<int16_t>(Field(v, 42, 1));
    m.MaskKind = static_cast<int16_t>(Field(v, 44, 1));
    m.FillMode = static_cast<int16_t>(Field(v, 46, 1));
    m.UniformWidth = static_cast<int16_t>(Field(v, 48, 1));
    m.ImageKind = 0;
    ComputeWidths(m);
    return m;
}

TsMaskData Texture(const QString& v) {
    TsMaskData m;
    m.Area = AreaFields(v);
    m.FillMode = static_cast<int16_t>(Field(v, 22, 2));
    m.MaskKind = v.size() > 24 ? static_cast<int16_t>(Field(v, 25, 1)) : 0;
    m.FrameCount = 1;
    m.ImageKind = 1;
    return m;
}

// A mask whose picture is its own, covering the whole picture; none when
// the picture is not there or is empty.
std::optional<TsMaskData> OwnPictureMask(const QString& reference, const PictureSource& source,
                                         bool png) {
    std::optional<platform::Bitmap> picture =
        source.Picture(reference, png ? PictureKind::Png : PictureKind::Any);
    if (!picture || picture->Width() <= 0)
        return std::nullopt;
    TsMaskData m;
    m.Area = TsArea{0, 0, picture->Width(), picture->Height()};
    m.OwnImage = std::move(*picture);
    return m;
}

// "!NAME!F!M!K!LW!TW!RW!BW!FM": a picture of its own; none when it is not there.
std::optional<TsMaskData> External(const QString& v, const PictureSource& source) {
    const QStringList words = v.mid(1).split(u'!');
    const QString name = words.value(0);
    const bool png = name.contains(QStringLiteral(".PNG"));
    if (!name.contains(QStringLiteral(".BMP")) && !png)
        return std::nullopt;
    std::optional<TsMaskData> mask = OwnPictureMask(name, source, png);
    if (!mask)
        return std::nullopt;
    TsMaskData& m = *mask;
    auto word = [&](int i) {
        return static_cast<int16_t>(ParseInteger(words.value(i)).value_or(0));
    };
    m.FrameCount = word(1);
    m.MaskKind = word(2);
    m.ImageKind = static_cast<uint8_t>(std::clamp<int>(word(3), 0, 4));
    if (words.size() > 4) {
        m.LeftWidth = word(4), m.TopWidth = word(5), m.RightWidth = word(6),
        m.BottomWidth = word(7);
    } else {
        ComputeWidths(m);
    }
    m.FillMode = words.size() > 8 ? word(8) : 4;
    return mask;
}

std::optional<TsMaskData> PlainBitmap(const QString& upper, const PictureSource& source) {
    std::optional<TsMaskData> mask = OwnPictureMask(upper, source, false);
    if (mask) {
        mask->FrameCount = 3;
        mask->MaskKind = 1;
        mask->ImageKind = 0;
        ComputeWidths(*mask);
    }
    return mask;
}

// Looks in a section, then in its parents. A chain of parents that loops
// ends once it is longer than the table.
int Lookup(const TsGeneralDataArray& sections, int sectionIndex, const QString& sectionName,
           const std::function<int(const QString&)>& own, size_t depth = 0) {
    if (sectionIndex < 0 || sectionName.isEmpty())
        return -1;
    const int found = own(sectionName);
    if (found >= 0 || sectionIndex >= int(sections.size()))
        return found;
    const QString parent = sections[sectionIndex].ParentClass;
    if (parent.isEmpty() || parent == sectionName)
        return -1;
    const int parentIndex = FindSection(sections, parent);
    if (parentIndex < 0 || depth > sections.size())
        return -1;
    return Lookup(sections, parentIndex, parent, own, depth + 1);
}

int FirstMask(const TsSkinImages& images, const QString& section, const QString& key,
              bool texturesOnly) {
    for (size_t i = 0; i < images.Masks.size(); ++i) {
        const TsMaskData& m = images.Masks[i];
        if (m.SectionName == section && m.KeyName == key && (!texturesOnly || m.ImageKind == 1))
            return static_cast<int>(i);
    }
    return -1;
}

const QString kMasterKey = QStringLiteral("MASTERBITMAP");

} // namespace

int TsMaskData::FrameWidth() const {
    if (FrameCount == 0)
        return 0;
    return FrameCount == 1 ? Area.Width() : Area.Width() / FrameCount;
}

int TsMaskData::FrameHeight() const {
    switch (MaskKind) {
    case -1:
        return 0;
    case 0:
        return Area.Height();
    case 1:
        return Area.Height() / 2;
    default:
        return Area.Height() / (MaskKind + 1);
    }
}

std::optional<QByteArray> PictureSource::Load(const QString& reference, QString* id) const {
    if (Package) {
        const TacImageItem* item = Package->FindMember(reference);
        if (!item)
            return std::nullopt;
        if (id)
            *id = QStringLiteral("member:%1").arg(item - Package->Members.data());
        return Package->MemberBytes(*item);
    }
    if (!reference.contains(u':') && Folder.isEmpty())
        return std::nullopt; // a skin without a folder has no files of its own
    const QString path = reference.contains(u':') ? platform::MapPathIgnoringCase(reference)
                                                  : platform::FindInFolder(Folder, reference);
    if (!QFile::exists(path))
        return std::nullopt;
    if (id)
        *id = QStringLiteral("file:") + path;
    return ReadSkinFile(path);
}

namespace {

platform::Bitmap Decode(const QByteArray& bytes, PictureKind kind, qint64 maxPixels) {
    platform::Bitmap picture;
    switch (kind) {
    case PictureKind::Jpeg:
        return DecodeJpeg(bytes, maxPixels);
    case PictureKind::Png:
        picture = DecodePng(bytes, maxPixels);
        ApplyWhiteTransparentRule(picture);
        break;
    case PictureKind::Any:
        picture = DecodePicture(bytes, maxPixels);
        break;
    }
    OpaqueExceptMagenta(picture);
    return picture;
}

} // namespace

std::optional<platform::Bitmap> PictureSource::Picture(const QString& reference,
                                                       PictureKind kind) const {
    if (Cache)
        return Cache->Picture(*this, reference, kind);
    const auto bytes = Load(reference);
    if (!bytes)
        return std::nullopt;
    return Decode(*bytes, kind, kMaxPicturePixels);
}

std::optional<platform::Bitmap> PictureCache::Picture(const PictureSource& source,
                                                      const QString& reference, PictureKind kind) {
    QString id;
    const auto bytes = source.Load(reference, &id);
    if (!bytes)
        return std::nullopt;
    id += u'\n' + QString::number(int(kind));
    if (const auto it = decoded_.constFind(id); it != decoded_.cend())
        return *it;
    platform::Bitmap picture;
    try {
        picture = Decode(*bytes, kind, pixelsLeft_);
    } catch (const ESkinError& e) {
        // Past the budget the decoders say "too large": say what the limit is.
        const QString message = QString::fromUtf8(e.what());
        if (!message.contains(QStringLiteral("too large")))
            throw;
        throw ESkinError(QStringLiteral("%1: \"%2\" (the pictures of a skin may have at most "
                                        "%3 pixels together and %4 on a side)")
                             .arg(message, reference)
                             .arg(kMaxSkinPixels)
                             .arg(kMaxPictureSide)
                             .toStdString());
    }
    pixelsLeft_ -= qint64(picture.Width()) * picture.Height();
    decoded_.insert(id, picture);
    return picture;
}

void OpaqueExceptMagenta(platform::Bitmap& picture) {
    if (picture.SourceBitsPerPixel() >= 32 || picture.Empty())
        return;
    const int bits = picture.SourceBitsPerPixel();
    QImage& image = picture.Image();
    // Decoded pictures below 32 bits are already opaque: only the format's
    // name changes, and magenta becomes see-through.
    if (image.format() == QImage::Format_RGB32)
        image.reinterpretAsFormat(QImage::Format_ARGB32);
    else
        image = image.convertToFormat(QImage::Format_ARGB32);
    picture.SetSourceBitsPerPixel(bits);
    const int width = picture.Width(), height = picture.Height();
    for (int y = 0; y < height; ++y) {
        uint32_t* row = picture.ScanLine(y);
        for (int x = 0; x < width; ++x)
            row[x] = (row[x] & 0xFFFFFF) == 0xFF00FF ? 0x00FF00FFu : (row[x] | 0xFF000000u);
    }
}

void LoadMasks(const TIniFile& ini, const PictureSource& source, TsSkinImages& images,
               const TIniFile* common, const TsSkinManager* owner) {
    images.Masks.clear();
    images.MasterImage = platform::Bitmap();
    const QString master = ini.ReadString(kGlobalInfo, kMasterKey, QString());
    if (!master.isEmpty())
        if (auto picture = source.Picture(master, PictureKind::Any))
            images.MasterImage = std::move(*picture);
    ini.ForEachValue([&](const QString& section, const QString& key, const QString& value) {
        if (value.isEmpty() || (section == kGlobalInfo && key == kMasterKey))
            return;
        std::optional<TsMaskData> mask;
        switch (value.front().unicode()) {
        case u'@':
            mask = Glyph(value);
            break;
        case u'^':
            mask = Border(value);
            break;
        case u'~':
            mask = Texture(value);
            break;
        case u'!':
            mask = External(value, source);
            break;
        default:
            // The older "#" notation is not supported: such values are skipped.
            if (!value.contains(u'#') && AsciiUpper(value).contains(QStringLiteral(".BMP")))
                mask = PlainBitmap(AsciiUpper(value), source);
        }
        if (!mask)
            return;
        mask->SectionName = section;
        mask->KeyName = key;
        mask->Owner = owner;
        images.Masks.push_back(std::move(*mask));
    });
    if (!common)
        return;
    const PictureSource files = source.FilesOnly();
    common->ForEachValue([&](const QString& section, const QString& key, const QString& value) {
        const QString upper = AsciiUpper(value);
        if (AsciiUpper(section) == kGlobalInfo || value == QStringLiteral("-") ||
            value.contains(u'#') || !upper.contains(QStringLiteral(".BMP")))
            return;
        std::optional<TsMaskData> mask = PlainBitmap(upper, files);
        if (!mask)
            return;
        mask->SectionName = AsciiUpper(section);
        mask->KeyName = AsciiUpper(key);
        mask->Owner = owner;
        images.Masks.push_back(std::move(*mask));
    });
}

namespace {

bool IsJpegName(const QString& upper) {
    return upper.contains(QStringLiteral(".JPG")) || upper.contains(QStringLiteral(".JPEG"));
}

// A quick test before the exact one: no letter outside ASCII folds to J, P
// or G, so a value without ".jpg" in any case cannot name a JPEG.
bool MayBeJpegName(const QString& value) {
    return value.contains(QLatin1String(".JPG"), Qt::CaseInsensitive) ||
           value.contains(QLatin1String(".JPEG"), Qt::CaseInsensitive);
}

} // namespace

void LoadPatterns(const TIniFile& ini, const PictureSource& source, TsSkinImages& images,
                  const TIniFile* common, const TsSkinManager* owner) {
    images.Patterns.clear();
    ini.ForEachValue([&](const QString& section, const QString& key, const QString& value) {
        if (!MayBeJpegName(value))
            return;
        const QString upper = AsciiUpper(value);
        if (!IsJpegName(upper))
            return;
        std::optional<platform::Bitmap> picture = source.Picture(upper, PictureKind::Jpeg);
        if (!picture || picture->Width() <= 0)
            return;
        if (qint64(picture->Width()) * picture->Height() >= kPatternPixels) {
            // Large backgrounds stay compressed until they are painted.
            images.Patterns.push_back(TsPatternData{*source.Load(upper), picture->Width(),
                                                    picture->Height(), AsciiUpper(section),
                                                    AsciiUpper(key)});
            return;
        }
        TsMaskData m;
        m.OwnImage = std::move(*picture);
        OpaqueExceptMagenta(*m.OwnImage);
        m.SectionName = AsciiUpper(section);
        m.KeyName = AsciiUpper(key);
        m.ImageKind = 1;
        m.FrameCount = 1;
        m.Owner = owner;
        images.Masks.push_back(std::move(m));
    });
    if (!common)
        return;
    const PictureSource files = source.FilesOnly();
    common->ForEachValue([&](const QString& section, const QString& key, const QString& value) {
        const QString upper = AsciiUpper(value);
        if (!IsJpegName(upper))
            return;
        const std::optional<platform::Bitmap> picture = files.Picture(upper, PictureKind::Jpeg);
        if (picture && picture->Width() > 0)
            images.Patterns.push_back(TsPatternData{*files.Load(upper), picture->Width(),
                                                    picture->Height(), AsciiUpper(section),
                                                    AsciiUpper(key)});
    });
}

void FillSectionMasks(TsGeneralDataArray& sections, const TsSkinImages& images) {
    // The first mask of each section and key, found once rather than by a
    // walk over the whole table for every section.
    QHash<QString, int> first;
    for (size_t i = 0; i < images.Masks.size(); ++i) {
        const TsMaskData& m = images.Masks[i];
        const QString id = m.SectionName + u'\n' + m.KeyName;
        if (!first.contains(id))
            first.insert(id, static_cast<int>(i));
    }
    // Parents by number, resolved once; each key is then found for every
    // section in one walk of the links.
    QHash<QString, int> byName;
    for (size_t i = 0; i < sections.size(); ++i)
        if (!byName.contains(sections[i].SectionName))
            byName.insert(sections[i].SectionName, static_cast<int>(i));
    std::vector<int> parents(sections.size(), -1);
    for (size_t i = 0; i < sections.size(); ++i) {
        const QString& parent = sections[i].ParentClass;
        if (!parent.isEmpty() && parent != sections[i].SectionName)
            parents[i] = byName.value(parent, -1);
    }
    auto find = [&](const QString& key) {
        return ResolveAlongParents<int>(
            parents,
            [&](int i) {
                const QString& name = sections[i].SectionName;
                const int mask = name.isEmpty() ? -1 : first.value(name + u'\n' + key, -1);
                return mask >= 0 ? std::optional<int>(mask) : std::nullopt;
            },
            [](int mask) { return mask; });
    };
    const auto borders = find(QStringLiteral("BORDERSMASK"));
    const auto topLeft = find(QStringLiteral("IMGTOPLEFT"));
    const auto topRight = find(QStringLiteral("IMGTOPRIGHT"));
    const auto bottomLeft = find(QStringLiteral("IMGBTMLEFT"));
    const auto bottomRight = find(QStringLiteral("IMGBTMRIGHT"));
    for (size_t i = 0; i < sections.size(); ++i) {
        TsGeneralData& d = sections[i];
        if (d.SectionName == kGlobalInfo)
            continue;
        d.BordersMask = borders[i].value_or(-1);
        d.CornerTopLeft = topLeft[i].value_or(-1);
        d.CornerTopRight = topRight[i].value_or(-1);
        d.CornerBottomLeft = bottomLeft[i].value_or(-1);
        d.CornerBottomRight = bottomRight[i].value_or(-1);
    }
}

int FindSection(const TsGeneralDataArray& sections, const QString& name) {
    for (size_t i = 0; i < sections.size(); ++i)
        if (sections[i].SectionName == name)
            return static_cast<int>(i);
    return -1;
}

int FindMask(const TsGeneralDataArray& sections, const TsSkinImages& images, int sectionIndex,
             const QString& sectionName, const QString& key) {
    return Lookup(sections, sectionIndex, sectionName,
                  [&](const QString& s) { return FirstMask(images, s, key, false); });
}

int FindMaskExact(const TsSkinImages& images, const QString& sectionName, const QString& key) {
    return sectionName.isEmpty() ? -1 : FirstMask(images, sectionName, key, false);
}

int FindTexture(const TsGeneralDataArray& sections, const TsSkinImages& images, int sectionIndex,
                const QString& sectionName, const QString& key) {
    return Lookup(sections, sectionIndex, sectionName,
                  [&](const QString& s) { return FirstMask(images, s, key, true); });
}

int FindPattern(const TsGeneralDataArray& sections, const TsSkinImages& images, int sectionIndex,
                const QString& sectionName, const QString& key) {
    if (images.Patterns.empty())
        return -1;
    return Lookup(sections, sectionIndex, sectionName, [&](const QString& s) {
        for (size_t i = 0; i < images.Patterns.size(); ++i)
            if (images.Patterns[i].SectionName == s && images.Patterns[i].KeyName == key)
                return static_cast<int>(i);
        return -1;
    });
}

bool IsValidMask(const TsSkinImages& images, int mask) {
    return mask >= 0 && mask < int(images.Masks.size());
}

namespace {

int SideWidth(TsMaskData m, int16_t TsMaskData::*side, bool horizontal) {
    if (m.*side > 0)
        return m.*side;
    if (m.UniformWidth > 0)
        return m.UniformWidth;
    if (horizontal && m.FrameCount == 0)
        m.FrameCount = 1;
    return horizontal ? m.FrameWidth() : m.FrameHeight();
}

} // namespace

int LeftWidthOf(const TsMaskData& mask) {
    return SideWidth(mask, &TsMaskData::LeftWidth, true);
}
int TopWidthOf(const TsMaskData& mask) {
    return SideWidth(mask, &TsMaskData::TopWidth, false);
}
int RightWidthOf(const TsMaskData& mask) {
    return SideWidth(mask, &TsMaskData::RightWidth, true);
}
int BottomWidthOf(const TsMaskData& mask) {
    return SideWidth(mask, &TsMaskData::BottomWidth, false);
}

int MaskLeftWidth(const TsSkinImages& images, int mask) {
    return IsValidMask(images, mask) ? LeftWidthOf(images.Masks[mask]) : 0;
}
int MaskTopWidth(const TsSkinImages& images, int mask) {
    return IsValidMask(images, mask) ? TopWidthOf(images.Masks[mask]) : 0;
}
int MaskRightWidth(const TsSkinImages& images, int mask) {
    return IsValidMask(images, mask) ? RightWidthOf(images.Masks[mask]) : 0;
}
int MaskBottomWidth(const TsSkinImages& images, int mask) {
    return IsValidMask(images, mask) ? BottomWidthOf(images.Masks[mask]) : 0;
}

} // namespace skin
