// The skin the program carries inside it, as a skin package.
#pragma once

#include "skin/data/SkinModel.h"

#include <QByteArray>
#include <QString>

namespace skin {
class TsSkinManager;
}

namespace content {

// The name the program knows its own skin by.
inline const QString kInternalSkinName = QStringLiteral("Wood (internal)");
// Where the package lies among the program's resources.
inline const QString kInternalSkinResource = QStringLiteral(":/skin/Wood.asz");

// The bytes of the package; empty when it is not linked in.
QByteArray InternalSkinPackage();

// Starts loading the package's model on a thread of its own, to run while
// the program starts; PreparedInternalSkin hands the load on. Once per
// process.
void PrepareInternalSkin();
// Hands on the load PrepareInternalSkin started; an empty one before it
// and after the first call.
skin::PreparedSkinModel PreparedInternalSkin();

// Gives the manager the program's own skin and puts it in force, with the
// user's data folder taken as `dataHome` so that no skin of the user's is
// found: the tools, tests and benchmarks paint with exactly this skin.
void UseInternalSkinOnly(skin::TsSkinManager& manager, const QString& dataHome);

// One manager for a whole process that paints with the program's own skin
// (benchmarks, tests sharing it), over an empty data folder of its own.
skin::TsSkinManager& InternalSkinManager();

} // namespace content
