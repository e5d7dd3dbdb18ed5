// Pictures on dense screens: skin pixels become whole blocks, never smoothed,
// and the text kept with a picture is drawn again at the device's resolution.
#include "platform/DrawBitmap.h"
#include "platform/Canvas.h"

#include "support/Pictures.h"
#include <gtest/gtest.h>

using namespace platform;

namespace {

// No pixel of it is black, so a pixel not drawn shows.
Bitmap Numbered(int w, int h) {
    return testing_support::Numbered(w, h, 0x400000);
}

// A device of `scale` pixels per logical pixel, filled with a marker colour.
QImage Device(QSize logical, int scale) {
    QImage image(logical * scale, QImage::Format_RGB32);
    image.fill(0xFF00FF00u);
    image.setDevicePixelRatio(scale);
    return image;
}

uint32_t At(const QImage& image, int x, int y) {
    return image.pixel(x, y) & 0xFFFFFFu;
}

// Sets KeepsTexts for one test.
struct KeepTexts {
    explicit KeepTexts(bool keep) : saved(KeepsTexts()) { SetKeepTexts(keep); }
    ~KeepTexts() { SetKeepTexts(saved); }
    bool saved;
};

constexpr TColor kWood = 0x3A6D9B; // 0xBBGGRR
constexpr TColor kInk = 0x071D37;
const QString kWords = QStringLiteral("Жребий брошен");

TFont InkFont() {
    TFont f;
    f.Name = QStringLiteral("Tahoma");
    f.Height = 13;
    f.Color = kInk;
    return f;
}

// 100 × 24 of wood with the words in it, drawn through a canvas.
Bitmap Inscribed(QRect& where) {
    Bitmap b(100, 24);
    Canvas c(b);
    c.FillRect(b.Rect(), kWood);
    c.Font = InkFont();
    where = QRect(4, 3, 92, 18);
    c.DrawText(kWords, where, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    return b;
}

// Qt's own drawing of the same words straight onto a picture of `scale`.
QImage QtInscribed(int scale, QPoint shift = QPoint()) {
    QImage image(QSize(100, 24) * scale, QImage::Format_RGB32);
    image.fill(ToQColor(kWood));
    image.setDevicePixelRatio(scale);
    QPainter p(&image);
    p.setFont(InkFont().ToQFont());
    p.setPen(ToQColor(kInk));
    p.drawText(QRect(4, 3, 92, 18).translated(shift),
               Qt::AlignLeft | Qt::AlignVCenter | Qt::TextSingleLine, kWords);
    return image;
}

// The number of 2 × 2 blocks of the device picture whose pixels differ.
int BrokenBlocks(const QImage& image) {
    int broken = 0;
    for (int y = 0; y + 1 < image.height(); y += 2)
        for (int x = 0; x + 1 < image.width(); x += 2) {
            const uint32_t a = At(image, x, y);
            broken += At(image, x + 1, y) != a || At(image, x, y + 1) != a ||
                      At(image, x + 1, y + 1) != a;
        }
    return broken;
}

} // namespace

TEST(DrawBitmap, EachPixelBecomesAWholeBlockOfTheDevice) {
    const Bitmap picture = Numbered(10, 8);
    struct Case {
        int Scale;
        QPoint At;
        QRect Source;
    };
    for (const Case& k : {Case{1, {0, 0}, {}}, Case{2, {0, 0}, {}}, Case{3, {0, 0}, {}},
                          Case{2, {3, 2}, {2, 1, 5, 4}}, Case{3, {1, 4}, {7, 5, 3, 3}}}) {
        SCOPED_TRACE(k.Scale);
        QImage device = Device(QSize(14, 12), k.Scale);
        {
            QPainter p(&device);
            DrawBitmap(p, k.At, picture, k.Source);
        }
        const QRect source = k.Source.isEmpty() ? picture.Rect() : k.Source;
        const QRect target(k.At, source.size());
        for (int y = 0; y < device.height(); ++y)
            for (int x = 0; x < device.width(); ++x) {
                const QPoint logical(x / k.Scale, y / k.Scale);
                const QPoint from = logical - k.At + source.topLeft();
                const uint32_t expected =
                    target.contains(logical)
                        ? PixelFromColor(0x400000 + from.x() + 16 * from.y()) & 0xFFFFFFu
                        : 0x00FF00u;
                ASSERT_EQ(At(device, x, y), expected) << "at " << x << "," << y;
            }
    }
}

TEST(DrawBitmap, KeptTextIsQtsOwnTextAtTheDevicesResolution) {
    const KeepTexts keep(true);
    QRect where;
    const Bitmap picture = Inscribed(where);
    ASSERT_EQ(picture.Texts().size(), 1u);
    for (const int scale : {2, 3}) {
        SCOPED_TRACE(scale);
        QImage device = Device(QSize(100, 24), scale);
        {
            QPainter p(&device);
            DrawBitmap(p, QPoint(0, 0), picture);
        }
        EXPECT_TRUE(testing_support::SamePixels(Bitmap(QtInscribed(scale)), Bitmap(device),
                                                QStringLiteral("kept-text-%1x").arg(scale)));
    }
    // Finer than whole blocks: a picture scaled as it is has none broken.
    EXPECT_GT(BrokenBlocks(DeviceImage(picture, 2)), 20);
}

TEST(DrawBitmap, TextIsKeptOnlyWhileADenseScreenIsThereAndNeverChangesThePicture) {
    QRect where;
    Bitmap plain, kept;
    {
        const KeepTexts keep(false);
        plain = Inscribed(where);
    }
    {
        const KeepTexts keep(true);
        kept = Inscribed(where);
    }
    EXPECT_TRUE(plain.Texts().empty());
    EXPECT_EQ(kept.Texts().size(), 1u);
    EXPECT_TRUE(testing_support::SamePixels(plain, kept, QStringLiteral("kept-text-1x")));
    // Without kept text the device picture is the picture in blocks.
    EXPECT_EQ(BrokenBlocks(DeviceImage(plain, 2)), 0);
}

TEST(DrawBitmap, WhatIsPaintedOverTextStaysOverItAndCopiedTextGoesAlong) {
    const KeepTexts keep(true);
    QRect where;
    // Pixel work over part of the words (a border, say) stays over them: the
    // words are drawn again, then that pixel as a block.
    Bitmap over = Inscribed(where);
    over.ScanLine(12)[30] = 0xFF123456u;
    QImage expected = QtInscribed(2);
    QPainter(&expected).fillRect(QRect(30, 12, 1, 1), QColor(0x12, 0x34, 0x56));
    EXPECT_TRUE(testing_support::SamePixels(Bitmap(expected), Bitmap(DeviceImage(over, 2)),
                                            QStringLiteral("painted-over-2x")));
    // Painted over all of it, they stay as they are, in blocks.
    for (int y = 0; y < over.Height(); ++y)
        for (int x = 0; x < over.Width(); ++x)
            over.ScanLine(y)[x] ^= 0x00010101u;
    EXPECT_EQ(BrokenBlocks(DeviceImage(over, 2)), 0);
    // A fill over all of it forgets the words.
    Canvas(over).FillRect(over.Rect(), kWood);
    EXPECT_TRUE(over.Texts().empty());

    // Copied into another picture at an offset, the words keep their place.
    const Bitmap picture = Inscribed(where);
    Bitmap target(110, 30);
    Canvas(target).FillRect(target.Rect(), kWood);
    Canvas(target).Draw(6, 4, picture);
    ASSERT_EQ(target.Texts().size(), 1u);
    const QImage moved = DeviceImage(target, 2);
    const QImage words = QtInscribed(2);
    for (int y = 0; y < words.height(); ++y)
        for (int x = 0; x < words.width(); ++x)
            ASSERT_EQ(At(moved, x + 12, y + 8), At(words, x, y)) << "at " << x << "," << y;
}

TEST(DrawBitmap, TextLaidOverByPixelWorkGoesAlong) {
    const KeepTexts keep(true);
    // Words on a see-through layer, blended onto wood by hand.
    QImage clear(100, 24, QImage::Format_ARGB32);
    clear.fill(Qt::transparent);
    Bitmap layer(clear);
    Canvas c(layer);
    c.Font = InkFont();
    QRect r(4, 3, 92, 18);
    c.DrawText(kWords, r, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    Bitmap wood(100, 24);
    Canvas(wood).FillRect(wood.Rect(), kWood);
    {
        LaidTexts laid(wood, layer, QPoint());
        for (int y = 0; y < 24; ++y)
            for (int x = 0; x < 100; ++x) {
                const uint32_t s = layer.ScanLine(y)[x];
                if (s >> 24 == 255)
                    wood.ScanLine(y)[x] = s;
                else if (s >> 24)
                    wood.ScanLine(y)[x] = 0xFF000000u | (s & 0xFFFFFF);
            }
    }
    ASSERT_EQ(wood.Texts().size(), 1u);
    EXPECT_TRUE(testing_support::SamePixels(Bitmap(QtInscribed(2)), Bitmap(DeviceImage(wood, 2)),
                                            QStringLiteral("laid-text-2x")));
}

TEST(DrawBitmap, TheDevicePictureFollowsTheRatioAndThePixels) {
    Bitmap picture = Numbered(6, 4);
    auto drawn = [&](int scale) {
        QImage device = Device(QSize(6, 4), scale);
        QPainter p(&device);
        DrawBitmap(p, QPoint(0, 0), picture);
        p.end();
        return device;
    };
    EXPECT_EQ(drawn(2).size(), QSize(12, 8));
    EXPECT_EQ(drawn(1).size(), QSize(6, 4));
    picture.SetPixel(5, 3, 0x00ABCD);
    // A window moved between screens shows the new pixels at either ratio.
    EXPECT_EQ(At(drawn(2), 11, 7), 0xCDAB00u);
    EXPECT_EQ(At(drawn(3), 17, 11), 0xCDAB00u);
    EXPECT_EQ(At(drawn(1), 5, 3), 0xCDAB00u);
}

TEST(DrawBitmap, AnIconOfFinerPixelsIsDrawnAgainFromItsOwnPixels) {
    const KeepTexts keep(true);
    // A 32 × 32 icon whose single pixels alternate, in a 16 × 16 place.
    QImage icon(32, 32, QImage::Format_RGB32);
    for (int y = 0; y < 32; ++y)
        for (int x = 0; x < 32; ++x)
            icon.setPixel(x, y, (x + y) % 2 ? 0xFFC01010u : 0xFFF0E0C0u);
    Bitmap window(24, 20);
    Canvas(window).FillRect(window.Rect(), kWood);
    Canvas(window).DrawPicture(QRect(3, 2, 16, 16), icon);
    const QImage device = DeviceImage(window, 2);
    for (int y = 0; y < device.height(); ++y)
        for (int x = 0; x < device.width(); ++x) {
            const bool inside = QRect(6, 4, 32, 32).contains(x, y);
            const uint32_t expected =
                inside ? icon.pixel(x - 6, y - 4) & 0xFFFFFFu : PixelFromColor(kWood) & 0xFFFFFFu;
            ASSERT_EQ(At(device, x, y), expected) << "at " << x << "," << y;
        }
}
