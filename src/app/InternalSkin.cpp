#include "app/InternalSkin.h"

#include "skin/data/TsSkinManager.h"

#include <QFile>
#include <QResource>
#include <QTemporaryDir>
#include <utility>

namespace content {

QByteArray InternalSkinPackage() {
    // The resource is stored uncompressed: its bytes are read where they
    // lie in the program, without a copy.
    const QResource resource(kInternalSkinResource);
    if (resource.isValid() && resource.compressionAlgorithm() == QResource::NoCompression)
        return QByteArray::fromRawData(reinterpret_cast<const char*>(resource.data()),
                                       resource.size());
    QFile f(kInternalSkinResource);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

namespace {

skin::PreparedSkinModel& Prepared() {
    static skin::PreparedSkinModel prepared;
    return prepared;
}

} // namespace

void PrepareInternalSkin() {
    Prepared() = skin::PreparedSkinModel::Start(InternalSkinPackage());
}

skin::PreparedSkinModel PreparedInternalSkin() {
    return std::exchange(Prepared(), {});
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
