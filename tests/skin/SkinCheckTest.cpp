// The skin author's check and preview, run as the tool: each kind of problem
// in a small skin of its own, silence on the program's own skin, and its
// windows saved as pictures.
#include "support/Files.h"
#include "support/Printers.h"

#include <QImage>
#include <QProcess>
#include <QSet>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using testing_support::Encoded;

const QString kBirch = QStringLiteral(CHAROLIST_BUILD_DIR "/generated/Береста.asz");
using testing_support::WriteFile;

namespace {

struct CheckRun {
    int Status = -1;
    QString Output;
};

CheckRun Check(const QString& skin) {
    QProcess p;
    p.start(QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin"), {"check", skin});
    EXPECT_TRUE(p.waitForFinished(30000));
    return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput())};
}

// A skin folder: the options text and a 100 x 50 master picture.
QString WriteSkin(const QTemporaryDir& dir, const QByteArray& options) {
    QImage master(100, 50, QImage::Format_RGB32);
    master.fill(Qt::darkGreen);
    EXPECT_TRUE(WriteFile(dir.filePath("Options.dat"), options));
    EXPECT_TRUE(WriteFile(dir.filePath("MASTER.BMP"), Encoded(master, "BMP")));
    return dir.path();
}

} // namespace

TEST(SkinCheck, FindsEachKindOfProblemWithItsSectionAndKey) {
    QTemporaryDir dir;
    ASSERT_TRUE(WriteFile(dir.filePath("BROKEN.BMP"), "BM not a picture"));
    const QString skin =
        WriteSkin(dir, "[GLOBALINFO]\r\n"
                       "MASTERBITMAP=MASTER.BMP\r\n"
                       "BICONCLOSE=@0000@0000@0030@0010@3@0\r\n"
                       "BICONMIN=@0000@0000@0031@0010@3@0\r\n"
                       "[FORM]\r\n"
                       "COLOUR=5\r\n"
                       "BORDERSMASK=^0000^0010^0090^0030^0002^0002^0002^0002^1^0^1^1\r\n"
                       "PATTERN=!MISSING.BMP!1!0!1\r\n"
                       "[BUTTON]\r\n"
                       "STATES=2\r\n"
                       "BORDERSMASK=^0000^0010^0090^0030^0002^0002^0002^0002^3^0^1^1\r\n"
                       "[PANEL]\r\n"
                       "BORDERSMASK=^0000^0040^0200^0060^0002^0002^0002^0002^1^0^1^1\r\n"
                       "[A]\r\nPARENTCLASS=B\r\n[B]\r\nPARENTCLASS=A\r\n"
                       "[EDIT]\r\nPARENTCLASS=NOSUCH\r\n"
                       "[GLYPHS]\r\nGLYPHMASK=!BROKEN.BMP!1!0!2\r\n");
    const CheckRun run = Check(skin);
    EXPECT_EQ(run.Status, 1);
    const char* expected[] = {
        "error: [GLOBALINFO] BICONMIN: its width 31 does not divide into 3 frames",
        "warning: [FORM] COLOUR: the engine knows no such key; did you mean COLOR?",
        "error: [FORM] PATTERN: the picture MISSING.BMP is not in the skin",
        "warning: [BUTTON] BORDERSMASK: has 3 frames, but the section's STATES is 2",
        "error: [PANEL] BORDERSMASK: its rectangle 0,40 200x20 lies outside its picture (100x50)",
        "error: [A] PARENTCLASS: the parents loop: A -> B -> A",
        "warning: [EDIT] PARENTCLASS: names the section NOSUCH, which the skin does not have",
        "error: [GLYPHS] GLYPHMASK: the picture BROKEN.BMP cannot be read",
        "error: [MENULINE] -: the program's windows are painted from this section",
        "error: [FORMTITLE] -: the program's windows are painted from this section",
    };
    for (const char* line : expected)
        EXPECT_TRUE(run.Output.contains(QString::fromUtf8(line))) << line << "\n"
                                                                  << run.Output.toStdString();
    EXPECT_EQ(run.Output.count("error: [A]"), 1) << "one loop, told once";
    EXPECT_EQ(run.Output.count("[B]"), 0);
    EXPECT_TRUE(run.Output.endsWith(QStringLiteral("errors, 3 warnings\n")))
        << run.Output.toStdString();
}

