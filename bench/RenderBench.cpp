// Painting sections of the program's own skin at the sizes its windows use,
// each against the floor of copying a bitmap of the same size once (a
// memcpy of its rows), in the same run.
//   build/bench/bench_render
#include "BenchSupport.h"
#include "skin/draw/SkinPaint.h"

#include <benchmark/benchmark.h>

namespace {

using namespace bench_support;

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
