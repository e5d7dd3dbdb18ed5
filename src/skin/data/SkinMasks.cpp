#include "skin/data/SkinMasks.h"

#include "platform/Paths.h"
#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinLookup.h"
#include "skin/data/TsSkinManager.h"

#include <QFileInfo>
#include <QHash>

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

const QString kMasterKey = QStringLiteral("MASTERBITMAP");

} // namespace

int TsMaskData::FrameWidth() const {
    if (FrameCount == 0)
        return 0;
    return FrameCount == 1 ? Area.Width() : Area.Width() / FrameCount;
}

const BorderFrame& TsMaskData::Border() const {
    if (!border_) {
        static const platform::Bitmap kNoPicture;
        const platform::Bitmap& picture = OwnImage ? *OwnImage
                                          : Owner  ? Owner->MasterImage()
                                                   : kNoPicture;
        border_ = std::make_shared<const BorderFrame>(BorderFrame::Measure(
            QMargins(LeftWidthOf(*this), TopWidthOf(*this), RightWidthOf(*this),
                     BottomWidthOf(*this)),
            QSize(FrameWidth(), FrameHeight()), QPoint(Area.Left, Area.Top), FrameCount, picture));
    }
    return *border_;
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

namespace {

platform::Bitmap Decode(const QByteArray& bytes, PictureKind kind, qint64 maxPixels,
                        qsizetype* used = nullptr) {
    platform::Bitmap picture;
    switch (kind) {
    case PictureKind::Jpeg:
        picture = DecodeJpeg(bytes, maxPixels, used);
        break;
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

namespace {

// The source's cache, or one for this question alone.
template <typename Ask> auto AskCache(const PictureSource& source, Ask&& ask) {
    if (source.Cache)
        return ask(*source.Cache);
    PictureCache once;
    return ask(once);
}

} // namespace

std::optional<QByteArray> PictureSource::Load(const QString& reference) const {
    return AskCache(*this, [&](PictureCache& c) { return c.Load(*this, reference); });
}

std::optional<platform::Bitmap> PictureSource::Picture(const QString& reference,
                                                       PictureKind kind) const {
    return AskCache(*this, [&](PictureCache& c) { return c.Picture(*this, reference, kind); });
}

std::optional<TsPatternData> PictureSource::Pattern(const QString& reference) const {
    return AskCache(*this, [&](PictureCache& c) { return c.Pattern(*this, reference); });
}

// Member names upper-cased once, and folders listed once.
struct PictureCache::Finder {
    const TacSkinConvertor* Package = nullptr;
    QHash<QString, int> Members; // the first member of each upper-case name
    platform::FolderLookup Folders;

    int Member(const TacSkinConvertor& package, const QString& reference) {
        if (Package != &package) {
            Package = &package;
            Members.clear();
            for (size_t i = 0; i < package.Members.size(); ++i) {
                const QString upper = AsciiUpper(package.Members[i].MemberName);
                if (!Members.contains(upper))
                    Members.insert(upper, static_cast<int>(i));
            }
        }
        return Members.value(reference, -1);
    }
};

PictureCache::PictureCache() : finder_(std::make_unique<Finder>()), bytesLeft_(kMaxLoadBytes) {}
PictureCache::~PictureCache() = default;

QString PictureCache::Locate(const PictureSource& source, const QString& reference) {
    const QString key = (source.Package ? u'p' : u'f') + reference;
    if (const auto it = located_.constFind(key); it != located_.cend())
        return *it;
    QString id;
    if (source.Package) {
        const int member = finder_->Member(*source.Package, reference);
        if (member >= 0)
            id = u'm' + QString::number(member);
    } else if (reference.contains(u':') || !source.Folder.isEmpty()) {
        // A skin without a folder has no files of its own.
        const QString path = reference.contains(u':')
                                 ? finder_->Folders.MapPathIgnoringCase(reference)
                                 : finder_->Folders.Find(source.Folder, reference);
        if (QFileInfo::exists(path))
            id = u'f' + path;
    }
    located_.insert(key, id);
    return id;
}

QByteArray PictureCache::Read(const PictureSource& source, const QString& id) {
    auto charge = [this](qint64 size) {
        if (size > bytesLeft_)
            throw ESkinError(QStringLiteral("The skin reads too much to load: more than %1 bytes "
                                            "of pictures")
                                 .arg(kMaxLoadBytes)
                                 .toStdString());
        bytesLeft_ -= size;
    };
    if (id.startsWith(u'm')) {
        const TacImageItem& item = source.Package->Members[id.mid(1).toULongLong()];
        charge(item.Size); // before it is inflated
        return source.Package->MemberBytes(item);
    }
    QByteArray bytes = ReadSkinFile(id.mid(1));
    charge(bytes.size());
    return bytes;
}

std::optional<QByteArray> PictureCache::Load(const PictureSource& source,
                                             const QString& reference) {
    const QString id = Locate(source, reference);
    if (id.isEmpty())
        return std::nullopt;
    return Read(source, id);
}

std::optional<platform::Bitmap> PictureCache::Picture(const PictureSource& source,
                                                      const QString& reference, PictureKind kind) {
    const QString id = Locate(source, reference);
    if (id.isEmpty())
        return std::nullopt;
    const QString made = QString::number(int(kind)) + id;
    if (const auto it = decoded_.constFind(made); it != decoded_.cend())
        return *it;
    const QByteArray bytes = Read(source, id);
    platform::Bitmap picture;
    qsizetype used = bytes.size();
    try {
        picture = Decode(bytes, kind, pixelsLeft_, &used);
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
    decoded_.insert(made, picture);
    // A JPEG keeps its bytes for when it stays compressed as a pattern, so
    // that they are not read again.
    if (kind == PictureKind::Jpeg && !patterns_.contains(id))
        patterns_.insert(id, TsPatternData{bytes.left(used),
                                           picture.Width(),
                                           picture.Height(),
                                           {},
                                           {},
                                           std::make_shared<DecodedPattern>()});
    return picture;
}

std::optional<TsPatternData> PictureCache::Pattern(const PictureSource& source,
                                                   const QString& reference) {
    const QString id = Locate(source, reference);
    if (id.isEmpty())
        return std::nullopt;
    if (const auto it = patterns_.constFind(id); it != patterns_.cend())
        return *it;
    Picture(source, reference, PictureKind::Jpeg);
    const auto it = patterns_.constFind(id);
    return it == patterns_.cend() ? std::nullopt : std::optional<TsPatternData>(*it);
}

platform::Bitmap PatternPicture(const TsPatternData& pattern) {
    if (pattern.Decoded && pattern.Decoded->Picture)
        return *pattern.Decoded->Picture;
    platform::Bitmap picture;
    try {
        picture = Decode(pattern.PatternImage, PictureKind::Jpeg, kMaxPicturePixels);
    } catch (const ESkinError&) {
        // A broken picture paints nothing.
    }
    if (pattern.Decoded)
        pattern.Decoded->Picture = picture;
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
    // Large backgrounds stay compressed until they are painted; smaller
    // ones of the skin's own become textures.
    auto add = [&](const PictureSource& from, const QString& section, const QString& key,
                   const QString& upper, bool textures) {
        std::optional<platform::Bitmap> picture = from.Picture(upper, PictureKind::Jpeg);
        if (!picture || picture->Width() <= 0)
            return;
        if (!textures || qint64(picture->Width()) * picture->Height() >= kPatternPixels) {
            TsPatternData pattern = *from.Pattern(upper);
            pattern.SectionName = AsciiUpper(section);
            pattern.KeyName = AsciiUpper(key);
            images.Patterns.push_back(std::move(pattern));
            return;
        }
        TsMaskData m;
        m.OwnImage = std::move(*picture);
        m.SectionName = AsciiUpper(section);
        m.KeyName = AsciiUpper(key);
        m.ImageKind = 1;
        m.FrameCount = 1;
        m.Owner = owner;
        images.Masks.push_back(std::move(m));
    };
    ini.ForEachValue([&](const QString& section, const QString& key, const QString& value) {
        if (!MayBeJpegName(value))
            return;
        const QString upper = AsciiUpper(value);
        if (IsJpegName(upper))
            add(source, section, key, upper, true);
    });
    if (!common)
        return;
    const PictureSource files = source.FilesOnly();
    common->ForEachValue([&](const QString& section, const QString& key, const QString& value) {
        const QString upper = AsciiUpper(value);
        if (IsJpegName(upper))
            add(files, section, key, upper, false);
    });
}

void FillSectionMasks(TsGeneralDataArray& sections, const TsSkinImages& images) {
    const SkinLookup lookup(sections, images);
    const QString keys[5] = {QStringLiteral("BORDERSMASK"), QStringLiteral("IMGTOPLEFT"),
                             QStringLiteral("IMGTOPRIGHT"), QStringLiteral("IMGBTMLEFT"),
                             QStringLiteral("IMGBTMRIGHT")};
    for (size_t i = 0; i < sections.size(); ++i) {
        TsGeneralData& d = sections[i];
        if (d.SectionName == kGlobalInfo)
            continue;
        qint32* fields[5] = {&d.BordersMask, &d.CornerTopLeft, &d.CornerTopRight,
                             &d.CornerBottomLeft, &d.CornerBottomRight};
        for (int k = 0; k < 5; ++k)
            *fields[k] = lookup.Mask(static_cast<int>(i), d.SectionName, keys[k]);
    }
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
