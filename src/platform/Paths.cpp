#include "platform/Paths.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace platform {

QString UserDataFolder() {
    QString base = qEnvironmentVariable("XDG_DATA_HOME");
    if (base.isEmpty() || !QDir::isAbsolutePath(base))
        base = QDir::homePath() + QStringLiteral("/.local/share");
    return base + QStringLiteral("/charolist");
}

QString MapPath(const QString& stored) {
    QString path = stored;
    path.replace(u'\\', u'/');
    if (path.size() >= 2 && path[1] == u':' && path[0].toLower() == u'c') {
        QString rest = path.mid(2);
        while (rest.startsWith(u'/'))
            rest.remove(0, 1);
        path = UserDataFolder() + (rest.isEmpty() ? QString() : u'/' + rest);
    }
    return path;
}

QString FindInFolder(const QString& folder, const QString& name) {
    return FolderLookup().Find(folder, name);
}

QString MapPathIgnoringCase(const QString& stored) {
    return FolderLookup().MapPathIgnoringCase(stored);
}

QString FolderLookup::Find(const QString& folder, const QString& name) {
    const QString exact = folder + u'/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    auto listing = listings_.find(folder);
    if (listing == listings_.end()) {
        QHash<QString, QString> names;
        const QDir dir(folder);
        for (const QString& entry :
             dir.entryList(QDir::AllEntries | QDir::System | QDir::NoDotAndDotDot | QDir::Hidden,
                           QDir::Name)) {
            const QString folded = entry.toCaseFolded();
            if (!names.contains(folded))
                names.insert(folded, entry);
        }
        listing = listings_.insert(folder, names);
    }
    const auto entry = listing->constFind(name.toCaseFolded());
    return entry == listing->cend() ? exact : folder + u'/' + *entry;
}

QString FolderLookup::MapPathIgnoringCase(const QString& stored) {
    const QString mapped = MapPath(stored);
    const QString root = UserDataFolder();
    if (!mapped.startsWith(root + u'/'))
        return mapped;
    QString path = root;
    for (const QString& name : mapped.mid(root.size() + 1).split(u'/', Qt::SkipEmptyParts))
        path = Find(path, name);
    return path;
}

bool FileExists(const QString& path) {
    const QFileInfo info(path);
    return info.exists() && !info.isDir();
}

bool DirectoryExists(const QString& path) {
    return QFileInfo(path).isDir();
}

QString ExecutableFolder() {
    return QCoreApplication::applicationDirPath();
}

} // namespace platform
