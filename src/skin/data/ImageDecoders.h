// Decoders for the pictures of skins: BMP (our own reader), JPEG (libjpeg)
// and PNG (libpng). Each returns a 32-bit Bitmap and remembers the bits per
// pixel of the source. Pictures come from outside: every size and offset is
// checked against the bytes before use, and pictures larger than
// kMaxPictureSide on a side, or of more pixels than the caller allows
// (`maxPixels`, what is left of a skin's budget), are refused before
// anything is allocated.
// Failures throw ESkinError with the decoder's message.
#pragma once

#include "platform/Bitmap.h"

#include <QByteArray>

namespace skin {

constexpr int kMaxPictureSide = 16384;
// One picture may be as large as all of a skin's pictures together (see
// kMaxSkinPixels): 128 MiB at 32 bits a pixel.
constexpr qint64 kMaxPicturePixels = qint64(1) << 25;
constexpr long kMaxJpegWorkMemory = 128L * 1024 * 1024;

// BMP: core (OS/2), info, v4 and v5 headers; 1, 4, 8, 16, 24 and 32 bits per
// pixel; uncompressed, bit fields, RLE4 and RLE8; bottom-up and top-down.
// The fourth byte of each pixel is 255, or the alpha of a 32-bit picture
// whose bit fields give one.
platform::Bitmap DecodeBmp(const QByteArray& bytes, qint64 maxPixels = kMaxPicturePixels);

// A progressive JPEG may have only so many scans: each one is a pass over
// the whole picture, and a few bytes make one (common encoders write about
// ten). Between the least and the most below, as many as keep scans times
// pixels within kJpegScanWork.
constexpr int kMinJpegScans = 16, kMaxJpegScans = 100;
constexpr qint64 kJpegScanWork = qint64(1) << 28;
int AllowedJpegScans(qint64 pixels);

// JPEG through libjpeg; every pixel opaque. The decoder's own working
// memory (a progressive picture keeps all its coefficients) is capped at
// kMaxJpegWorkMemory. `used`, when given, receives the number of bytes up
// to the picture's end (what follows it is not part of it).
platform::Bitmap DecodeJpeg(const QByteArray& bytes, qint64 maxPixels = kMaxPicturePixels,
                            qsizetype* used = nullptr);

// PNG through libpng, as 8-bit red, green, blue and opacity per pixel.
// Text, profile and other ancillary chunks are skipped, not kept.
platform::Bitmap DecodePng(const QByteArray& bytes, qint64 maxPixels = kMaxPicturePixels);

// Sets every pixel that is white with opacity 0 to all zeros.
void ApplyWhiteTransparentRule(platform::Bitmap& picture);

// Picks the decoder from the picture's first bytes.
platform::Bitmap DecodePicture(const QByteArray& bytes, qint64 maxPixels = kMaxPicturePixels);

} // namespace skin
