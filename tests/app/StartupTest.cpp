#include "app/Startup.h"
#include "app/CommandLine.h"
#include "app/InternalSkin.h"
#include "app/SkinNeeds.h"
#include "app/SkinWatch.h"
#include "app/WindowSet.h"
#include "platform/FirstPaint.h"
#include "platform/Form.h"
#include "platform/Sound.h"
#include "platform/WidgetControl.h"
#include "support/Boxes.h"
#include "support/Files.h"

#include "support/Printers.h"
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QIcon>
#include <QMenu>
#include <QMenuBar>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

using namespace app;
using testing_support::AnswerNextBox;
using testing_support::SeenBox;
using testing_support::WriteFile;

TEST(Startup, OnlyTheVersionSwitchIsRecognised) {
    struct Row {
        QStringList args;
        bool asks;
    } rows[] = {
        {{}, false},
        {{"/acver"}, true},
        {{"/ACVER"}, true},
        {{"reading.txt", "/AcVer"}, true},
        {{"/acver", "/acver"}, true},
        {{"/acpreview"}, false},
        {{"acver"}, false},
        {{"/acver2"}, false},
    };
    for (const Row& row : rows)
        EXPECT_EQ(AsksForEngineVersion(row.args), row.asks) << row.args.join(' ').toStdString();
}

TEST(Startup, VersionBoxComesBeforeAnyWindow) {
    auto seen = AnswerNextBox("OK");
    ShowStartupMessages({"/ACVER", "/acver"});
    EXPECT_TRUE(seen->Shown);
    EXPECT_EQ(seen->Text, kEngineVersionText);
    EXPECT_EQ(seen->TopLevelWindowsVisible, 0);

    // Any other argument shows nothing.
    seen = AnswerNextBox("OK");
    ShowStartupMessages({"/acpreview", "x"});
    EXPECT_FALSE(seen->Shown);
}

class WindowSetTest : public ::testing::Test {
protected:
    void SetUp() override { PrepareApplication(*qApp); }
    oracle::ReadingState reading;
    platform::RandomSource random;

    // The user's data folder, empty, for one test: no skin of theirs.
    struct EmptyDataHome {
        QTemporaryDir Dir;
        QByteArray Old = qgetenv("XDG_DATA_HOME");
        EmptyDataHome() { qputenv("XDG_DATA_HOME", Dir.path().toUtf8()); }
        ~EmptyDataHome() { qputenv("XDG_DATA_HOME", Old); }
    };

    // The internal skin written out as a skin folder, its colour changed.
    static void WriteFolderSkin(const QString& folder, const char* color) {
        const skin::TacSkinConvertor wood = skin::UnpackPackage(content::InternalSkinPackage());
        ASSERT_TRUE(QDir().mkpath(folder));
        QByteArray options = *wood.OptionsText;
        options.replace("COLOR=5407913", QByteArray("COLOR=") + color);
        ASSERT_TRUE(WriteFile(folder + "/options.dat", options));
        for (const skin::TacImageItem& item : wood.Members)
            ASSERT_TRUE(WriteFile(folder + "/" + item.MemberName.toUpper(), item.MemberData));
    }
    // A broken package at `package`, started from or found first: its error
    // in a box, then the internal skin.
    void ExpectBrokenPackageFallsBack(const QString& package, const QString& skinPath) {
        ASSERT_TRUE(WriteFile(package, "not a skin"));
        auto seen = AnswerNextBox("OK");
        ExpectSkinAtStartUp("Wood (internal)", 5407913, skinPath);
        EXPECT_TRUE(seen->Shown);
        EXPECT_EQ(seen->Text, "Loaded data is not a packed skin file");
    }
    // Starts the windows (with the skin at `skinPath`, when given) and checks
    // the skin in force.
    void ExpectSkinAtStartUp(const QString& expectedName, uint32_t expectedColor,
                             const QString& skinPath = QString()) {
        WindowSet set(reading, random, WindowSet::Companions::Now, skinPath);
        const skin::TsSkinManager& m = *Form1->sSkinManager1;
        EXPECT_EQ(m.SkinName(), expectedName);
        EXPECT_EQ(m.SkinInfo(), "6.5");
        EXPECT_TRUE(m.SkinData().SkinReady);
        EXPECT_TRUE(m.IsDefault());
        EXPECT_EQ(skin::Value(m.GlobalColor()), expectedColor);
        EXPECT_EQ(m.MenuSupport.IcoLineSkin, "ICOLINE");
    }
};

