#include "app/InternalSkin.h"

#include <QFile>

namespace content {

QByteArray InternalSkinPackage() {
    QFile f(kInternalSkinResource);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace content
