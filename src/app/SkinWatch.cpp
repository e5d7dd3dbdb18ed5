#include "app/SkinWatch.h"

#include "skin/data/SkinPackage.h"

#include <QDir>
#include <QFileInfo>
#include <cstdio>

namespace app {

SkinWatch::SkinWatch(skin::TsSkinManager& manager, const QString& path)
    : manager_(manager), path_(path) {
    OnError = [](const QString& message) {
        std::fprintf(stderr, "charolist: %s\n", message.toLocal8Bit().constData());
    };
    settle_.setSingleShot(true);
    settle_.setInterval(kSettleMs);
    connect(&settle_, &QTimer::timeout, this, &SkinWatch::Apply);
    connect(&watcher_, &QFileSystemWatcher::fileChanged, this, &SkinWatch::Changed);
    connect(&watcher_, &QFileSystemWatcher::directoryChanged, this, &SkinWatch::Changed);
    Watch();
}

// A folder skin: the folder and every file in it. A package: the file and
// the folder it lies in, where a package written anew by renaming shows.
// Files replaced by an editor drop out of the watch, so it is renewed at
// every change.
void SkinWatch::Watch() {
    const QFileInfo info(path_);
    QStringList paths{info.isDir() ? info.absoluteFilePath() : info.absolutePath()};
    if (info.isDir()) {
        for (const QFileInfo& file : QDir(path_).entryInfoList(QDir::Files | QDir::Hidden))
            paths << file.absoluteFilePath();
    } else if (info.exists()) {
        paths << info.absoluteFilePath();
    }
    const QStringList watched = watcher_.files() + watcher_.directories();
    for (const QString& p : paths)
        if (!watched.contains(p))
            watcher_.addPath(p);
}

void SkinWatch::Changed() {
    settle_.start();
}

void SkinWatch::Apply() {
    Watch();
    QString error;
    try {
        const skin::SkinPlace place = skin::PlaceOfSkin(path_);
        // The start may have fallen back to another folder's skin.
        manager_.SetSkinDirectory(place.Folder);
        if (const auto failed = manager_.LoadQuietly(place.Name))
            error = *failed;
    } catch (const skin::ESkinError& e) {
        error = QString::fromStdString(e.what());
    }
    if (!error.isEmpty() && OnError)
        OnError(
            QStringLiteral("the changed skin at \"%1\" did not load, the skin in force stays: %2")
                .arg(path_, error));
}

} // namespace app
