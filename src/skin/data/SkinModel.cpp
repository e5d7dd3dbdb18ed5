#include "skin/data/SkinModel.h"

#include "platform/Paths.h"

#include <QFileInfo>

namespace skin {

TsSkinModel LoadSkinModel(const TIniFile& options, const PictureSource& pictures,
                          const QString& commonSections) {
    TsSkinModel model;
    LoadMasks(options, pictures, model.Images);
    LoadPatterns(options, pictures, model.Images);
    LoadGlobalData(options, model.Data);
    model.Sections = LoadSections(options);
    if (!commonSections.trimmed().isEmpty())
        MergeCommonSections(model.Sections, options, commonSections);
    FillSectionMasks(model.Sections, model.Images);
    return model;
}

TsSkinModel LoadSkinFromPath(const QString& path) {
    const QFileInfo info(path);
    if (info.isDir()) {
        const PictureSource folder{nullptr, info.absoluteFilePath()};
        const auto options = folder.Load(QStringLiteral("OPTIONS.DAT"));
        if (!options)
            throw ESkinError(("There is no Options.dat in \"" + path + "\"").toStdString());
        return LoadSkinModel(TIniFile::FromBytes(*options), folder);
    }
    const auto package = UnpackPackageFile(path);
    if (!package)
        throw ESkinError(("There is no skin at \"" + path + "\"").toStdString());
    const TIniFile options =
        package->OptionsText ? TIniFile::FromBytes(*package->OptionsText) : TIniFile();
    return LoadSkinModel(options, PictureSource{&*package, QString()});
}

QString VersionText(double version) {
    return QString::number(version, 'g', 15);
}

} // namespace skin