TEST(SkinCheck, WarningsAloneAndLimitsAndTheProgramsOwnSkin) {
    // The program's own skin, as a package and as the tool's --internal,
    // and the second skin we ship.
    for (const QString& skin : {QStringLiteral(CHAROLIST_BUILD_DIR "/generated/skin/Wood.asz"),
                                QStringLiteral("--internal"), kBirch}) {
        const CheckRun run = Check(skin);
        EXPECT_EQ(run.Status, 0) << skin.toStdString();
        EXPECT_EQ(run.Output, "0 errors, 0 warnings\n") << run.Output.toStdString();
    }
    // Wood with a misspelt key: a warning, and the exit status stays 0.
    QTemporaryDir dir;
    const QString wood = QStringLiteral(CHAROLIST_BUILD_DIR "/generated/skin/");
    QByteArray options = testing_support::ReadFile(wood + "Options.dat");
    options.replace("[FORM]\r\n", "[FORM]\r\nBORDERMASK=1\r\n");
    for (const char* picture : {"Master.bmp", "ButtonHuge.bmp", "Bg_b.jpg"})
        ASSERT_TRUE(WriteFile(dir.filePath(picture), testing_support::ReadFile(wood + picture)));
    ASSERT_TRUE(WriteFile(dir.filePath("Options.dat"), options));
    CheckRun run = Check(dir.path());
    EXPECT_EQ(run.Status, 0);
    EXPECT_EQ(run.Output, "warning: [FORM] BORDERMASK: the engine knows no such key; did you mean "
                          "BORDERSMASK?\n0 errors, 1 warnings\n");
    // More sections than the engine takes.
    QTemporaryDir many;
    QByteArray text;
    for (int i = 0; i < 16385; ++i)
        text += "[S" + QByteArray::number(i) + "]\r\n";
    run = Check(WriteSkin(many, text));
    EXPECT_EQ(run.Status, 1);
    EXPECT_TRUE(run.Output.contains(
        "error: [GLOBALINFO] -: the skin has 16385 sections; the engine takes at most 16384"));
}

// The preview builds the program's windows with either skin and saves them;
// the skins' frames lie in the same bands, so the sizes are the same.
TEST(SkinPreview, SavesTheWindowsAtEitherRatio) {
    QTemporaryDir out;
    struct Row {
        QStringList options;
        QSize size;
    } rows[] = {
        {{}, QSize(798, 589)},
        {{"--scale", "2"}, QSize(1596, 1178)},
        {{"--window", "help"}, QSize(600, 432)},
        {{"--window", "author"}, QSize(199, 239)},
        {{"--window", "menu"}, QSize(123, 94)},
    };
    for (const QString& skin : {QStringLiteral(CHAROLIST_BUILD_DIR "/generated/skin"), kBirch})
        for (const Row& row : rows) {
            const QString file = out.filePath(row.options.join('-') + ".png");
            QProcess p;
            p.start(QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin"),
                    QStringList{"preview", skin, "--out", file} + row.options);
            ASSERT_TRUE(p.waitForFinished(60000));
            const std::string what = (skin + ' ' + row.options.join(' ')).toStdString();
            EXPECT_EQ(p.exitCode(), 0) << what << p.readAllStandardError().toStdString();
            const QImage picture(file);
            EXPECT_EQ(picture.size(), row.size) << what;
            // Drawn, not blank: the skin's pictures and texts give many colours.
            QSet<QRgb> colours;
            for (int y = 0; y < picture.height(); y += 3)
                for (int x = 0; x < picture.width(); x += 3)
                    colours.insert(picture.pixel(x, y));
            EXPECT_GT(colours.size(), 50) << what;
        }
    QProcess p;
    p.start(QStringLiteral(CHAROLIST_BUILD_DIR "/charolist-skin"),
            {"preview", out.filePath("none"), "--out", out.filePath("none.png")});
    ASSERT_TRUE(p.waitForFinished(20000));
    EXPECT_EQ(p.exitCode(), 1);
    EXPECT_TRUE(p.readAllStandardError().contains("There is no skin at"));
}
