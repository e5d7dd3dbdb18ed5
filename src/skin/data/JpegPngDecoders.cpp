#include "skin/data/ImageDecoders.h"
#include "skin/data/SkinPackage.h"

#include <algorithm>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <jpeglib.h>
#include <png.h>
#include <string>
#include <vector>

namespace skin {

namespace {

bool SizeAllowed(qint64 width, qint64 height, qint64 maxPixels) {
    return width > 0 && height > 0 && width <= kMaxPictureSide && height <= kMaxPictureSide &&
           width * height <= std::min(kMaxPicturePixels, maxPixels);
}

void CheckSize(qint64 width, qint64 height, qint64 maxPixels, const char* kind) {
    if (width <= 0 || height <= 0)
        throw ESkinError(std::string(kind) + ": the picture is empty");
    if (!SizeAllowed(width, height, maxPixels))
        throw ESkinError(std::string(kind) + ": the picture is too large");
}

struct JpegError {
    jpeg_error_mgr Manager;
    jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void JpegErrorExit(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    longjmp(error->Jump, 1);
}

void JpegQuiet(j_common_ptr, int) {}

// Called as the decoder goes; ends a picture of too many scans.
void JpegCountScans(j_common_ptr info) {
    const auto* decoder = reinterpret_cast<j_decompress_ptr>(info);
    const int allowed =
        AllowedJpegScans(qint64(decoder->image_width) * qint64(decoder->image_height));
    if (decoder->input_scan_number <= allowed)
        return;
    auto* error = reinterpret_cast<JpegError*>(info->err);
    std::snprintf(error->Message, sizeof error->Message, "the picture has more than %d scans",
                  allowed);
    longjmp(error->Jump, 1);
}

} // namespace

int AllowedJpegScans(qint64 pixels) {
    return static_cast<int>(std::clamp<qint64>(kJpegScanWork / std::max<qint64>(pixels, 1),
                                               kMinJpegScans, kMaxJpegScans));
}

platform::Bitmap DecodeJpeg(const QByteArray& bytes, qint64 maxPixels, qsizetype* used) {
    jpeg_decompress_struct info{};
    JpegError error{};
    jpeg_progress_mgr progress{};
    progress.progress_monitor = JpegCountScans;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = JpegErrorExit;
    error.Manager.emit_message = JpegQuiet;
    platform::Bitmap out;
    // Nothing with a destructor may be created between setjmp and the last
    // libjpeg call: longjmp skips destructors.
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        throw ESkinError(std::string("JPEG: ") + error.Message);
    }
    jpeg_create_decompress(&info);
    info.progress = &progress;
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()),
                 static_cast<unsigned long>(bytes.size()));
    info.mem->max_memory_to_use = kMaxJpegWorkMemory;
    jpeg_read_header(&info, TRUE);
    if (!SizeAllowed(info.image_width, info.image_height, maxPixels)) {
        const qint64 width = info.image_width, height = info.image_height;
        jpeg_destroy_decompress(&info);
        CheckSize(width, height, maxPixels, "JPEG");
    }
    info.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&info);
    // Every row is written by the decoder.
    out = platform::Bitmap::Unfilled(static_cast<int>(info.output_width),
                                     static_cast<int>(info.output_height));
    while (info.output_scanline < info.output_height) {
        JSAMPROW row =
            reinterpret_cast<JSAMPROW>(out.ScanLine(static_cast<int>(info.output_scanline)));
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    if (used)
        *used = bytes.size() - static_cast<qsizetype>(info.src->bytes_in_buffer);
    jpeg_destroy_decompress(&info);
    out.SetSourceBitsPerPixel(24);
    return out;
}

