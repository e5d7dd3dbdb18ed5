// Saving the reading: the file's bytes, the dialog, and every failure.
#include "app/Startup.h"
#include "app/WindowSet.h"
#include "oracle/ReadingFile.h"
#include "platform/Application.h"
#include "platform/FileWriter.h"
#include "support/Boxes.h"
#include "support/Files.h"

#include "support/Printers.h"
#include "support/ProgramWindows.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace app;
using testing_support::AnswerNextBox;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

// Types a name into the next save dialog and accepts it (or cancels when the
// name is empty); records the name the dialog showed when it opened.
std::shared_ptr<QString> AnswerSaveDialog(const QString& name) {
    auto shown = std::make_shared<QString>();
    QTimer::singleShot(0, [=] {
        auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        const QStringList selected = dialog->selectedFiles();
        *shown = selected.isEmpty() ? QString() : QFileInfo(selected.first()).fileName();
        if (name.isEmpty()) {
            dialog->reject();
            return;
        }
        dialog->selectFile(name);
        QMetaObject::invokeMethod(dialog, "accept");
    });
    return shown;
}

QStringList Leftovers(const QString& folder) {
    return QDir(folder).entryList(QStringList{".charolist-save-*"}, QDir::Files | QDir::Hidden);
}

} // namespace

TEST(ReadingFile, LinesEndWithCrLfInWindows1251) {
    struct Row {
        QString log;
        QByteArray bytes;
    } rows[] = {
        {"", ""},
        {"a", "a\r\n"},
        {"a\r\n", "a\r\n"},
        {"a\r\n\r\nb", "a\r\n\r\nb\r\n"},
        {"a\rb\nc", "a\r\nb\r\nc\r\n"},
        {"\r\n\r\n", "\r\n\r\n"},
        {"Ёж я", "\xA8\xE6 \xFF\r\n"},
        {"Руна - «Ас» — 1", "\xD0\xF3\xED\xE0 - \xAB\xC0\xF1\xBB \x97 1\r\n"},
        {"日本 ok", "?? ok\r\n"},
        {"😀!", "?!\r\n"},
    };
    for (const Row& row : rows)
        EXPECT_EQ(oracle::ReadingFileBytes(row.log), row.bytes) << row.log.toStdString();
}

class SavingTest : public testing_support::ProgramWindowsTest {
protected:
    // Runs "Сохранить..." typing `name`; returns the message of an error box
    // (empty when none appeared).
    QString Save(const QString& name) {
        auto box = AnswerNextBox("OK");
        AnswerSaveDialog(name);
        Form1->N12->trigger();
        return box->Shown ? box->Text : QString();
    }

    // Saves to `path` as the command does once a name is chosen, inside the
    // top-level handler; returns the message of the error box, if any.
    QString SaveTo(const QString& path) {
        auto box = AnswerNextBox("OK");
        platform::RunCommand([&] { Form1->SaveLogTo(path); });
        return box->Shown ? box->Text : QString();
    }

    QTemporaryDir dir;
};

TEST_F(SavingTest, SavesTheLogAsItStandsAndChangesNothing) {
    Form1->N4Click();
    // Rune 1 lies under Image9 (deck position 8), so the heading is known.
    std::swap(reading.Deck[8], *std::find(reading.Deck.begin(), reading.Deck.end(), 1));
    QTest::mouseClick(Form1->Image(9), Qt::LeftButton);
    Form1->sMemo1->InsertAtEnd("Заметка");
    const QString log = Form1->sMemo1->Text();
    const oracle::ReadingState before = reading;

    EXPECT_EQ(Save(dir.filePath("reading")), QString()); // no extension typed
    const QByteArray bytes = ReadFile(dir.filePath("reading.txt"));
    EXPECT_EQ(bytes, oracle::ReadingFileBytes(log));
    EXPECT_TRUE(
        bytes.startsWith("\r\n\r\n\xD0\xD3\xCD\xC0 -  \xC0\xD1.\r\n")); // "РУНА -  АС." in 1251
    EXPECT_TRUE(bytes.endsWith("\xC7\xE0\xEC\xE5\xF2\xEA\xE0\r\n"));
    EXPECT_EQ(Form1->sMemo1->Text(), log);
    EXPECT_EQ(reading.Deck, before.Deck);
    EXPECT_EQ(reading.OpenedCount, 1);

    // The dialog shows the last name again; a second save replaces silently.
    Form1->sButton1->click(); // empty log now
    auto shown = AnswerSaveDialog(dir.filePath("reading.txt"));
    auto box = AnswerNextBox("OK");
    Form1->N12->trigger();
    EXPECT_EQ(*shown, "reading.txt");
    EXPECT_FALSE(box->Shown);
    EXPECT_EQ(ReadFile(dir.filePath("reading.txt")), QByteArray());
    EXPECT_TRUE(Leftovers(dir.path()).isEmpty());
}

TEST_F(SavingTest, CancelWritesNothing) {
    EXPECT_EQ(Save(QString()), QString());
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
}

