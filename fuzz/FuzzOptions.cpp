// Fuzz target: an options text through the whole skin loader (masks,
// patterns, sections, common sections, hue and saturation changes), with one
// small master picture and one picture of its own in the package. Input
// after a byte 0x01 is the common sections' text.
#include "skin/data/SkinLookup.h"
#include "skin/data/SkinModel.h"

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
        const QByteArray input(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
        const qsizetype split = input.indexOf('\x01');
        const skin::TIniFile ini = skin::TIniFile::FromBytes(split < 0 ? input : input.left(split));
        skin::SkinLoadOptions how;
        if (split >= 0)
            how.CommonSections = QString::fromLatin1(input.mid(split + 1));
        how.HueOffset = static_cast<int>(size % 7) * 60 - 180;
        how.Saturation = static_cast<int>(size % 5) * 50 - 100;
        const skin::TsSkinModel model =
            skin::LoadSkinModel(ini, skin::PictureSource{&package, QString()}, how);
        for (int i = 0; i < int(model.Images.Masks.size()); ++i)
            (void)skin::MaskLeftWidth(model.Images, i);
        // The look-ups painting makes, for every section.
        const skin::SkinLookup lookup(model.Sections, model.Images);
        for (int i = 0; i < int(model.Sections.size()); ++i) {
            const QString& name = model.Sections[i].SectionName;
            (void)lookup.Mask(i, name, QStringLiteral("BORDERSMASK"));
            (void)lookup.Texture(i, name, QStringLiteral("PATTERN"));
            (void)lookup.Pattern(i, name, QStringLiteral("HOTPATTERN"));
        }
    } catch (const skin::ESkinError&) {
    }
    return 0;
}
