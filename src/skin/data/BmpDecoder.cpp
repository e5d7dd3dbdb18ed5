#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinPackage.h"

#include <algorithm>
#include <array>
#include <cstring>

namespace skin {

namespace {

[[noreturn]] void Bad(const char* why) {
    throw ESkinError(std::string("Invalid bitmap: ") + why);
}

struct Bytes {
    const QByteArray& data;
    uint32_t U16(qsizetype at) const {
        Need(at, 2);
        return uint8_t(data[at]) | (uint8_t(data[at + 1]) << 8);
    }
    uint32_t U32(qsizetype at) const {
        Need(at, 4);
        return U16(at) | (U16(at + 2) << 16);
    }
    int32_t I32(qsizetype at) const { return static_cast<int32_t>(U32(at)); }
    uint8_t U8(qsizetype at) const {
        Need(at, 1);
        return uint8_t(data[at]);
    }
    void Need(qsizetype at, qsizetype n) const {
        if (at < 0 || n < 0 || at > data.size() - n)
            Bad("the file is truncated");
    }
};

// One channel of a bit-field pixel, scaled to 8 bits.
struct Field {
    uint32_t Mask = 0;
    int Shift = 0, Bits = 0;
    explicit Field(uint32_t mask = 0) : Mask(mask) {
        if (!mask)
            return;
        while (!((mask >> Shift) & 1))
            ++Shift;
        while (Shift + Bits < 32 && ((mask >> (Shift + Bits)) & 1))
            ++Bits;
    }
    uint32_t Get(uint32_t px) const {
        if (!Mask)
            return 0;
        const uint32_t v = (px & Mask) >> Shift;
        if (Bits >= 8)
            return v >> (Bits - 8);
        // Narrow channels are shifted up, as the common readers do (31 of 5
        // bits becomes 248), so skins look the same in every tool.
        return (v << (8 - Bits)) & 0xFF;
    }
};

constexpr uint32_t BI_RGB = 0, BI_RLE8 = 1, BI_RLE4 = 2, BI_BITFIELDS = 3, BI_ALPHABITFIELDS = 6;

// Run-length data: the column and row only ever grow (runs, line ends and
// deltas), so they are kept wide enough never to wrap. Pixels past the
// picture's edge are dropped, a whole run at a time: the work follows the
// picture and the bytes, not the lengths the runs claim.
void DecodeRle(const Bytes& in, qsizetype at, qsizetype end, int bits, int width, int height,
               const std::vector<uint32_t>& palette, platform::Bitmap& out, bool topDown) {
    qint64 x = 0, y = 0; // y counts rows in file order
    // `count` pixels from the column on; pixel i has the index `indexAt(i)`.
    auto run = [&](int count, auto&& indexAt) {
        if (x < width) {
            uint32_t* row = out.ScanLine(static_cast<int>(topDown ? y : height - 1 - y));
            const int shown = static_cast<int>(std::min<qint64>(count, width - x));
            for (int i = 0; i < shown; ++i) {
                const int index = indexAt(i);
                row[x + i] = index < int(palette.size()) ? palette[index] : 0xFF000000u;
            }
        }
        x += count;
    };
    while (at + 1 < end && y < height) {
        const int count = in.U8(at), code = in.U8(at + 1);
        at += 2;
        if (count > 0) {
            run(count,
                [&](int i) { return bits == 8 ? code : (i % 2 == 0 ? code >> 4 : code & 15); });
        } else if (code == 0) {
            x = 0;
            ++y;
        } else if (code == 1) {
            return;
        } else if (code == 2) {
            x += in.U8(at);
            y += in.U8(at + 1);
            at += 2;
        } else {
            const int bytes = bits == 8 ? code : (code + 1) / 2;
            in.Need(at, bytes);
            run(code, [&](int i) {
                const uint8_t b = in.U8(at + (bits == 8 ? i : i / 2));
                return bits == 8 ? b : (i % 2 == 0 ? b >> 4 : b & 15);
            });
            at += (bytes + 1) & ~1;
        }
    }
}

struct BmpHeader {
    uint32_t PixelsAt = 0, HeaderSize = 0, Compression = BI_RGB, Colours = 0;
    int Width = 0, Height = 0, Bits = 0;
    bool TopDown = false;
    bool Fields() const { return Compression == BI_BITFIELDS || Compression == BI_ALPHABITFIELDS; }
    bool Rle() const { return Compression == BI_RLE8 || Compression == BI_RLE4; }
};

// The file and picture headers, checked against each other and against the
// pixel limit before anything is allocated.
BmpHeader ReadHeader(const Bytes& in, qint64 maxPixels) {
    const QByteArray& data = in.data;
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M')
        Bad("not a BMP file");
    BmpHeader h;
    h.PixelsAt = in.U32(10);
    h.HeaderSize = in.U32(14);
    if (h.HeaderSize == 12) {
        h.Width = in.U16(18);
        h.Height = static_cast<int16_t>(in.U16(20));
        h.Bits = in.U16(24);
    } else if (h.HeaderSize >= 40 && h.HeaderSize <= 124) {
        h.Width = in.I32(18);
        h.Height = in.I32(22);
        if (in.U16(26) != 1)
            Bad("the plane count is not 1");
        h.Bits = in.U16(28);
        h.Compression = in.U32(30);
        h.Colours = in.U32(46);
    } else {
        Bad("unknown header size");
    }
    h.TopDown = h.Height < 0;
    if (h.Height == INT32_MIN)
        Bad("the size is out of range");
    h.Height = std::abs(h.Height);
    if (h.Width <= 0 || h.Height <= 0)
        Bad("the size is zero or negative");
    const qint64 pixels = qint64(h.Width) * h.Height;
    if (h.Width > kMaxPictureSide || h.Height > kMaxPictureSide || pixels > kMaxPicturePixels ||
        pixels > maxPixels)
        Bad("the picture is too large");
    // Even run-length data needs two bytes for at most 255 pixels: a picture
    // far larger than its bytes allow is refused before it is allocated.
    if (pixels > 512 * qint64(data.size()) + 65536)
        Bad("the picture is larger than its data");
    if (h.Fields() && h.Bits != 16 && h.Bits != 32)
        Bad("bit fields need 16 or 32 bits per pixel");
    if (h.Compression == BI_RLE8 && h.Bits != 8)
        Bad("RLE8 needs 8 bits per pixel");
    if (h.Compression == BI_RLE4 && h.Bits != 4)
        Bad("RLE4 needs 4 bits per pixel");
    if (h.Compression > BI_BITFIELDS && h.Compression != BI_ALPHABITFIELDS)
        Bad("unsupported compression");
    if (h.Bits != 1 && h.Bits != 4 && h.Bits != 8 && h.Bits != 16 && h.Bits != 24 && h.Bits != 32)
        Bad("unsupported bits per pixel");
    return h;
}

// Channel masks: in the header from version 4 on, else right after it;
// fixed ones for plain 16 and 32 bits.
std::array<uint32_t, 4> ReadMasks(const Bytes& in, const BmpHeader& h) {
    std::array<uint32_t, 4> masks{0, 0, 0, 0};
    if (h.Fields()) {
        const int count = h.Compression == BI_ALPHABITFIELDS || h.HeaderSize >= 56 ? 4 : 3;
        for (int i = 0; i < count; ++i)
            masks[i] = in.U32(14 + 40 + 4 * i);
    } else if (h.Bits == 16) {
        masks = {0x7C00, 0x03E0, 0x001F, 0};
    } else if (h.Bits == 32) {
        masks = {0xFF0000, 0xFF00, 0xFF, 0};
    }
    return masks;
}

std::vector<uint32_t> ReadPalette(const Bytes& in, const BmpHeader& h) {
    std::vector<uint32_t> palette;
    if (h.Bits > 8)
        return palette;
    const uint32_t maxColours = 1u << h.Bits;
    const uint32_t colours = h.Colours == 0 || h.Colours > maxColours ? maxColours : h.Colours;
    const int entry = h.HeaderSize == 12 ? 3 : 4;
    const qsizetype paletteAt = 14 + h.HeaderSize + (h.Fields() ? 12 : 0);
    // A palette may be cut short by the pixel data; unread entries are black.
    for (uint32_t i = 0; i < colours; ++i) {
        const qsizetype at = paletteAt + qsizetype(i) * entry;
        if (at + 3 > qsizetype(h.PixelsAt) || at + 3 > in.data.size())
            break;
        palette.push_back(0xFF000000u | (in.U8(at + 2) << 16) | (in.U8(at + 1) << 8) | in.U8(at));
    }
    return palette;
}

// Uncompressed rows (indexed, 24-bit or bit fields); every pixel is set.
void DecodeRows(const Bytes& in, const BmpHeader& h, const std::vector<uint32_t>& palette,
                const std::array<uint32_t, 4>& masks, platform::Bitmap& out) {
    const int width = h.Width, height = h.Height, bits = h.Bits;
    const qsizetype stride = ((qsizetype(width) * bits + 31) / 32) * 4;
    const Field red(masks[0]), green(masks[1]), blue(masks[2]), alpha(masks[3]);
    const int perByte = bits <= 8 ? 8 / bits : 1;
    const int indexMask = (1 << std::min(bits, 8)) - 1;
    for (int row = 0; row < height; ++row) {
        const auto* src =
            reinterpret_cast<const uint8_t*>(in.data.constData()) + h.PixelsAt + row * stride;
        uint32_t* dst = out.ScanLine(h.TopDown ? row : height - 1 - row);
        if (bits == 24) {
            for (int x = 0; x < width; ++x, src += 3)
                dst[x] = 0xFF000000u | (src[2] << 16) | (src[1] << 8) | src[0];
        } else if (bits == 8) {
            for (int x = 0; x < width; ++x)
                dst[x] = src[x] < palette.size() ? palette[src[x]] : 0xFF000000u;
        } else if (bits < 8) {
            for (int x = 0; x < width; ++x) {
                const int index = (src[x / perByte] >> (8 - bits * (x % perByte + 1))) & indexMask;
                dst[x] = index < int(palette.size()) ? palette[index] : 0xFF000000u;
            }
        } else {
            for (int x = 0; x < width; ++x) {
                const uint32_t v = bits == 16 ? uint32_t(src[2 * x] | (src[2 * x + 1] << 8))
                                              : uint32_t(src[4 * x] | (src[4 * x + 1] << 8) |
                                                         (src[4 * x + 2] << 16) |
                                                         (uint32_t(src[4 * x + 3]) << 24));
                const uint32_t a = alpha.Mask ? alpha.Get(v) : 255;
                dst[x] = (a << 24) | (red.Get(v) << 16) | (green.Get(v) << 8) | blue.Get(v);
            }
        }
    }
}

} // namespace

platform::Bitmap DecodeBmp(const QByteArray& data, qint64 maxPixels) {
    const Bytes in{data};
    const BmpHeader h = ReadHeader(in, maxPixels);
    const std::array<uint32_t, 4> masks = ReadMasks(in, h);
    const std::vector<uint32_t> palette = ReadPalette(in, h);
    if (!h.Rle())
        in.Need(h.PixelsAt, ((qsizetype(h.Width) * h.Bits + 31) / 32) * 4 * h.Height);
    // Run-length pictures may leave pixels out (they stay black); plain ones
    // set every pixel.
    platform::Bitmap out = h.Rle() ? platform::Bitmap(h.Width, h.Height)
                                   : platform::Bitmap::Unfilled(h.Width, h.Height);
    out.SetSourceBitsPerPixel(h.Bits);
    if (h.Rle())
        DecodeRle(in, h.PixelsAt, data.size(), h.Bits, h.Width, h.Height, palette, out, h.TopDown);
    else
        DecodeRows(in, h, palette, masks, out);
    return out;
}

} // namespace skin
