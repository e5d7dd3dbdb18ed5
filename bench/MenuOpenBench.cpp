// From the click on a bar item to the first frame of its drop-down, with the
// skinned menus and with Qt's own menus on the same bar: the "Расклад..."
// drop-down of a bar opened 21 times each way (the two ways taking
// turns), the median and the spread printed. The frame counts once the
// drop-down has painted and the event loop has handed the picture to the
// display. Needs a display with a window manager, as the program meets it:
//   Xvfb :37 & DISPLAY=:37 openbox & DISPLAY=:37 build/bench/bench_menu_open
#include "app/InternalSkin.h"
#include "skin/menus/TsMenuStyle.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QMenu>
#include <QMenuBar>
#include <QPaintEvent>
#include <QTest>
#include <QVBoxLayout>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

// A drop-down that notes when its first paint is done.
class TimedMenu : public QMenu {
public:
    using QMenu::QMenu;
    bool Painted = false;

protected:
    void paintEvent(QPaintEvent* event) override {
        QMenu::paintEvent(event);
        Painted = true;
    }
};

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    qputenv("XDG_DATA_HOME", QDir::temp().filePath("charolist-bench-no-skins").toUtf8());
    QApplication app(argc, argv);

    skin::TsSkinManager manager;
    skin::TsStoredSkin wood;
    wood.Name = content::kInternalSkinName;
    wood.Data = content::InternalSkinPackage();
    manager.SetInternalSkins({wood});
    manager.SetSkinName(wood.Name);
    skin::TsSkinableMenus menus(&manager);
    // No skinned frame gives the bar a band here: the bar stays the
    // desktop's both ways, and only the drop-down differs.
    skin::TsMenuStyle style(menus);

    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    layout->setContentsMargins(0, 0, 0, 0);
    auto* bar = new QMenuBar(&window);
    layout->setMenuBar(bar);
    layout->addWidget(new QWidget(&window));
    window.resize(798, 560);
    bar->addMenu(QStringLiteral("Файл"))->addAction(QStringLiteral("Сохранить..."));
    auto* spread = new TimedMenu(QStringLiteral("Расклад..."), bar);
    for (const char* caption : {"Одна руна...", "Четыре руны...", "Крест...", "Шесть рун..."})
        spread->addAction(QString::fromUtf8(caption));
    bar->addMenu(spread);
    bar->addMenu(QStringLiteral("О программе..."))->addAction(QStringLiteral("Справка..."));
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        std::fprintf(stderr, "the window was not shown\n");
        return 1;
    }

    constexpr int kRuns = 21;
    std::vector<double> times[2];
    for (int run = 0; run < kRuns; ++run) {
        for (int skinned = 0; skinned < 2; ++skinned) {
            style.InitMainMenu(bar, skinned != 0);
            if (skinned && !style.Skinned()) {
                std::fprintf(stderr, "the skin is not in force\n");
                return 1;
            }
            QTest::qWait(50);
            const QPoint at = bar->actionGeometry(spread->menuAction()).center();
            spread->Painted = false;
            QElapsedTimer timer;
            timer.start();
            QTest::mouseClick(bar, Qt::LeftButton, {}, at);
            while (!spread->Painted) {
                app.processEvents(QEventLoop::AllEvents);
                if (timer.elapsed() > 3000) {
                    std::fprintf(stderr, "no drop-down was painted within 3 s\n");
                    return 1;
                }
            }
            times[skinned].push_back(timer.nsecsElapsed() / 1e6);
            spread->hide();
            QTest::qWait(50);
        }
    }
    for (int skinned = 1; skinned >= 0; --skinned) {
        const auto& t = times[skinned];
        std::printf("%-8s median %.2f ms  (min %.2f, max %.2f, %d openings)\n",
                    skinned ? "skinned" : "plain", Median(t), *std::min_element(t.begin(), t.end()),
                    *std::max_element(t.begin(), t.end()), kRuns);
    }
    std::printf("skinned / plain: %.2f\n", Median(times[1]) / Median(times[0]));
    return 0;
}
