// One picture of each skinned control of the main window, as its paint
// renders it, each against the floor of copying a bitmap of the same size
// once, in the same run: the refresh button in its three states (also on a
// screen of ratio 2: rendered with its caption kept, then its device
// picture made, against the floor of a copy of that size), one frame
// of its cross-fade, the reading log's frame with both scroll bars, and
// the six-rune panel.
//   build/bench/bench_controls
#include "SkinnedWindow.h"
#include "app/InternalSkin.h"
#include "platform/Application.h"
#include "platform/Canvas.h"
#include "platform/DrawBitmap.h"
#include "skin/controls/ButtonFade.h"
#include "skin/controls/ScrollBarPaint.h"
#include "skin/controls/TsButton.h"
#include "skin/controls/TsMemo.h"
#include "skin/controls/TsPanel.h"
#include "skin/draw/SkinPaint.h"

#include <QScrollBar>
#include <benchmark/benchmark.h>

namespace {

using namespace bench_support;

platform::TFont ButtonFont() {
    platform::TFont f;
    f.Name = QStringLiteral("Comic Sans MS");
    f.Height = 12;
    f.Style = platform::fsBold;
    return f;
}

// sButton1 in state 0 (normal), 1 (hot: the mouse over it) or 2 (down):
// its picture rendered, or the kept picture of that look taken again.
void Button(benchmark::State& state) {
    Window window;
    skin::TsButton button(&window);
    button.setGeometry(128, 510, 114, 27);
    button.SetCaption(state.range(1) ? QStringLiteral("Обновить руны") : QString());
    button.SetFont(ButtonFont());
    button.SkinData().MouseInside = state.range(0) >= 1;
    button.SetDown(state.range(0) == 2);
    // Range 2: 1 renders afresh each time, 0 finds the look's picture kept.
    const bool afresh = state.range(2) == 1;
    for (auto _ : state) {
        if (afresh)
            button.ForgetPictures();
        button.PrepareButtonCache();
        benchmark::DoNotOptimize(button.SkinData().CacheBitmap()->ScanLine(0));
    }
}

void ButtonDense(benchmark::State& state) {
    platform::SetKeepTexts(true);
    {
        Window window;
        skin::TsButton button(&window);
        button.setGeometry(128, 510, 114, 27);
        button.SetCaption(QStringLiteral("Обновить руны"));
        button.SetFont(ButtonFont());
        button.SkinData().MouseInside = state.range(0) >= 1;
        button.SetDown(state.range(0) == 2);
        for (auto _ : state) {
            button.ForgetPictures();
            button.PrepareButtonCache();
            benchmark::DoNotOptimize(
                platform::DeviceImage(*button.SkinData().CacheBitmap(), 2).constBits());
        }
    }
    platform::SetKeepTexts(false);
}

void FadeFrame(benchmark::State& state) {
    platform::Bitmap from(114, 27), to(114, 27), frame(114, 27);
    from.Image().fill(Qt::darkYellow);
    to.Image().fill(Qt::darkRed);
    int n = 0;
    for (auto _ : state) {
        skin::BlendFadeFrame(from, to, skin::FadeWeight(n++ % 20 + 1, 20), frame);
        benchmark::DoNotOptimize(frame.ScanLine(0));
    }
}

// The log's picture (its frame ring is what shows) and both its bars, as a
// repaint after the text changed renders them.
void MemoFrame(benchmark::State& state) {
    Window window;
    skin::TsMemo memo(&window);
    memo.setGeometry(354, 48, 431, 433);
    memo.SetText(QString(200, u'x').repeated(1).append(QStringLiteral("\n")).repeated(80));
    QScrollBar* bars[] = {memo.verticalScrollBar(), memo.horizontalScrollBar()};
    const QRect places[] = {QRect(412, 3, 16, 411), QRect(3, 414, 409, 16)};
    platform::Bitmap pictures[] = {platform::Bitmap(16, 411), platform::Bitmap(409, 16)};
    const skin::ParentCacheInfo behind = skin::ParentCacheInfo::Picture(&window.Picture, 354, 48);
    for (auto _ : state) {
        memo.SkinData().MarkCacheStale();
        benchmark::DoNotOptimize(memo.FramePicture());
        for (int i = 0; i < 2; ++i) {
            const Qt::Orientation o = i == 0 ? Qt::Vertical : Qt::Horizontal;
            const skin::ScrollBarParts parts = skin::LayoutScrollBar(
                places[i].size(), o, skin::ScrollArrowLength(Manager(), o), 16,
                {bars[i]->minimum(), bars[i]->maximum(), bars[i]->pageStep(), bars[i]->value()},
                true);
            skin::RenderScrollBar(Manager(), pictures[i], o, parts, {},
                                  behind.Moved(places[i].topLeft()), true);
            benchmark::DoNotOptimize(pictures[i].ScanLine(0));
        }
    }
}

void Panel(benchmark::State& state) {
    Window window;
    skin::TsPanel panel(&window);
    panel.setGeometry(16, 136, 333, 77);
    for (auto _ : state) {
        panel.SkinData().MarkCacheStale();
        panel.RenderPanelPicture();
        benchmark::DoNotOptimize(panel.SkinData().CacheBitmap()->ScanLine(0));
    }
}

} // namespace

// Arguments: state; with the caption; rendered afresh (1) or kept (0).
BENCHMARK(Button)
    ->Args({0, 1, 1})
    ->Args({1, 1, 1})
    ->Args({2, 1, 1})
    ->Args({1, 0, 1})
    ->Args({0, 1, 0})
    ->Args({1, 1, 0})
    ->Args({2, 1, 0});
// Argument: state.
BENCHMARK(ButtonDense)->Arg(0)->Arg(1)->Arg(2);
BENCHMARK_CAPTURE(Floor, Button2x, 228, 54);
BENCHMARK(FadeFrame);
BENCHMARK_CAPTURE(Floor, Button, 114, 27);
BENCHMARK(MemoFrame);
BENCHMARK_CAPTURE(Floor, Memo, 431, 433);
BENCHMARK(Panel);
BENCHMARK_CAPTURE(Floor, Panel, 333, 77);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::TApplication app(argc, argv);
    platform::LoadFonts();
    Manager();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
