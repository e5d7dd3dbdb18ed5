// The program's embedded content (texts, pictures, font faces) is compiled
// into this library as Qt resources.
#include <QFile>

namespace content {

// True when the embedded content is linked in (the rune back is its first picture).
bool ContentAvailable() {
    return QFile::exists(QStringLiteral(":/art/back.bmp"));
}

} // namespace content
