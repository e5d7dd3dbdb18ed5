// Skin packages written byte by byte, so that tests can build the broken
// ones no writer of ours would make.
#pragma once

#include <QByteArray>
#include <zlib.h>

namespace testing_support {

inline QByteArray Int32(qint32 v) {
    QByteArray b(4, '\0');
    for (int i = 0; i < 4; ++i)
        b[i] = static_cast<char>((static_cast<uint32_t>(v) >> (8 * i)) & 0xFF);
    return b;
}

inline QByteArray Zlib(const QByteArray& data, int level = Z_DEFAULT_COMPRESSION) {
    uLongf size = compressBound(data.size());
    QByteArray out(size, '\0');
    compress2(reinterpret_cast<Bytef*>(out.data()), &size,
              reinterpret_cast<const Bytef*>(data.constData()), data.size(), level);
    out.truncate(size);
    return out;
}

// One record, with a declared size that may differ from the data's.
inline QByteArray Record(const QByteArray& name, const QByteArray& data, qint32 declared = -1) {
    return Int32(name.size()) + name + Int32(declared < 0 ? data.size() : declared) + Zlib(data);
}

inline QByteArray Package(const QByteArray& records, qint32 count) {
    return "ASzf" + Int32(count) + records;
}

} // namespace testing_support
