// Loading a skin package, against the floor of the work no loader can skip:
// inflating every member with zlib and decoding every picture with the bare
// libraries (Qt's BMP reader, libjpeg), in the same run.
//
// The skin is made here: a 400 x 330 24-bit master image, a 288 x 192 8-bit
// picture, a 398 x 145 JPEG and an options text of about 600 lines. Set
// CHAROLIST_BENCH_SKIN to a package file to measure that one as well.
//   build/bench/bench_skin_load
#include "skin/data/SkinModel.h"
#include "skin/data/SkinPackage.h"

#include <QBuffer>
#include <QFile>
#include <QImage>
#include <QString>
#include <benchmark/benchmark.h>
#include <csetjmp>
#include <cstdio>
#include <jpeglib.h>
#include <vector>
#include <zlib.h>

namespace {

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format, 90);
    return bytes;
}

// A picture with some structure, so that it compresses as real art does.
QImage Wood(int w, int h, QImage::Format format) {
    QImage image(w, h, QImage::Format_RGB32);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x) {
            const int grain = (x * 7 + (y * y) / 13 + (x ^ y)) % 40;
            image.setPixel(x, y, qRgb(120 + grain, 80 + grain / 2, 40 + grain / 3));
        }
    return image.convertToFormat(format);
}

QByteArray Options() {
    QString text = QStringLiteral("[GLOBALINFO]\r\nVERSION=6.5\r\nMASTERBITMAP=MASTER.BMP\r\n"
                                  "COLOR=5407913\r\nHOTCOLOR=8500947\r\n");
    for (int s = 0; s < 60; ++s) {
        const int x = (s * 6) % 380, y = (s * 5) % 160;
        auto area = [&](QChar c, int w, int h) {
            return QString("%1%2%1%3%1%4%1%5")
                .arg(c)
                .arg(x, 4, 10, QChar('0'))
                .arg(y, 4, 10, QChar('0'))
                .arg(x + w, 4, 10, QChar('0'))
                .arg(y + h, 4, 10, QChar('0'));
        };
        text += QString("[SECTION%1]\r\n").arg(s);
        text += QStringLiteral("COLOR=8500947\r\nFONTCOLOR=467255\r\nSTATES=4\r\nTRANSPARENCY=0\r\n"
                               "GRADIENTPERCENT=30\r\n"
                               "GRADIENTDATA=4227327;8421631;50;0;0;8421631;4227327;50;0;0\r\n"
                               "HOTCOLOR=2845326\r\n");
        text += "BORDERSMASK=" + area('^', 18, 12) + "^0003^0003^0003^0003^3^1^1^1\r\n";
        text += "PATTERN=" + area('~', 12, 12) + "~00~0\r\n";
        text += "GLYPHMASK=" + area('@', 12, 6) + "@3@0\r\n";
    }
    text += QStringLiteral("[BUTTON_HUGE]\r\nBORDERSMASK=!SMALL.BMP!3!1!0!0032!0032!0032!0032\r\n"
                           "[FORM]\r\nPATTERN=BG.JPG\r\n");
    return text.toLatin1();
}

struct Skin {
    QByteArray Package;
    // The members as the floor sees them: compressed stream and size.
    std::vector<std::pair<QByteArray, qsizetype>> Streams;
    std::vector<QByteArray> Bmps, Jpegs;
};

Skin MakeSkin() {
    Skin s;
    const QByteArray options = Options();
    s.Bmps = {Encoded(Wood(400, 330, QImage::Format_RGB888), "BMP"),
              Encoded(Wood(288, 192, QImage::Format_Indexed8), "BMP")};
    s.Jpegs = {Encoded(Wood(398, 145, QImage::Format_RGB32), "JPG")};
    s.Package = skin::PackPackage(options, {{"Master.bmp", true, s.Bmps[0]},
                                            {"Small.bmp", true, s.Bmps[1]},
                                            {"Bg.jpg", false, s.Jpegs[0]}});
    for (const QByteArray& member : {options, s.Bmps[0], s.Bmps[1], s.Jpegs[0]}) {
        uLongf size = compressBound(member.size());
        QByteArray out(static_cast<qsizetype>(size), '\0');
        compress2(reinterpret_cast<Bytef*>(out.data()), &size,
                  reinterpret_cast<const Bytef*>(member.constData()), member.size(),
                  Z_DEFAULT_COMPRESSION);
        out.resize(static_cast<qsizetype>(size));
        s.Streams.emplace_back(out, member.size());
    }
    return s;
}

