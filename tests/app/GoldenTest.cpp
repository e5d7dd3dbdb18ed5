// The program's windows and the skin tool's pictures against pictures kept
// from a known-good build: every pixel must stay as it was. The main window
// at rest, the refresh button hovered and pressed, each drop-down open, the
// help and author windows and a message box (tests/golden/*.png), and every
// picture of `charolist-skin render --internal --all` (by the hash of its
// pixels, tests/golden/render-all.txt). The caption's saying is fixed to the
// first, so that the random one does not decide the title band.
//
// A picture that differs is written to the build folder with the expected
// one and a difference picture beside it. CHAROLIST_GOLDEN_UPDATE=1 writes
// the pictures of this build as the new golden ones, for a change that is
// meant to be seen.
#include "app/MainWindow.h"
#include "platform/Dialogs.h"
#include "support/ProgramWindows.h"

#include <QCryptographicHash>
#include <QDir>
#include <QMessageBox>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

namespace {

const QString kGoldenDir = QStringLiteral(CHAROLIST_SOURCE_DIR "/tests/golden");
const QString kBuildDir = QStringLiteral(CHAROLIST_BUILD_DIR);

bool Updating() {
    return qEnvironmentVariableIntValue("CHAROLIST_GOLDEN_UPDATE") == 1;
}

QImage Normalised(const QImage& image) {
    return image.convertToFormat(QImage::Format_RGB32);
}

// Compares the picture with the golden one of this name.
void ExpectGolden(const QImage& shot, const QString& name) {
    const QImage actual = Normalised(shot);
    const QString golden = kGoldenDir + "/" + name + ".png";
    if (Updating()) {
        ASSERT_TRUE(actual.save(golden)) << golden.toStdString();
        return;
    }
    const QImage expected = Normalised(QImage(golden));
    ASSERT_FALSE(expected.isNull()) << "no golden picture " << golden.toStdString();
    if (actual == expected)
        return;
    const QString base = kBuildDir + "/golden-" + name;
    actual.save(base + "-actual.png");
    expected.save(base + "-expected.png");
    int differing = -1;
    if (actual.size() == expected.size()) {
        QImage diff(actual.size(), QImage::Format_RGB32);
        differing = 0;
        for (int y = 0; y < actual.height(); ++y)
            for (int x = 0; x < actual.width(); ++x) {
                const bool same = actual.pixel(x, y) == expected.pixel(x, y);
                differing += same ? 0 : 1;
                diff.setPixel(x, y, same ? 0xFF000000 : 0xFFFF00FF);
            }
        diff.save(base + "-diff.png");
    }
    ADD_FAILURE() << name.toStdString() << ": " << actual.width() << "x" << actual.height()
                  << " against " << expected.width() << "x" << expected.height() << ", "
                  << differing << " pixels differ (pictures in " << base.toStdString() << "-*)";
}

// Grabs the widget once it has stopped changing (a fade runs for a while).
QImage Settled(QWidget* widget) {
    QImage last = widget->grab().toImage();
    for (int i = 0; i < 40; ++i) {
        QTest::qWait(25);
        QImage next = widget->grab().toImage();
        if (next == last)
            return next;
        last = next;
    }
    ADD_FAILURE() << "the picture did not settle";
    return last;
}

class GoldenTest : public testing_support::ProgramWindowsTest {
protected:
    void SetUp() override {
        // A caret that blinks would make two grabs differ.
        QApplication::setCursorFlashTime(0);
        ProgramWindowsTest::SetUp();
        app::Form1->SetCaption(app::AphorismCaption(1));
        QApplication::processEvents();
    }
    // The suffix of a picture at this screen's ratio.
    static QString Ratio() {
        const qreal ratio = app::Form1->devicePixelRatioF();
        return ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio);
    }
};

