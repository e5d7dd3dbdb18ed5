// Fuzz target: a skin folder through the whole loader. The input is the
// folder's files one after another: a byte for the length of the name, the
// name, three bytes (little-endian) for the length of the contents, and the
// contents (lengths past the input's end stop there). A file without a name
// is "Options.dat"; a name that begins with '|' makes a named pipe (which
// the reader must refuse without blocking) and one that begins with '@' a
// link to the file that its contents name.
#include "skin/data/SkinLookup.h"
#include "skin/data/SkinModel.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstddef>
#include <cstdint>
#include <sys/stat.h>

namespace {

// Names kept to letters, digits and dots, so that nothing leaves the folder.
QString SafeName(const QByteArray& raw) {
    QString name;
    for (char c : raw.left(32))
        if (QChar::isLetterOrNumber(uchar(c)) || c == '.')
            name += QLatin1Char(c);
    return name;
}

void MakeFile(const QDir& dir, const QByteArray& head, const QByteArray& bytes) {
    if (head.startsWith('|')) {
        const QString name = SafeName(head.mid(1));
        if (!name.isEmpty())
            ::mkfifo(QFile::encodeName(dir.filePath(name)).constData(), 0600);
        return;
    }
    if (head.startsWith('@')) {
        const QString name = SafeName(head.mid(1));
        if (!name.isEmpty())
            QFile::link(SafeName(bytes), dir.filePath(name));
        return;
    }
    QString name = SafeName(head);
    if (name.isEmpty())
        name = QStringLiteral("Options.dat");
    QFile file(dir.filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static QTemporaryDir root;
    const QDir dir(root.path());
    for (const QString& entry :
         dir.entryList(QDir::AllEntries | QDir::System | QDir::Hidden | QDir::NoDotAndDotDot))
        QFile::remove(dir.filePath(entry));
    const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    for (qsizetype at = 0; at < input.size();) {
        const qsizetype nameLength = uchar(input[at++]);
        const QByteArray name = input.mid(at, nameLength);
        at += nameLength;
        qsizetype length = 0;
        for (int i = 0; i < 3 && at < input.size(); ++i)
            length |= qsizetype(uchar(input[at++])) << (8 * i);
        MakeFile(dir, name, input.mid(at, length));
        at += length;
    }
    try {
        if (const auto model = skin::LoadSkinFromFolder(dir.path())) {
            const skin::SkinLookup lookup(model->Sections, model->Images);
            for (int i = 0; i < int(model->Sections.size()); ++i)
                (void)lookup.Mask(i, model->Sections[i].SectionName, QStringLiteral("BORDERSMASK"));
        }
    } catch (const skin::ESkinError&) {
    }
    return 0;
}
