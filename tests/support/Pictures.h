// Comparing pictures pixel by pixel. On a mismatch the expected and actual
// pictures and their difference are written as PNGs into the build folder's
// test-output, and the first differing pixel is reported.
#pragma once

#include "platform/Bitmap.h"

#include <QDir>
#include <QString>
#include <gtest/gtest.h>

namespace testing_support {

inline ::testing::AssertionResult SamePixels(const platform::Bitmap& expected,
                                             const platform::Bitmap& actual, const QString& name) {
    if (expected.Width() != actual.Width() || expected.Height() != actual.Height())
        return ::testing::AssertionFailure() << "sizes differ";
    int differing = 0;
    QPoint first;
    QImage diff(expected.Width(), expected.Height(), QImage::Format_RGB32);
    for (int y = 0; y < expected.Height(); ++y)
        for (int x = 0; x < expected.Width(); ++x) {
            const uint32_t e = expected.ScanLine(y)[x] & 0xFFFFFF,
                           a = actual.ScanLine(y)[x] & 0xFFFFFF;
            diff.setPixel(x, y, e == a ? 0xFF000000u : 0xFFFF0000u);
            if (e != a && differing++ == 0)
                first = QPoint(x, y);
        }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    const QString dir = QStringLiteral(CHAROLIST_BUILD_DIR "/test-output");
    QDir().mkpath(dir);
    expected.Image().save(dir + "/" + name + "-expected.png");
    actual.Image().save(dir + "/" + name + "-actual.png");
    diff.save(dir + "/" + name + "-difference.png");
    return ::testing::AssertionFailure()
           << differing << " pixels differ, the first at " << first.x() << "," << first.y()
           << ": expected 0x" << std::hex << (expected.ScanLine(first.y())[first.x()] & 0xFFFFFF)
           << ", actual 0x" << (actual.ScanLine(first.y())[first.x()] & 0xFFFFFF)
           << " (pictures in " << dir.toStdString() << ")";
}

// The colour bytes of a pixel word (0xRRGGBB), its fourth byte dropped.
inline uint32_t PixelRgb(uint32_t pixel) {
    return pixel & 0xFFFFFF;
}

// A picture whose pixel (x, y) has the colour base + x + 16 * y, so that a
// misplaced or blended read shows up as a wrong value.
inline platform::Bitmap Numbered(int w, int h, uint32_t base = 0) {
    platform::Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.SetPixel(x, y, base + x + 16 * y);
    return b;
}

} // namespace testing_support
