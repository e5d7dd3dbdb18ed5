#include "SkinPreview.h"

#include "app/Startup.h"
#include "app/WindowSet.h"
#include "skin/data/SkinModel.h"
#include "skin/data/SkinPackage.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QTemporaryDir>
#include <cstdio>

namespace {

const QStringList kWindows = {"main", "help", "author", "ancestors", "menu"};
constexpr int kVerseMs = 6000;

QString Option(const QStringList& args, const QString& name, const QString& otherwise) {
    const qsizetype at = args.indexOf(name);
    return at >= 0 && at + 1 < args.size() ? args[at + 1] : otherwise;
}

// The widget's picture once it has stopped changing (a fade runs a while).
QImage Settled(QWidget* widget) {
    QImage last = widget->grab().toImage();
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 25);
        QImage next = widget->grab().toImage();
        if (next == last)
            break;
        last = next;
    }
    return last;
}

int Fail(const QString& message) {
    std::fprintf(stderr, "%s\n", message.toLocal8Bit().constData());
    return 1;
}

} // namespace

int PreviewCommand(int argc, char** argv) {
    QStringList args;
    for (int i = 2; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    const QString skin = args.value(0), out = Option(args, "--out", QString());
    const QString window = Option(args, "--window", "main");
    const QString scale = Option(args, "--scale", "1");
    if (skin.isEmpty() || out.isEmpty() || !kWindows.contains(window) ||
        (scale != "1" && scale != "2")) {
        std::fputs("usage: charolist-skin preview SKIN --out FILE.png "
                   "[--window main|help|author|ancestors|menu] [--scale 2]\n",
                   stderr);
        return 2;
    }
    // The skin must load before a window is made: a window would show its
    // error in a box that nobody can close here.
    if (skin != "--internal") {
        try {
            skin::PlaceOfSkin(skin);
            skin::LoadSkinFromPath(skin);
        } catch (const std::exception& e) {
            return Fail(QString::fromStdString(e.what()));
        }
    }
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    qputenv("QT_SCALE_FACTOR", scale.toLatin1());
    // Nothing of the user's: no skin from their Skins folder.
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.path().toUtf8());
    QApplication application(argc, argv);
    QApplication::setCursorFlashTime(0);
    app::PrepareApplication(application);
    oracle::ReadingState reading;
    platform::RandomSource random;
    app::WindowSet windows(reading, random, app::WindowSet::Companions::Now,
                           skin == "--internal" ? QString() : skin);
    app::Form1->show();
    QApplication::processEvents();
    QImage picture;
    if (window == "main") {
        picture = Settled(app::Form1);
    } else if (window == "menu") {
        // The spreads' drop-down, its second item selected.
        QMenu* menu = app::Form1->MainMenu1->actions().value(1)->menu();
        menu->popup(app::Form1->mapToGlobal(QPoint(20, 40)));
        QApplication::processEvents();
        menu->setActiveAction(menu->actions().value(1));
        picture = Settled(menu);
    } else {
        // Opened by their menu commands, as a person opens them: the
        // ancestors' verse starts to scroll.
        QWidget* companion = nullptr;
        if (window == "help")
            app::Form1->N9Click(), companion = app::Form1->Help();
        else if (window == "author")
            app::Form1->N11Click(), companion = app::Form1->Author();
        else
            app::Form1->N10Click(), companion = app::Form1->Ancestors();
        // The verse rises from the bottom: a few lines are up after a while.
        if (window == "ancestors") {
            QElapsedTimer timer;
            timer.start();
            while (timer.elapsed() < kVerseMs)
                QApplication::processEvents(QEventLoop::AllEvents, 25);
        }
        picture = Settled(companion);
    }
    if (picture.isNull() || !picture.save(out, "PNG"))
        return Fail("Cannot write \"" + out + "\"");
    std::printf("%s: %dx%d\n", qPrintable(QDir::toNativeSeparators(out)), picture.width(),
                picture.height());
    return 0;
}