TEST_F(WindowSetTest, FiveWindowsExistAndOnlyTheMainOneIsShown) {
    EXPECT_EQ(Form1, nullptr);
    {
        WindowSet set(reading, random);
        ASSERT_TRUE(Form1 && Form1->TextStore() && Form1->Ancestors() && Form1->Author() &&
                    Form1->Help());
        const QWidget* forms[] = {Form1, Form1->TextStore(), Form1->Ancestors(), Form1->Author(),
                                  Form1->Help()};
        for (int i = 0; i < 5; ++i) {
            EXPECT_EQ(forms[i]->objectName(), QStringLiteral("Form%1").arg(i + 1));
            EXPECT_FALSE(forms[i]->isVisible());
        }
        Form1->show();
        Form1->TextStore()->show(); // the text store is never shown, whoever asks
        EXPECT_TRUE(Form1->isVisible());
        for (const QWidget* w :
             {static_cast<QWidget*>(Form1->TextStore()), static_cast<QWidget*>(Form1->Ancestors()),
              static_cast<QWidget*>(Form1->Author()), static_cast<QWidget*>(Form1->Help())})
            EXPECT_FALSE(w->isVisible()) << w->objectName().toStdString();

        EXPECT_EQ(Form1->ClientSize(), QSize(792, 546));
        EXPECT_EQ(Form1->Ancestors()->ClientSize(), QSize(489, 291));
        EXPECT_EQ(Form1->Ancestors()->Caption(), QStringLiteral("Послание от предков."));
        EXPECT_EQ(Form1->Author()->ClientSize(), QSize(193, 214));
        EXPECT_EQ(Form1->Author()->Caption(), QString());
        EXPECT_EQ(Form1->Help()->ClientSize(), QSize(592, 405));
        EXPECT_EQ(Form1->Help()->Caption(), QStringLiteral("Справка..."));
        EXPECT_EQ(Form1->TextStore()->LabelCaption("sLabel25").size(), 289);
    }
    EXPECT_EQ(Form1, nullptr);
}