namespace {

struct PngSource {
    const QByteArray& Bytes;
    size_t At = 0;
};

void PngRead(png_structp png, png_bytep out, size_t length) {
    auto* src = static_cast<PngSource*>(png_get_io_ptr(png));
    if (length > static_cast<size_t>(src->Bytes.size()) - src->At)
        png_error(png, "the file is truncated");
    std::memcpy(out, src->Bytes.constData() + src->At, length);
    src->At += length;
}

void PngFail(png_structp png, png_const_charp message) {
    auto* text = static_cast<std::string*>(png_get_error_ptr(png));
    *text = message;
    png_longjmp(png, 1);
}

void PngQuiet(png_structp, png_const_charp) {}

} // namespace

platform::Bitmap DecodePng(const QByteArray& bytes, qint64 maxPixels) {
    // The samples as stored: no gamma or colour-space correction, 16-bit
    // samples cut to their high byte, transparency chunks as opacity.
    std::string message;
    png_structp png = png_create_read_struct(PNG_LIBPNG_VER_STRING, &message, PngFail, PngQuiet);
    png_infop info = png ? png_create_info_struct(png) : nullptr;
    if (!info) {
        png_destroy_read_struct(&png, nullptr, nullptr);
        throw ESkinError("PNG: out of memory");
    }
    PngSource source{bytes};
    platform::Bitmap out;
    std::vector<png_bytep> rows;
    if (setjmp(png_jmpbuf(png))) {
        png_destroy_read_struct(&png, &info, nullptr);
        throw ESkinError("PNG: " + message);
    }
    png_set_read_fn(png, &source, PngRead);
    // Only the picture is wanted: ancillary chunks that libpng would inflate
    // or keep (texts above all, of which a few bytes may make megabytes) are
    // skipped as they are read.
    static const png_byte kSkipped[] = "tEXt\0zTXt\0iTXt\0iCCP\0sPLT\0eXIf\0";
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, nullptr, 0);
    png_set_keep_unknown_chunks(png, PNG_HANDLE_CHUNK_NEVER, kSkipped, 6);
    png_set_chunk_cache_max(png, 64);
    png_read_info(png, info);
    const png_uint_32 width = png_get_image_width(png, info),
                      height = png_get_image_height(png, info);
    if (!SizeAllowed(width, height, maxPixels))
        png_error(png, "the picture is empty or too large");
    const int type = png_get_color_type(png, info);
    png_set_expand(png);
    png_set_strip_16(png);
    if (type == PNG_COLOR_TYPE_GRAY || type == PNG_COLOR_TYPE_GRAY_ALPHA)
        png_set_gray_to_rgb(png);
    if (!(type & PNG_COLOR_MASK_ALPHA) && !png_get_valid(png, info, PNG_INFO_tRNS))
        png_set_filler(png, 0xFF, PNG_FILLER_AFTER);
    png_set_bgr(png);
    png_set_interlace_handling(png);
    png_read_update_info(png, info);
    out = platform::Bitmap(
        QImage(static_cast<int>(width), static_cast<int>(height), QImage::Format_ARGB32));
    rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        rows[y] = reinterpret_cast<png_bytep>(out.ScanLine(static_cast<int>(y)));
    png_read_image(png, rows.data());
    png_read_end(png, nullptr);
    png_destroy_read_struct(&png, &info, nullptr);
    out.SetSourceBitsPerPixel(32);
    return out;
}

void ApplyWhiteTransparentRule(platform::Bitmap& picture) {
    for (int y = 0; y < picture.Height(); ++y) {
        uint32_t* row = picture.ScanLine(y);
        for (int x = 0; x < picture.Width(); ++x)
            if (row[x] == 0x00FFFFFFu)
                row[x] = 0;
    }
}

platform::Bitmap DecodePicture(const QByteArray& bytes, qint64 maxPixels) {
    if (bytes.startsWith("BM"))
        return DecodeBmp(bytes, maxPixels);
    if (bytes.startsWith("\x89PNG"))
        return DecodePng(bytes, maxPixels);
    if (bytes.startsWith("\xFF\xD8"))
        return DecodeJpeg(bytes, maxPixels);
    throw ESkinError("Unknown picture format");
}

} // namespace skin
