// A drop-down's background (built once per opening) and one item drawn
// over it, each against the floor of copying a bitmap of the same size once,
// in the same run. Sizes are those of the "Расклад..." drop-down of the main
// window with the program's skin.
//   build/bench/bench_menus
#include "BenchSupport.h"
#include "platform/Canvas.h"
#include "skin/menus/TsSkinableMenus.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

using bench_support::Manager;

const QSize kWindow(132, 94);
const QRect kItem(0, 22, 126, 22);
int gFirst = 0;

skin::TsMenuItem Item() {
    skin::TsMenuItem item;
    item.Id = &item;
    item.FirstItem = &gFirst;
    item.Caption = QStringLiteral("Четыре руны...");
    return item;
}

void CopyFloor(benchmark::State& state, QSize size) {
    platform::Bitmap source(size.width(), size.height()), target(size.width(), size.height());
    for (auto _ : state) {
        platform::Canvas(target).Draw(0, 0, source);
        benchmark::DoNotOptimize(target.ScanLine(0));
    }
}

void BM_Background(benchmark::State& state) {
    skin::TsSkinableMenus menus(&Manager());
    for (auto _ : state) {
        menus.ClearBackgrounds();
        benchmark::DoNotOptimize(menus.BuildMenuBackground(Item(), kWindow).Picture.ScanLine(0));
    }
}
void BM_BackgroundCopyFloor(benchmark::State& state) {
    CopyFloor(state, kWindow);
}

void BM_Item(benchmark::State& state) {
    skin::TsSkinableMenus menus(&Manager());
    const skin::TsMenuItem item = Item();
    platform::Bitmap out(kItem.width(), kItem.height());
    const skin::MenuItemLook look{.Selected = state.range(0) != 0};
    for (auto _ : state) {
        menus.DrawMenuItem(item, out, kItem.topLeft(), kItem, look, kWindow);
        benchmark::DoNotOptimize(out.ScanLine(0));
    }
}
void BM_ItemCopyFloor(benchmark::State& state) {
    CopyFloor(state, kItem.size());
}

BENCHMARK(BM_Background);
BENCHMARK(BM_BackgroundCopyFloor);
BENCHMARK(BM_Item)->Arg(0)->Arg(1);
BENCHMARK(BM_ItemCopyFloor);

} // namespace

// Text needs the toolkit's application object.
int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
