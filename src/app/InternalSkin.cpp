#include "app/InternalSkin.h"

#include "skin/data/TsSkinManager.h"

#include <QFile>
#include <QTemporaryDir>

namespace content {

QByteArray InternalSkinPackage() {
    QFile f(kInternalSkinResource);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

void UseInternalSkinOnly(skin::TsSkinManager& manager, const QString& dataHome) {
    qputenv("XDG_DATA_HOME", dataHome.toUtf8());
    skin::TsStoredSkin wood;
    wood.Name = kInternalSkinName;
    wood.Data = InternalSkinPackage();
    manager.SetInternalSkins({wood});
    manager.SetSkinName(wood.Name);
}

skin::TsSkinManager& InternalSkinManager() {
    static QTemporaryDir home;
    static skin::TsSkinManager* manager = [] {
        auto* m = new skin::TsSkinManager;
        UseInternalSkinOnly(*m, home.path());
        return m;
    }();
    return *manager;
}

} // namespace content