// The program makes the companions and sets its icon once the main window
// has painted; a menu command that comes first makes them itself.
TEST_F(WindowSetTest, CompanionsAndIconComeAfterTheFirstPaint) {
    QApplication::setWindowIcon(QIcon());
    {
        WindowSet set(reading, random, WindowSet::Companions::Later);
        ASSERT_TRUE(Form1 && Form1->TextStore());
        EXPECT_FALSE(Form1->Ancestors() || Form1->Author() || Form1->Help());
        platform::AfterFirstPaint afterPaint([&] { FinishStartUp(*qApp, set); });
        Form1->installEventFilter(&afterPaint);
        QApplication::processEvents();
        EXPECT_FALSE(Form1->Ancestors()) << "made before the main window painted";
        Form1->show();
        for (int i = 0; i < 200 && !Form1->Help(); ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        ASSERT_TRUE(Form1->Ancestors() && Form1->Author() && Form1->Help());
        EXPECT_FALSE(QApplication::windowIcon().isNull());
        QStringList order;
        for (const platform::TForm* form : platform::TForm::Forms())
            order << form->objectName();
        EXPECT_EQ(order, QStringList({"Form1", "Form3", "Form4", "Form5"}));
        EXPECT_FALSE(Form1->Ancestors()->isVisible() || Form1->Author()->isVisible() ||
                     Form1->Help()->isVisible());
        set.CreateCompanions(); // once only
        EXPECT_EQ(platform::TForm::Forms().size(), 4u);
    }
    {
        WindowSet set(reading, random, WindowSet::Companions::Later);
        Form1->N11Click();
        ASSERT_TRUE(Form1->Ancestors() && Form1->Author() && Form1->Help());
        EXPECT_TRUE(Form1->Author()->isVisible());
        Form1->Author()->close();
    }
    EXPECT_EQ(Form1, nullptr);
}

TEST_F(WindowSetTest, SoundModuleComesWithTheFirstWaveNotAtStartUp) {
    if (platform::SoundModuleLoaded())
        GTEST_SKIP() << "an earlier test in this process played a wave";
    WindowSet set(reading, random);
    Form1->show();
    QApplication::processEvents();
    EXPECT_FALSE(platform::SoundModuleLoaded());
    Form1->N10Click(); // the ancestors' message plays the music
    EXPECT_TRUE(Form1->Ancestors()->isVisible());
    EXPECT_TRUE(platform::SoundModuleLoaded());
}

TEST_F(WindowSetTest, RunePicturesAreDecodedOnFirstUse) {
    WindowSet set(reading, random);
    EXPECT_EQ(Form1->ImageList1.Count(), 0); // the start shows rune backs only
    Form1->N4Click();                        // four runes: number tiles
    EXPECT_EQ(Form1->ImageList1.Count(), oracle::kPictureCount);
}

TEST_F(WindowSetTest, MainWindowIsBuiltBeforeTheTextStoreExists) {
    // The creation handler runs while Form2 does not exist yet, and must not
    // need it: building the main window alone sets up the first reading.
    ASSERT_EQ(Form1, nullptr);
    TForm1 form(reading, random);
    EXPECT_EQ(reading.SpreadKind, 1);
    EXPECT_EQ(reading.OpenedCount, 0);
    EXPECT_NE(reading.Deck, oracle::DeckArray{});
}

// The main window's skin manager at start-up: the internal skin when there
// is none in the skin folder, the user's "Wood" when there is one, and the
// internal skin after an error box when the user's is broken.
TEST_F(WindowSetTest, MainWindowLoadsTheSkinAtStartUp) {
    const EmptyDataHome home;
    const QString skins = home.Dir.path() + "/charolist/Skins";
    QDir().mkpath(skins);
    ExpectSkinAtStartUp("Wood (internal)", 5407913);

    // A folder skin of the user's: the internal one with another colour.
    WriteFolderSkin(skins + "/Wood", "1234567");
    ExpectSkinAtStartUp("Wood", 1234567);

    // A broken package comes first, fails, and the internal skin takes over.
    ExpectBrokenPackageFallsBack(skins + "/Wood.asz", QString());
}

// A skin named on the command line: a folder or a package anywhere is
// taken by its name there; a place without a skin is said in an error box
// and the stored choice stays; a broken skin there fails as one in the
// Skins folder does.
TEST_F(WindowSetTest, SkinOptionStartsWithTheSkinAtItsPath) {
    const EmptyDataHome home;
    QTemporaryDir elsewhere;
    const QString folder = elsewhere.path() + "/Береста проба";
    WriteFolderSkin(folder, "1234567");
    ExpectSkinAtStartUp("Береста проба", 1234567, folder);
    ExpectSkinAtStartUp("Береста проба", 1234567, folder + "/"); // a trailing separator

    struct Row {
        QString path;
        QString box;
        const char* name;
    } rows[] = {
        {elsewhere.path() + "/none", "There is no skin at \"" + elsewhere.path() + "/none\"",
         "Wood (internal)"},
        {elsewhere.path(), "There is no Options.dat in \"" + elsewhere.path() + "\"",
         "Wood (internal)"},
        {folder + "/options.dat",
         "\"" + folder + "/options.dat\" is not a skin package: its name does not end in \".asz\"",
         "Wood (internal)"},
    };
    for (const Row& row : rows) {
        auto seen = AnswerNextBox("OK");
        ExpectSkinAtStartUp(row.name, 5407913, row.path);
        EXPECT_TRUE(seen->Shown) << row.path.toStdString();
        EXPECT_EQ(seen->Text, row.box);
    }

    ExpectBrokenPackageFallsBack(elsewhere.path() + "/Broken.asz",
                                 elsewhere.path() + "/Broken.asz");
}

// Live preview: a changed colour in the watched folder skin reaches the
// screen within a second and the reading stays; a broken change leaves the
// skin in force and is told, not shown in a box.
TEST_F(WindowSetTest, WatchedSkinFolderAppliesItsChangesAndKeepsTheReading) {
    const EmptyDataHome home;
    QTemporaryDir elsewhere;
    const QString folder = elsewhere.path() + "/Проба";
    WriteFolderSkin(folder, "1234567");
    WindowSet set(reading, random, WindowSet::Companions::Now, folder);
    Form1->show();
    skin::TsSkinManager& m = *Form1->sSkinManager1;
    ASSERT_EQ(skin::Value(m.GlobalColor()), 1234567u);
    SkinWatch watch(m, folder);
    QStringList errors;
    watch.OnError = [&](const QString& e) { errors << e; };
    // A reading in progress: one rune open, its text in the log.
    QTest::mouseClick(Form1->Image(1), Qt::LeftButton, Qt::NoModifier, QPoint(26, 38));
    ASSERT_EQ(reading.OpenedCount, 1);
    const QString log = Form1->sMemo1->Text();
    ASSERT_FALSE(log.isEmpty());

    auto waitFor = [&](auto done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 3000)
            QApplication::processEvents(QEventLoop::AllEvents, 20);
        return timer.elapsed();
    };
    QByteArray options = testing_support::ReadFile(folder + "/options.dat");
    options.replace("COLOR=1234567", "COLOR=7654321");
    ASSERT_TRUE(WriteFile(folder + "/options.dat", options));
    const qint64 took = waitFor([&] { return skin::Value(m.GlobalColor()) == 7654321u; });
    EXPECT_EQ(skin::Value(m.GlobalColor()), 7654321u);
    EXPECT_LT(took, 1000);
    EXPECT_TRUE(m.SkinData().SkinReady);
    EXPECT_EQ(Form1->sMemo1->Text(), log);
    EXPECT_EQ(reading.OpenedCount, 1);
    EXPECT_TRUE(errors.isEmpty()) << errors.join('\n').toStdString();

    // A broken gradient: told once, and the skin in force stays.
    auto box = AnswerNextBox("OK");
    options.replace("COLOR=7654321", "COLOR=7654321\r\nGRADIENTDATA=1;x;3;4;5");
    ASSERT_TRUE(WriteFile(folder + "/options.dat", options));
    waitFor([&] { return !errors.isEmpty(); });
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors.front().contains("is not a valid integer value"))
        << errors.front().toStdString();
    EXPECT_FALSE(box->Shown);
    EXPECT_EQ(skin::Value(m.GlobalColor()), 7654321u);
    EXPECT_TRUE(m.SkinData().SkinReady);
    EXPECT_EQ(Form1->sMemo1->Text(), log);
}

