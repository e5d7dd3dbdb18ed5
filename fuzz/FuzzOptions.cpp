// Fuzz target: an options text through the section and mask loaders, with
// one small master picture and one picture of its own in the package.
#include "skin/data/SkinMasks.h"

#include <cstddef>
#include <cstdint>

namespace {

QByteArray TinyBmp() {
    // 2 x 2, 24 bits per pixel, bottom-up.
    QByteArray b("BM", 2);
    auto put = [&](uint32_t v, int n) {
        for (int i = 0; i < n; ++i)
            b.append(static_cast<char>((v >> (8 * i)) & 0xFF));
    };
    put(70, 4), put(0, 4), put(54, 4), put(40, 4), put(2, 4), put(2, 4), put(1, 2), put(24, 2);
    put(0, 4), put(16, 4), put(0, 4), put(0, 4), put(0, 4), put(0, 4);
    b.append(QByteArray(16, '\x7F'));
    return b;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const skin::TacSkinConvertor package = [] {
        skin::TacSkinConvertor p;
        p.Members.push_back({"Master.bmp", true, TinyBmp()});
        p.Members.push_back({"Own.bmp", true, TinyBmp()});
        return p;
    }();
    try {
        const skin::TIniFile ini = skin::TIniFile::FromBytes(
            QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
        skin::TsSkinData global;
        skin::LoadGlobalData(ini, global);
        skin::TsSkinImages images;
        const skin::PictureSource source{&package, QString()};
        skin::LoadMasks(ini, source, images);
        skin::LoadPatterns(ini, source, images);
        skin::TsGeneralDataArray sections = skin::LoadSections(ini);
        skin::FillSectionMasks(sections, images);
        for (int i = 0; i < int(images.Masks.size()); ++i)
            (void)skin::MaskLeftWidth(images, i);
    } catch (const skin::ESkinError&) {
    }
    return 0;
}
