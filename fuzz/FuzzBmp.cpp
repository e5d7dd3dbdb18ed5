// Fuzz target: the Bmp decoder.
#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinPackage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const platform::Bitmap b = skin::DecodeBmp(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        (void)b.Width();
    } catch (const skin::ESkinError&) {
    }
    return 0;
}
