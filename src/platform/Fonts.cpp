#include "platform/Fonts.h"

#include <QFontDatabase>
#include <QStringList>
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

constexpr const char* kEmbeddedFaces[] = {
    ":/fonts/PTS55F.ttf",
    ":/fonts/PTS75F.ttf",
    ":/fonts/LiberationSerif-Regular.ttf",
    ":/fonts/LiberationSerif-Bold.ttf",
    ":/fonts/Andika-Regular.ttf",
    ":/fonts/Andika-Bold.ttf",
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
    // Embedded faces are the point: never silently fall back to another one.
    f.setStyleStrategy(QFont::PreferAntialias);
    return f;
}

bool LoadEmbeddedFonts() {
    static int loaded = -1;
    if (loaded >= 0)
        return loaded == static_cast<int>(std::size(kEmbeddedFaces));
    loaded = 0;
    for (const char* path : kEmbeddedFaces)
        if (QFontDatabase::addApplicationFont(QString::fromLatin1(path)) >= 0)
            ++loaded;
    return loaded == static_cast<int>(std::size(kEmbeddedFaces));
}

QFont DefaultUiFont() {
    return TFont{}.ToQFont();
}

} // namespace platform