TEST_F(GoldenTest, MainWindowAtRestAndItsRefreshButton) {
    ExpectGolden(Settled(app::Form1), "main" + Ratio());
    if (!Ratio().isEmpty())
        return; // at ratio 2 the window at rest is enough
    skin::TsButton* button = app::Form1->sButton1;
    const QPoint centre = button->rect().center();
    QTest::mouseMove(button, centre);
    QEnterEvent enter(QPointF(centre), QPointF(button->mapTo(app::Form1, centre)),
                      QPointF(button->mapToGlobal(centre)));
    QApplication::sendEvent(button, &enter);
    ExpectGolden(Settled(app::Form1), "button-hot");
    QTest::mousePress(button, Qt::LeftButton, {}, centre);
    ExpectGolden(Settled(app::Form1), "button-pressed");
    // Released outside, so that the button does nothing.
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(-5, -5));
}

TEST_F(GoldenTest, EachDropDownOpen) {
    int n = 0;
    for (QAction* top : app::Form1->MainMenu1->actions()) {
        QMenu* menu = top->menu();
        ASSERT_NE(menu, nullptr);
        menu->popup(app::Form1->mapToGlobal(QPoint(20, 40)));
        QApplication::processEvents();
        // The second item selected, as the pointer over it would.
        menu->setActiveAction(menu->actions().value(1));
        ExpectGolden(Settled(menu), QStringLiteral("menu-%1").arg(++n));
        menu->hide();
        QApplication::processEvents();
    }
    EXPECT_EQ(n, 3);
}

TEST_F(GoldenTest, HelpAndAuthorWindows) {
    app::Form1->N9Click();
    ExpectGolden(Settled(app::Form1->Help()), "help");
    app::Form1->Help()->close();
    app::Form1->N11Click();
    ExpectGolden(Settled(app::Form1->Author()), "author");
    app::Form1->Author()->close();
}

TEST_F(GoldenTest, MessageBox) {
    std::unique_ptr<QMessageBox> box =
        platform::MakeBox(platform::BoxKind::Error, QStringLiteral("Не удалось сохранить файл."));
    box->show();
    ExpectGolden(Settled(box.get()), "message-box");
}

// The hash of each picture's pixels, a line "NAME HASH" each, sorted by name.
QStringList PixelHashes(const QString& folder) {
    QStringList lines;
    const QDir dir(folder);
    for (const QString& name : dir.entryList({"*.png"}, QDir::Files, QDir::Name)) {
        const QImage image = QImage(dir.filePath(name)).convertToFormat(QImage::Format_ARGB32);
        QCryptographicHash hash(QCryptographicHash::Sha256);
        hash.addData(QByteArray::number(image.width()) + "x" + QByteArray::number(image.height()));
        for (int y = 0; y < image.height(); ++y)
            hash.addData(QByteArrayView(reinterpret_cast<const char*>(image.constScanLine(y)),
                                        image.width() * 4));
        lines << name + " " + QString::fromLatin1(hash.result().toHex());
    }
    return lines;
}

TEST(GoldenRender, EveryPictureOfTheInternalSkin) {
    QTemporaryDir out;
    QProcess tool;
    tool.start(kBuildDir + "/charolist-skin",
               {"render", "--internal", "--all", "--out", out.path()});
    ASSERT_TRUE(tool.waitForFinished(60000));
    ASSERT_EQ(tool.exitCode(), 0) << tool.readAllStandardError().toStdString();
    const QStringList actual = PixelHashes(out.path());
    QFile golden(kGoldenDir + "/render-all.txt");
    if (Updating()) {
        ASSERT_TRUE(golden.open(QIODevice::WriteOnly | QIODevice::Truncate));
        golden.write((actual.join('\n') + '\n').toUtf8());
        return;
    }
    ASSERT_TRUE(golden.open(QIODevice::ReadOnly));
    const QStringList expected =
        QString::fromUtf8(golden.readAll()).split('\n', Qt::SkipEmptyParts);
    ASSERT_GT(expected.size(), 400);
    QStringList changed;
    for (const QString& line : expected)
        if (!actual.contains(line))
            changed << line.section(' ', 0, 0);
    for (const QString& line : actual)
        if (!expected.contains(line) && !changed.contains(line.section(' ', 0, 0)))
            changed << line.section(' ', 0, 0);
    EXPECT_TRUE(changed.isEmpty())
        << "pictures that changed, appeared or went: " << changed.join(", ").toStdString();
}

} // namespace
