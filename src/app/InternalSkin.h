// The skin the program carries inside it, as a skin package.
#pragma once

#include <QByteArray>
#include <QString>

namespace content {

// The name the program knows its own skin by.
inline const QString kInternalSkinName = QStringLiteral("Wood (internal)");
// Where the package lies among the program's resources.
inline const QString kInternalSkinResource = QStringLiteral(":/skin/Wood.asz");

// The bytes of the package; empty when it is not linked in.
QByteArray InternalSkinPackage();

} // namespace content
