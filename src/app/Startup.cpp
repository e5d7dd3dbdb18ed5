#include "app/Startup.h"

#include "app/CommandLine.h"
#include "app/InternalSkin.h"
#include "app/MainWindow.h"
#include "app/SkinWatch.h"
#include "app/WindowSet.h"
#include "oracle/RuneCatalogue.h"
#include "platform/Application.h"
#include "platform/Background.h"
#include "platform/Bitmap.h"
#include "platform/Dialogs.h"
#include "platform/FirstPaint.h"
#include "platform/Fonts.h"
#include "platform/Screens.h"
#include "platform/Sound.h"

#include <QIcon>
#include <QPixmap>
#include <cstdio>

namespace app {

bool AsksForEngineVersion(const QStringList& arguments) {
    for (const QString& arg : arguments)
        if (arg.toLower() == QStringLiteral("/acver"))
            return true;
    return false;
}

void ShowStartupMessages(const QStringList& arguments) {
    if (AsksForEngineVersion(arguments))
        platform::ShowMessage(kEngineVersionText);
}

void PrepareApplication(QApplication& app) {
    platform::SetApplicationTitle(QString());
    if (!platform::LoadFonts())
        std::fprintf(stderr, "charolist: a font face is missing; using the nearest\n");
    app.setFont(platform::DefaultUiFont());
    app.setQuitOnLastWindowClosed(false);
    // Before any window is built, so that its pictures keep their text when
    // a screen is dense; a change of densities later paints everything anew.
    platform::WatchScreens([] {
        if (Form1 && Form1->sSkinManager1)
            Form1->sSkinManager1->RefreshSkin();
    });
}

void FinishStartUp(QApplication& app, WindowSet& windows) {
    app.setWindowIcon(
        QIcon(QPixmap::fromImage(platform::Bitmap::Load(oracle::kIconResource).Image())));
    windows.CreateCompanions();
}

int RunProgram(int argc, char** argv) {
    // --help, --version and option errors need no display.
    QStringList arguments;
    for (int i = 1; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    const CommandLine options = ParseCommandLine(arguments);
    if (const int status = AnswerOnTerminal(options); status >= 0)
        return status;
    // fontconfig reads its configuration on a second core while Qt connects
    // to the display here; then the skin loads there while the fonts are
    // found here.
    auto fontConfiguration = platform::StartInBackground(platform::ReadFontConfiguration);
    platform::UseWholeDeviceRatios();
    platform::TApplication app(argc, argv);
    fontConfiguration.wait();
    content::PrepareInternalSkin();
    // Only the arguments after the program's own name are looked at.
    ShowStartupMessages(app.arguments().mid(1));
    PrepareApplication(app);

    int status = 0;
    const bool started = platform::RunCommand([&] {
        WindowSet windows(oracle::TheReading(), platform::GlobalRandom(),
                          WindowSet::Companions::Later, options.SkinPath);
        // A skin named on the command line is watched for its author's
        // changes.
        std::unique_ptr<SkinWatch> watch;
        if (!options.SkinPath.isEmpty())
            watch = std::make_unique<SkinWatch>(*Form1->sSkinManager1, options.SkinPath);
        Form1->OnClosed = [&app] { app.quit(); };
        platform::AfterFirstPaint afterPaint(
            platform::Guarded([&app, &windows] { FinishStartUp(app, windows); }));
        Form1->installEventFilter(&afterPaint);
        platform::QuitAfterFirstPaint quitAfterPaint; // for the start-up benchmark
        if (qEnvironmentVariableIsSet("CHAROLIST_QUIT_AFTER_FIRST_PAINT"))
            Form1->installEventFilter(&quitAfterPaint);
        Form1->show();
        status = app.exec();
        platform::ReleaseSystemWavePlayer();
    });
    return started ? status : 1;
}

} // namespace app