// The skin check reports a skin that lacks a section the windows are painted
// from: its list holds every section the program's controls bind to.
TEST_F(WindowSetTest, TheSkinCheckKnowsEverySectionTheWindowsBindTo) {
    WindowSet set(reading, random);
    const skin::TsSkinManager& m = *Form1->sSkinManager1;
    QSet<QString> needed;
    for (const char* name : kNeededSections)
        needed << QString::fromLatin1(name);
    int bound = 0;
    for (platform::TForm* form : platform::TForm::Forms())
        for (QWidget* w : form->findChildren<QWidget*>()) {
            platform::Control* control = platform::AsControl(w);
            if (!control || !skin::AnswersSkinCommands(control))
                continue;
            int index = -1;
            skin::SendSkinCommand<skin::SkinCmdGetSectionIndex>(control, &index);
            if (!m.IsValidSection(index))
                continue;
            ++bound;
            const QString& name = m.SectionTable()[size_t(index)].SectionName;
            EXPECT_TRUE(needed.contains(name))
                << name.toStdString() << " of " << w->objectName().toStdString();
        }
    EXPECT_GE(bound, 5); // the log, the button, the panels, the labels, the companions' boxes
}

// The program ends with a drop-down still open: the drop-down is hidden as
// the window's children go, after the window's menu object and its style.
TEST_F(WindowSetTest, EndingWithADropDownOpen) {
    {
        WindowSet set(reading, random);
        Form1->show();
        QMenu* menu = Form1->MainMenu1->actions().value(1)->menu();
        menu->popup(Form1->mapToGlobal(QPoint(20, 40)));
        QApplication::processEvents();
        ASSERT_TRUE(menu->isVisible());
    }
    EXPECT_EQ(Form1, nullptr);
}

TEST(Startup, CommandLineOptions) {
    const QString here = QDir::currentPath();
    struct Row {
        QStringList args;
        bool help, version;
        QString skin, error;
    } rows[] = {
        {{}, false, false, "", ""},
        {{"--help"}, true, false, "", ""},
        {{"-h", "/acver"}, true, false, "", ""},
        {{"--version"}, false, true, "", ""},
        {{"--skin", "/tmp/a.asz"}, false, false, "/tmp/a.asz", ""},
        {{"--skin=Skins/Береста"}, false, false, here + "/Skins/Береста", ""},
        {{"--skin"}, false, false, "", "после --skin нужен путь к обложке"},
        {{"--skin="}, false, false, "", "после --skin нужен путь к обложке"},
        {{"-platform", "offscreen", "reading.txt"}, false, false, "", ""},
    };
    for (const Row& row : rows) {
        const CommandLine options = ParseCommandLine(row.args);
        const std::string what = row.args.join(' ').toStdString();
        EXPECT_EQ(options.Help, row.help) << what;
        EXPECT_EQ(options.Version, row.version) << what;
        EXPECT_EQ(options.SkinPath, row.skin) << what;
        EXPECT_EQ(options.Error, row.error) << what;
    }
}
