#include "skin/data/SkinModel.h"

#include "platform/Background.h"
#include "skin/data/ColorShift.h"

#include <QFileInfo>
#include <QHash>

namespace skin {

TsSkinModel LoadSkinModel(const TIniFile& options, const PictureSource& pictures,
                          const SkinLoadOptions& how) {
    TsSkinModel model;
    std::optional<TIniFile> common;
    if (!how.CommonSections.trimmed().isEmpty())
        common = TIniFile::FromText(how.CommonSections);
    const TIniFile* commonIni = common ? &*common : nullptr;
    // Each picture is decoded once for the whole load, within the budget.
    PictureCache cache;
    PictureSource source = pictures;
    source.Cache = &cache;
    LoadMasks(options, source, model.Images, commonIni, how.Owner);
    LoadPatterns(options, source, model.Images, commonIni, how.Owner);
    LoadGlobalData(options, model.Data);
    if (how.AfterGlobalData)
        how.AfterGlobalData(model.Data);
    model.Sections = LoadSections(options);
    if (common)
        MergeCommonSections(model.Sections, options, how.CommonSections);
    FillSectionMasks(model.Sections, model.Images);
    if (how.HueOffset != 0)
        ShiftSkinHue(model, how.HueOffset);
    if (how.Saturation != 0)
        ShiftSkinSaturation(model, how.Saturation % 101);
    return model;
}

TsSkinModel LoadSkinFromPath(const QString& path, const SkinLoadOptions& how) {
    const QFileInfo info(path);
    if (info.isDir()) {
        auto model = LoadSkinFromFolder(info.absoluteFilePath(), how);
        if (!model)
            throw ESkinError(("There is no Options.dat in \"" + path + "\"").toStdString());
        return std::move(*model);
    }
    const auto package = UnpackPackageFile(path);
    if (!package)
        throw ESkinError(("There is no skin at \"" + path + "\"").toStdString());
    return LoadSkinFromPackage(*package, info.absolutePath(), how);
}

std::optional<TsSkinModel> LoadSkinFromFolder(const QString& folder, const SkinLoadOptions& how) {
    if (!QFileInfo(folder).isDir())
        return std::nullopt;
    const PictureSource files{nullptr, folder};
    const auto options = files.Load(QStringLiteral("OPTIONS.DAT"));
    if (!options)
        return std::nullopt;
    if (options->size() > kMaxOptionsSize)
        throw ESkinError(QStringLiteral("The skin's options text is too large (at most %1 bytes)")
                             .arg(kMaxOptionsSize)
                             .toStdString());
    return LoadSkinModel(TIniFile::FromBytes(*options), files, how);
}

TsSkinModel LoadSkinFromPackage(const TacSkinConvertor& package, const QString& folder,
                                const SkinLoadOptions& how) {
    const TIniFile options =
        package.OptionsText ? TIniFile::FromBytes(*package.OptionsText) : TIniFile();
    return LoadSkinModel(options, PictureSource{&package, folder}, how);
}

PreparedSkinModel PreparedSkinModel::Start(QByteArray package) {
    PreparedSkinModel prepared;
    prepared.load_ = std::make_shared<std::future<TsSkinModel>>(
        platform::StartInBackground([package = std::move(package)] {
            return LoadSkinFromPackage(UnpackPackage(package), QString());
        }));
    return prepared;
}

bool SkinLoadOptions::KeepStoredModel() const {
    return CommonSections.trimmed().isEmpty() && HueOffset == 0 && Saturation == 0;
}

std::optional<TsSkinModel> PreparedSkinModel::Take(const SkinLoadOptions& how) {
    if (!how.KeepStoredModel() || !load_ || !load_->valid())
        return std::nullopt;
    TsSkinModel model = load_->get();
    for (TsMaskData& mask : model.Images.Masks)
        mask.Owner = how.Owner;
    if (how.AfterGlobalData)
        how.AfterGlobalData(model.Data);
    return model;
}

namespace {

// Every colour of the model that a skin change turns; "no colour" stays.
void ForEachColor(TsSkinModel& model, const std::function<int32_t(int32_t)>& change) {
    auto turn = [&](SkinColor& c) {
        if (c != kNoSkinColor)
            c = SkinColor{change(Value(c))};
    };
    auto turnFonts = [&](TsFontColors& f) {
        for (SkinColor* c : {&f.Text, &f.Left, &f.Top, &f.Right, &f.Bottom})
            turn(*c);
    };
    auto turnSteps = [&](TsGradArray& steps) {
        for (GradientStep& s : steps)
            turn(s.StartColor), turn(s.EndColor);
    };
    for (TsGeneralData& d : model.Sections) {
        for (SkinColor* c : {&d.Color, &d.HotColor, &d.GlowColor, &d.HotGlowColor})
            turn(*c);
        turnFonts(d.FontColors);
        turnFonts(d.HotFontColors);
        turnSteps(d.Gradient);
        turnSteps(d.HotGradient);
        for (TsGenState& look : d.StateData) {
            turn(look.Color);
            turn(look.GlowColor);
            turnFonts(look.FontColors);
            turnSteps(look.Gradient);
        }
    }
    turn(model.Data.Shadow1Color);
    turn(model.Data.BorderColor);
}

// The title-button glyphs whose colours a hue shift keeps.
QStringList KeptGlyphs(int keepHue) {
    QStringList keys;
    if (keepHue != 0)
        keys << QStringLiteral("BICONCLOSE") << QStringLiteral("SICONCLOSE");
    if (keepHue == 1)
        keys << QStringLiteral("BICONMAX") << QStringLiteral("BICONMIN")
             << QStringLiteral("BICONNORM") << QStringLiteral("BICONHELP")
             << QStringLiteral("SICONMAX") << QStringLiteral("SICONMIN")
             << QStringLiteral("SICONNORM");
    return keys;
}

void ChangePictures(TsSkinModel& model, const QStringList& keep,
                    const std::function<void(platform::Bitmap&)>& change) {
    auto kept = [&](const TsMaskData& m) {
        return m.SectionName == kGlobalInfo && keep.contains(m.KeyName);
    };
    std::vector<std::pair<QRect, QImage>> saved;
    for (const TsMaskData& m : model.Images.Masks)
        if (kept(m) && !m.OwnImage) {
            const QRect area(m.Area.Left, m.Area.Top, m.Area.Width(), m.Area.Height());
            saved.emplace_back(area, model.Images.MasterImage.Image().copy(area));
        }
    change(model.Images.MasterImage);
    for (const auto& [area, picture] : saved) {
        const QRect inside = area.intersected(model.Images.MasterImage.Rect());
        for (int y = inside.top(); y <= inside.bottom(); ++y)
            std::copy_n(reinterpret_cast<const uint32_t*>(picture.constScanLine(y - area.top())) +
                            (inside.left() - area.left()),
                        inside.width(), model.Images.MasterImage.ScanLine(y) + inside.left());
    }
    // Masks that share one picture share the changed one too: each picture
    // is changed once, however many keys name it. (The pictures as they were
    // are held until the end, so that no other takes their place in memory.)
    QHash<const uchar*, std::pair<platform::Bitmap, platform::Bitmap>> changed;
    for (TsMaskData& m : model.Images.Masks) {
        if (!m.OwnImage || kept(m))
            continue;
        const uchar* pixels = m.OwnImage->Image().constBits();
        if (const auto it = changed.constFind(pixels); it != changed.cend()) {
            *m.OwnImage = it->second;
            continue;
        }
        const platform::Bitmap before = *m.OwnImage;
        change(*m.OwnImage);
        changed.insert(pixels, {before, *m.OwnImage});
    }
}

} // namespace

void ShiftSkinHue(TsSkinModel& model, int degrees) {
    ChangePictures(model, KeptGlyphs(model.Data.BIKeepHue),
                   [degrees](platform::Bitmap& b) { ApplyHueToBitmap(b, degrees); });
    ForEachColor(model, [degrees](int32_t c) { return ChangeHue(c, degrees); });
}

void ShiftSkinSaturation(TsSkinModel& model, int amount) {
    ChangePictures(model, {},
                   [amount](platform::Bitmap& b) { ApplySaturationToBitmap(b, amount); });
    ForEachColor(model, [amount](int32_t c) { return ChangeSaturation(c, amount); });
}

QString VersionText(double version) {
    return QString::number(version, 'g', 15);
}

} // namespace skin
