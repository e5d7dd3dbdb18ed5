// What the skin benchmarks share: the program's own skin, and the floor
// each figure is read against in the same run: copying a picture of the
// same size once, a memcpy of its rows.
#pragma once

#include "app/InternalSkin.h"
#include "platform/Bitmap.h"

#include <QSize>
#include <benchmark/benchmark.h>
#include <cstring>

namespace bench_support {

inline skin::TsSkinManager& Manager() {
    return content::InternalSkinManager();
}

inline void CopyFloor(benchmark::State& state, QSize size) {
    const platform::Bitmap source(size.width(), size.height());
    platform::Bitmap b(size.width(), size.height());
    for (auto _ : state) {
        for (int y = 0; y < size.height(); ++y)
            std::memcpy(b.ScanLine(y), source.ScanLine(y), size_t(size.width()) * 4);
        benchmark::DoNotOptimize(b.ScanLine(0));
    }
}

inline void Floor(benchmark::State& state, int w, int h) {
    CopyFloor(state, QSize(w, h));
}

} // namespace bench_support
