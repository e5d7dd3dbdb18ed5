// Fuzz target: the skin package reader.
#include "skin/data/SkinPackage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const auto skin = skin::UnpackPackage(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        (void)skin.FindMember(QStringLiteral("MASTER.BMP"));
    } catch (const skin::ESkinError&) {
    }
    return 0;
}
