// The file system as the program sees it. Stored paths keep their drive form
// ("c:\Skins"): drive C is the user's data folder ($XDG_DATA_HOME/charolist,
// else ~/.local/share/charolist) and '\' becomes '/'. Skins were made where
// file names ignore letter case, so names inside a skin folder are matched
// without regard to case, an exact match first.
#pragma once

#include <QHash>
#include <QString>

namespace platform {

// The folder that stands for drive C.
QString UserDataFolder();

// Maps a stored path ("c:\Skins\Wood.asz") to a local one. A path that is
// already local (no drive letter) only has its separators turned.
QString MapPath(const QString& stored);

// The path of `name` inside `folder`: the exact name when it exists, else the
// first entry whose name matches without regard to case, else the exact name
// (which does not exist).
QString FindInFolder(const QString& folder, const QString& name);

// MapPath, and then every name below drive C's folder matched as FindInFolder
// does, so that "C:\SKINS\WOOD.BMP" finds ".../Skins/Wood.bmp".
QString MapPathIgnoringCase(const QString& stored);

// FindInFolder and MapPathIgnoringCase for many names at once: each folder
// is listed once, at its first name that has no exact match, and then
// answered from the listing; a folder that changes meanwhile is not seen.
// Every kind of entry is found (pipes and devices too, for the reader to
// refuse), whatever the letter case of its name.
class FolderLookup {
public:
    QString Find(const QString& folder, const QString& name);
    QString MapPathIgnoringCase(const QString& stored);

private:
    // Per folder, each name folded to one case and the first entry (by name)
    // that folds to it.
    QHash<QString, QHash<QString, QString>> listings_;
};

bool FileExists(const QString& path);
bool DirectoryExists(const QString& path);

// The folder holding the program's own executable.
QString ExecutableFolder();

} // namespace platform
