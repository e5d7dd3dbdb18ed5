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
    const QString exact = folder + u'/' + name;
    if (QFileInfo::exists(exact))
        return exact;
    const QDir dir(folder);
    for (const QString& entry :
         dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDir::Name))
        if (entry.compare(name, Qt::CaseInsensitive) == 0)
            return folder + u'/' + entry;
    return exact;
}

QString MapPathIgnoringCase(const QString& stored) {
    const QString mapped = MapPath(stored);
    const QString root = UserDataFolder();
    if (!mapped.startsWith(root + u'/'))
        return mapped;
    QString path = root;
    for (const QString& name : mapped.mid(root.size() + 1).split(u'/', Qt::SkipEmptyParts))
        path = FindInFolder(path, name);
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
