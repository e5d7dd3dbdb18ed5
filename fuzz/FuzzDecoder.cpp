// Fuzz target: one picture decoder, chosen at build time (DECODER is
// DecodeBmp, DecodePng or DecodeJpeg).
#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinPackage.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        const platform::Bitmap b = skin::DECODER(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        (void)b.Width();
    } catch (const skin::ESkinError&) {
    }
    return 0;
}