TEST_F(SavingTest, FileThatCannotBeCreatedIsReportedAndNothingChanges) {
    ASSERT_TRUE(WriteFile(dir.filePath("plain.txt"), "x"));
    struct Row {
        QString name;
        QString reason;
    } rows[] = {
        {dir.filePath("missing/reading.txt"), "No such file or directory"},
        {dir.filePath("plain.txt/reading.txt"), "Not a directory"},
        {dir.filePath(QString(300, u'ж') + ".txt"), "File name too long"},
    };
    Form1->sMemo1->SetText("Текст");
    for (const Row& row : rows) {
        const QString message = SaveTo(row.name);
        EXPECT_EQ(message,
                  QStringLiteral("Cannot create file \"%1\". %2.").arg(row.name, row.reason));
        EXPECT_EQ(Form1->sMemo1->Text(), "Текст");
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"plain.txt"});
}

TEST_F(SavingTest, FolderWithoutWritePermission) {
    if (geteuid() == 0)
        GTEST_SKIP() << "root may write anywhere";
    QDir(dir.path()).mkdir("locked");
    QFile::setPermissions(dir.filePath("locked"), QFile::ReadOwner | QFile::ExeOwner);
    EXPECT_EQ(SaveTo(dir.filePath("locked/r.txt")),
              QStringLiteral("Cannot create file \"%1\". Permission denied.")
                  .arg(dir.filePath("locked/r.txt")));
    QFile::setPermissions(dir.filePath("locked"),
                          QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
}

TEST(FileWriter, FailedWriteLeavesTheEarlierFileAsItWas) {
    // A child process whose file-size limit stops the write part-way.
    QTemporaryDir dir;
    const QString target = dir.filePath("reading.txt");
    ASSERT_TRUE(WriteFile(target, "the earlier reading\r\n"));
    QProcess child;
    child.start(QStringLiteral(CHAROLIST_BUILD_DIR "/tests/save_with_limit"),
                {target, "4096", "100000"});
    ASSERT_TRUE(child.waitForFinished(20000));
    EXPECT_EQ(child.exitCode(), 3) << child.readAllStandardError().toStdString();
    EXPECT_EQ(child.readAllStandardError().trimmed(), "Stream write error");
    EXPECT_EQ(ReadFile(target), "the earlier reading\r\n");
    EXPECT_TRUE(Leftovers(dir.path()).isEmpty());

    // Under the limit the same write goes through.
    child.start(QStringLiteral(CHAROLIST_BUILD_DIR "/tests/save_with_limit"),
                {target, "1000000", "100000"});
    ASSERT_TRUE(child.waitForFinished(20000));
    EXPECT_EQ(child.exitCode(), 0);
    EXPECT_EQ(QFileInfo(target).size(), 100000 + 2 * 100000 / 40);
}

TEST(FileWriter, RewritingInPlaceKeepsTheEarlierFileWhenTheDiskIsFull) {
    // Where the folder takes no temporary file the file is rewritten in
    // place; a limit on the file's size stands in for a full disk.
    QTemporaryDir dir;
    const QString target = dir.filePath("reading.txt");
    const QString helper = QStringLiteral(CHAROLIST_BUILD_DIR "/tests/save_with_limit");
    struct Case {
        const char* Limit;
        const char* Size;
        int Exit;
        QByteArray After;
    };
    const QByteArray earlier = "the earlier reading\r\n";
    for (const Case& c :
         {Case{"4096", "100000", 3, earlier}, Case{"1000000", "100000", 0, QByteArray(100000, 'n')},
          Case{"1000000", "5", 0, QByteArray(5, 'n')}}) {
        ASSERT_TRUE(WriteFile(target, earlier));
        QProcess child;
        child.start(helper, {target, c.Limit, c.Size, "in-place"});
        ASSERT_TRUE(child.waitForFinished(20000));
        EXPECT_EQ(child.exitCode(), c.Exit) << c.Size << " bytes, limit " << c.Limit;
        if (c.Exit != 0) {
            EXPECT_EQ(child.readAllStandardError().trimmed(), "Stream write error");
        }
        EXPECT_EQ(ReadFile(target), c.After) << c.Size << " bytes, limit " << c.Limit;
    }
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"reading.txt"});
}

TEST(FileWriter, ReplacingKeepsPermissionsAndWritesThroughLinks) {
    QTemporaryDir dir;
    const QString target = dir.filePath("kept.txt");
    ASSERT_TRUE(WriteFile(target, "old"));
    QFile::setPermissions(target, QFile::ReadOwner | QFile::WriteOwner);
    ASSERT_TRUE(QFile::link(target, dir.filePath("link.txt")));
    platform::WriteWholeFile(dir.filePath("link.txt"), "new");
    EXPECT_EQ(ReadFile(target), "new");
    EXPECT_TRUE(QFileInfo(dir.filePath("link.txt")).isSymLink());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(target).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
}

TEST(FileWriter, APipeIsWrittenDirectlyNotReplaced) {
    QTemporaryDir dir;
    const QString fifo = dir.filePath("pipe");
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QProcess reader;
    reader.start("cat", {fifo});
    ASSERT_TRUE(reader.waitForStarted());
    platform::WriteWholeFile(fifo, "through the pipe");
    ASSERT_TRUE(reader.waitForFinished(5000));
    EXPECT_EQ(reader.readAllStandardOutput(), "through the pipe");
    EXPECT_FALSE(QFileInfo(fifo).isFile());
}
