// The main window's picture rendered whole against one copy of a bitmap of
// the same size, in the same run.
//   build/bench/bench_frame
#include "app/InternalSkin.h"
#include "skin/draw/SkinPaint.h"
#include "skin/frame/FrameLayout.h"

#include <QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr QSize kMainWindow(798, 589);

skin::TsSkinManager& Wood() {
    static skin::TsSkinManager manager;
    if (!manager.SkinHeld()) {
        skin::TsStoredSkin wood;
        wood.Name = content::kInternalSkinName;
        wood.Data = content::InternalSkinPackage();
        manager.SetInternalSkins({wood});
        manager.SetSkinName(content::kInternalSkinName);
    }
    return manager;
}

void WindowPicture(benchmark::State& state) {
    skin::TsSkinManager& m = Wood();
    skin::WindowLook look;
    look.Size = kMainWindow;
    look.Active = true;
    look.HasMenu = true;
    look.Minimize = true;
    look.Caption = QStringLiteral("Чаролист - \"Познай самого себя!.\".");
    const skin::FrameGeometry g = skin::LayOutFrame(m, look);
    const int form = m.FindSection(QStringLiteral("FORM"));
    platform::Bitmap picture, bar, under;
    for (auto _ : state) {
        skin::RenderWindowPicture(m, form, look, g, {},
                                  {.Window = picture, .MenuBar = &bar, .UnderButtons = &under});
        benchmark::DoNotOptimize(picture.ScanLine(0));
    }
}
BENCHMARK(WindowPicture)->Unit(benchmark::kMicrosecond);

void CopyOfTheSameSize(benchmark::State& state) {
    platform::Bitmap source(kMainWindow.width(), kMainWindow.height());
    platform::Bitmap target(kMainWindow.width(), kMainWindow.height());
    for (auto _ : state) {
        skin::CopyFrom(target, target.Rect(), source, 0, 0);
        benchmark::DoNotOptimize(target.ScanLine(0));
    }
}
BENCHMARK(CopyOfTheSameSize)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text needs fonts
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
