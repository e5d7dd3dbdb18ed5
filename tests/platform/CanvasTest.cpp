#include "platform/Canvas.h"
#include "platform/ImageList.h"

#include "support/Pictures.h"
#include "support/Printers.h"
#include <gtest/gtest.h>

using namespace platform;

namespace {

using testing_support::Numbered;

// Checks every pixel of `b` against a rule.
template <typename Rule> void ExpectPixels(const Bitmap& b, Rule rule) {
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            ASSERT_EQ(b.Pixel(x, y), rule(x, y)) << "at " << x << "," << y;
}

} // namespace

TEST(Bitmap, StoresBlueGreenRedInMemoryOrder) {
    Bitmap b(1, 1);
    b.SetPixel(0, 0, RGBColor(0x11, 0x22, 0x33));
    const auto* bytes = reinterpret_cast<const uint8_t*>(b.ScanLine(0));
    EXPECT_EQ(bytes[0], 0x33); // blue
    EXPECT_EQ(bytes[1], 0x22); // green
    EXPECT_EQ(bytes[2], 0x11); // red
    EXPECT_EQ(b.Pixel(5, 0), clNone);
}

TEST(Canvas, FillStaysInsideClipAndBitmap) {
    Bitmap b(12, 12);
    Canvas c(b);
    c.SetClipRect(QRect(2, 2, 6, 20)); // clipped to the bitmap as well
    c.MoveOrigin(1, 1);
    c.FillRect(QRect(-5, 0, 100, 4), clRed); // lands on rows 1..4
    ExpectPixels(
        b, [](int x, int y) { return (x >= 2 && x < 8 && y >= 2 && y <= 4) ? clRed : clBlack; });
}

TEST(Canvas, BlockCopyNeverReadsOutsideTheSource) {
    const Bitmap src = Numbered(4, 4);
    Bitmap dst(8, 8);
    Canvas c(dst);
    // The source rectangle hangs over the source's left and top edges by 2.
    c.CopyRect(QRect(3, 3, 4, 4), src, QRect(-2, -2, 4, 4));
    ExpectPixels(dst, [](int x, int y) {
        const int sx = x - 3 - 2, sy = y - 3 - 2;
        return (x >= 5 && x < 7 && y >= 5 && y < 7) ? TColor(sx + 16 * sy) : clBlack;
    });
}

TEST(Canvas, StretchTakesTheNearestSourcePixel) {
    const Bitmap src = Numbered(2, 2);
    Bitmap dst(4, 6);
    Canvas(dst).StretchDraw(QRect(0, 0, 4, 6), src);
    ExpectPixels(dst, [](int x, int y) { return TColor(x / 2 + 16 * (y / 3)); });
}

TEST(Canvas, CalcRectMeasuresWithoutDrawing) {
    Bitmap b(200, 40);
    Canvas c(b);
    c.Font.Height = 13;
    QRect r(0, 0, 0, 0);
    const int h = c.DrawText(QStringLiteral("Найди свой ответ."), r, DT_CALCRECT | DT_SINGLELINE);
    EXPECT_GT(r.width(), 60);
    EXPECT_GE(h, 13);
    ExpectPixels(b, [](int, int) { return clBlack; });
    // Drawing the same text puts pixels of the font colour inside r only.
    c.Font.Color = clWhite;
    c.DrawText(QStringLiteral("Найди свой ответ."), r, DT_SINGLELINE);
    int lit = 0;
    for (int y = 0; y < b.Height(); ++y)
        for (int x = 0; x < b.Width(); ++x)
            if (b.Pixel(x, y) != clBlack) {
                ++lit;
                EXPECT_TRUE(r.adjusted(-1, -1, 1, 1).contains(x, y)) << x << "," << y;
            }
    EXPECT_GT(lit, 50);
}

TEST(Canvas, PrefixMarkersAreRemoved) {
    EXPECT_EQ(StripPrefix(QStringLiteral("&Yes")), QStringLiteral("Yes"));
    EXPECT_EQ(StripPrefix(QStringLiteral("A && B&")), QStringLiteral("A & B"));
}

TEST(ImageList, CutsAStripAndDrawsOnlyExistingPictures) {
    const Bitmap strip = Numbered(6, 2); // three pictures of 2 x 2
    TImageList list(2, 2);
    list.LoadStrip(strip);
    ASSERT_EQ(list.Count(), 3);
    EXPECT_EQ(list.Picture(2).Pixel(1, 1), TColor(5 + 16));
    Bitmap target(2, 2);
    Canvas c(target);
    list.Draw(c, 0, 0, 3); // no such picture: nothing drawn
    ExpectPixels(target, [](int, int) { return clBlack; });
    EXPECT_THROW(list.LoadStrip(Numbered(5, 2)), std::runtime_error);
}