const Skin& TestSkin() {
    static const Skin skin = MakeSkin();
    return skin;
}

[[gnu::noinline]] skin::TsSkinModel Load(const QByteArray& bytes) {
    return skin::LoadSkinFromPackage(skin::UnpackPackage(bytes), QString());
}

struct JpegError {
    jpeg_error_mgr Manager;
    jmp_buf Jump;
};

// The bare library's decoding into RGB rows, nothing more.
size_t DecodeJpegBare(const QByteArray& bytes, std::vector<unsigned char>& pixels) {
    jpeg_decompress_struct info;
    JpegError error;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = [](j_common_ptr c) {
        longjmp(reinterpret_cast<JpegError*>(c->err)->Jump, 1);
    };
    if (setjmp(error.Jump)) {
        jpeg_destroy_decompress(&info);
        return 0;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(bytes.constData()), bytes.size());
    jpeg_read_header(&info, TRUE);
    jpeg_start_decompress(&info);
    const size_t stride = size_t(info.output_width) * info.output_components;
    pixels.resize(stride * info.output_height);
    while (info.output_scanline < info.output_height) {
        unsigned char* row = pixels.data() + stride * info.output_scanline;
        jpeg_read_scanlines(&info, &row, 1);
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return pixels.size();
}

void BM_LoadTestSkin(benchmark::State& state) {
    const Skin& skin = TestSkin();
    for (auto _ : state) {
        skin::TsSkinModel model = Load(skin.Package);
        benchmark::DoNotOptimize(model.Images.Masks.data());
    }
}

// Kept out of line so that an instruction count can single it out.
[[gnu::noinline]] void Floor(const Skin& skin, std::vector<unsigned char>& pixels) {
    for (const auto& [stream, size] : skin.Streams) {
        QByteArray out(size, Qt::Uninitialized);
        uLongf length = static_cast<uLongf>(size);
        uncompress(reinterpret_cast<Bytef*>(out.data()), &length,
                   reinterpret_cast<const Bytef*>(stream.constData()), stream.size());
        benchmark::DoNotOptimize(out.data());
    }
    for (const QByteArray& bmp : skin.Bmps) {
        QImage image = QImage::fromData(bmp, "BMP");
        benchmark::DoNotOptimize(image.constBits());
    }
    for (const QByteArray& jpeg : skin.Jpegs)
        benchmark::DoNotOptimize(DecodeJpegBare(jpeg, pixels));
}

void BM_FloorTestSkin(benchmark::State& state) {
    const Skin& skin = TestSkin();
    std::vector<unsigned char> pixels;
    for (auto _ : state)
        Floor(skin, pixels);
}

// A package from disk (the program's own skin, say).
void BM_LoadPackageFile(benchmark::State& state, QByteArray bytes) {
    for (auto _ : state) {
        skin::TsSkinModel model = Load(bytes);
        benchmark::DoNotOptimize(model.Images.Masks.data());
    }
}

} // namespace

BENCHMARK(BM_LoadTestSkin)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_FloorTestSkin)->Unit(benchmark::kMillisecond);

int main(int argc, char** argv) {
    if (const char* path = std::getenv("CHAROLIST_BENCH_SKIN")) {
        QFile f(QString::fromLocal8Bit(path));
        if (f.open(QIODevice::ReadOnly))
            benchmark::RegisterBenchmark("BM_LoadPackageFile", BM_LoadPackageFile, f.readAll())
                ->Unit(benchmark::kMillisecond);
        else
            std::fprintf(stderr, "cannot read %s\n", path);
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
