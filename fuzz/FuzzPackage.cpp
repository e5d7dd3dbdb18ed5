// Fuzz target: the skin package reader, and a package that reads through
// the whole skin loader (its pictures decoded as the program does).
#include "skin/data/SkinModel.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const auto skin = skin::UnpackPackage(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        (void)skin.FindMember(QStringLiteral("MASTER.BMP"));
        (void)skin::LoadSkinFromPackage(skin, QString());
    } catch (const skin::ESkinError&) {
    }
    return 0;
}
