#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
#include <fontconfig/fontconfig.h>
#include <utility>

namespace platform {

namespace {

constexpr std::pair<const char*, const char*> kStandIns[] = {
    {"MS Sans Serif", "PT Sans"},
    {"Microsoft Sans Serif", "PT Sans"},
    {"Times New Roman", "Liberation Serif"},
    {"Comic Sans MS", "Andika"},
    {"Tahoma", "PT Sans"},
};

constexpr StandInFace kFaces[] = {
    {"PT Sans", false, ":/fonts/PTS55F.ttf"},
    {"PT Sans", true, ":/fonts/PTS75F.ttf"},
    {"Liberation Serif", false, ":/fonts/LiberationSerif-Regular.ttf"},
    {"Liberation Serif", true, ":/fonts/LiberationSerif-Bold.ttf"},
    {"Andika", false, ":/fonts/Andika-Regular.ttf"},
    {"Andika", true, ":/fonts/Andika-Bold.ttf"},
};

} // namespace

QString StandInFamily(const QString& faceName) {
    for (const auto& [name, family] : kStandIns)
        if (faceName.compare(QLatin1String(name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(family);
    return faceName;
}

QFont TFont::ToQFont() const {
    QFont f(StandInFamily(Name));
    f.setPixelSize(std::max(Height, 1));
    f.setBold(Style & fsBold);
    f.setItalic(Style & fsItalic);
    f.setUnderline(Style & fsUnderline);
    f.setStrikeOut(Style & fsStrikeOut);
    // Smoothed whatever the desktop asks, as the windows were drawn.
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

std::span<const StandInFace> StandInFaces() {
    return kFaces;
}

std::vector<StandInFace>
FacesToEmbed(const std::function<bool(const QString& family, bool bold)>& installed) {
    std::vector<StandInFace> missing;
    for (const StandInFace& face : kFaces)
        if (!installed(QString::fromLatin1(face.Family), face.Bold))
            missing.push_back(face);
    return missing;
}

bool FaceInstalled(const QString& family, bool bold) {
    // Looked up among the listed families: QFontDatabase::hasFamily first
    // runs the name through fontconfig's alias rules, about 0.2 ms a call at
    // every start, and a face that is only an alias is no installed face.
    if (!QFontDatabase::families().contains(family, Qt::CaseInsensitive))
        return false;
    // An upright style of the right weight: a family with only its regular
    // cut would otherwise be made bold by smearing.
    for (const QString& style : QFontDatabase::styles(family))
        if (!QFontDatabase::italic(family, style) &&
            (QFontDatabase::weight(family, style) >= QFont::Bold) == bold)
            return true;
    return false;
}

void ReadFontConfiguration() {
    FcInit();
}

bool LoadFonts() {
    static int result = -1;
    if (result < 0) {
        result = 1;
        for (const StandInFace& face : FacesToEmbed(FaceInstalled))
            if (QFontDatabase::addApplicationFont(QString::fromLatin1(face.Resource)) < 0)
                result = 0;
    }
    return result == 1;
}

QFont DefaultUiFont() {
    return TFont{}.ToQFont();
}

} // namespace platform
