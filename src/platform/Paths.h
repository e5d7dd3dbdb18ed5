// The file system as the program sees it. Stored paths keep their drive form
// ("c:\Skins"): drive C is the user's data folder ($XDG_DATA_HOME/charolist,
// else ~/.local/share/charolist) and '\' becomes '/'. Skins were made where
// file names ignore letter case, so names inside a skin folder are matched
// without regard to case, an exact match first.
#pragma once

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

bool FileExists(const QString& path);
bool DirectoryExists(const QString& path);

// The folder holding the program's own executable.
QString ExecutableFolder();

} // namespace platform
