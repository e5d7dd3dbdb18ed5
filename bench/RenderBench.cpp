// Painting sections of the program's own skin at the sizes its windows use,
// each against the floor of copying a bitmap of the same size once (a
// memcpy of its rows), in the same run.
//   build/bench/bench_render
#include "app/InternalSkin.h"
#include "skin/draw/SkinPaint.h"

#include <benchmark/benchmark.h>
#include <cstring>

namespace {

skin::TsSkinManager& Manager() {
    return content::InternalSkinManager();
}

// The parent every control paints over: the window's background.
const platform::Bitmap& Window() {
    static const platform::Bitmap window = [] {
        platform::Bitmap b(798, 600);
        const int form = Manager().FindSection("FORM");
        skin::RenderSectionByIndex(Manager(), {.Target = b, .Section = form});
        return b;
    }();
    return window;
}

void Render(benchmark::State& state, const char* section, int w, int h) {
    const int index = Manager().FindSection(section);
    const skin::ParentCacheInfo parent = skin::ParentCacheInfo::Picture(&Window(), 0, 0);
    platform::Bitmap b(w, h);
    // Found once, as a control does when it binds to its section.
    const skin::SectionTextures textures = skin::BindSectionTextures(Manager(), index, section);
    const skin::PaintRequest request{.Target = b,
                                     .Section = index,
                                     .State = skin::VisualState{int(state.range(0))},
                                     .Parent = parent,
                                     .Position = QPoint(8, 8),
                                     .Textures = &textures};
    for (auto _ : state) {
        skin::RenderSectionByIndex(Manager(), request);
        benchmark::DoNotOptimize(b.ScanLine(0));
    }
}

void Floor(benchmark::State& state, int w, int h) {
    const platform::Bitmap source(w, h);
    platform::Bitmap b(w, h);
    for (auto _ : state) {
        for (int y = 0; y < h; ++y)
            std::memcpy(b.ScanLine(y), source.ScanLine(y), size_t(w) * 4);
        benchmark::DoNotOptimize(b.ScanLine(0));
    }
}

} // namespace

BENCHMARK_CAPTURE(Render, Form, "FORM", 798, 600)->Arg(0);
BENCHMARK_CAPTURE(Floor, Form, 798, 600);
BENCHMARK_CAPTURE(Render, Edit, "EDIT", 431, 433)->Arg(0);
BENCHMARK_CAPTURE(Floor, Edit, 431, 433);
BENCHMARK_CAPTURE(Render, Panel, "PANEL", 333, 77)->Arg(0);
BENCHMARK_CAPTURE(Floor, Panel, 333, 77);
BENCHMARK_CAPTURE(Render, Button, "BUTTON", 114, 27)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK_CAPTURE(Floor, Button, 114, 27);

BENCHMARK_MAIN();
