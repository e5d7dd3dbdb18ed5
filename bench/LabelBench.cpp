// One paint of the main window's two headings, shadow and all, each against
// the floor of copying a bitmap of the label's size once, in the same run.
// The shadow is computed afresh at every paint; "Skin" runs with the
// program's skin in force (one blur pass), "NoSkin" without (four passes).
// "Text" is one drawing of the caption alone, for comparison.
//   build/bench/bench_labels
#include "SkinnedWindow.h"
#include "app/InternalSkin.h"
#include "controls/Labels.h"
#include "platform/Application.h"
#include "skin/draw/SkinPaint.h"
#include "skin/draw/TsCommonData.h"

#include <benchmark/benchmark.h>

namespace {

using namespace bench_support;

platform::TFont Comic(int height) {
    platform::TFont f;
    f.Name = QStringLiteral("Comic Sans MS");
    f.Height = height;
    f.Style = platform::fsBold;
    f.Color = platform::RGBColor(55, 33, 7);
    f.Charset = platform::FontCharset::Russian;
    return f;
}

// sLabelFX1 (the prompt) or sLabelFX2 (over its section).
std::unique_ptr<controls::TsLabelFX> Heading(Window& window, int which) {
    auto label = std::make_unique<controls::TsLabelFX>(&window);
    if (which == 1) {
        label->move(56, 8);
        label->SetFont(Comic(13));
        label->Kind().SetColor(platform::clLime);
        label->Shadow().SetColor(platform::clLime);
        label->SetCaption(QStringLiteral("Задумайте вопрос и откройте  руну."));
    } else {
        label->move(488, 8);
        label->SetSkinSection(QStringLiteral("ALPHAEDIT"));
        label->SetFont(Comic(16));
        label->SetCaption(QStringLiteral("Найди свой ответ."));
    }
    return label;
}

void Paint(benchmark::State& state, int which, bool skinned) {
    Manager().SetActive(skinned);
    Window window;
    const auto label = Heading(window, which);
    platform::Bitmap shown;
    for (auto _ : state) {
        label->PaintTo(shown);
        benchmark::DoNotOptimize(shown.ScanLine(0));
    }
    state.SetLabel(
        QStringLiteral("%1 x %2").arg(label->width()).arg(label->height()).toStdString());
    Manager().SetActive(true);
}

void Floor(benchmark::State& state, int which, bool skinned) {
    Manager().SetActive(skinned);
    Window window;
    const QSize size = Heading(window, which)->size();
    Manager().SetActive(true);
    CopyFloor(state, size);
    state.SetLabel(QStringLiteral("%1 x %2").arg(size.width()).arg(size.height()).toStdString());
}

// Drawing the caption once in the label's font, as every paint does twice
// (the shadow's white text and the text itself): the share of the toolkit.
void Text(benchmark::State& state, int which, bool skinned) {
    Manager().SetActive(skinned);
    Window window;
    const auto label = Heading(window, which);
    Manager().SetActive(true);
    platform::Bitmap b(label->width(), label->height());
    platform::Canvas canvas(b);
    canvas.Font = label->Font();
    for (auto _ : state) {
        QRect r = b.Rect();
        canvas.DrawText(label->Caption(), r, platform::DT_EXPANDTABS);
        benchmark::DoNotOptimize(b.ScanLine(0));
    }
}

} // namespace

BENCHMARK_CAPTURE(Text, LabelFX1Skin, 1, true);
BENCHMARK_CAPTURE(Text, LabelFX2Skin, 2, true);
BENCHMARK_CAPTURE(Paint, LabelFX1Skin, 1, true);
BENCHMARK_CAPTURE(Floor, LabelFX1Skin, 1, true);
BENCHMARK_CAPTURE(Paint, LabelFX2Skin, 2, true);
BENCHMARK_CAPTURE(Floor, LabelFX2Skin, 2, true);
BENCHMARK_CAPTURE(Paint, LabelFX1NoSkin, 1, false);
BENCHMARK_CAPTURE(Floor, LabelFX1NoSkin, 1, false);

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    platform::TApplication app(argc, argv);
    platform::LoadFonts();
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
