// Every hand-broken line of the program's texts fits the box that shows it,
// measured in that box's real font and width. The texts were broken by hand
// for a given face; a wider face or a longer line would lose words at the
// right edge, so a font or text change must pass this test.
#include "app/Startup.h"
#include "app/WindowSet.h"
#include "controls/ScrollingCredits.h"
#include "oracle/RuneCatalogue.h"

#include "support/Printers.h"
#include "support/ProgramWindows.h"
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFontMetricsF>
#include <QScrollBar>
#include <functional>
#include <gtest/gtest.h>

using namespace app;

namespace {

using TextWidthTest = testing_support::ProgramWindowsTest;

// Where a text is shown: the font it is drawn in and the width its lines have.
struct Box {
    QFont font;
    double width;
};

Box LogBox() {
    const skin::TsMemo* log = Form1->sMemo1;
    // A line may use the whole viewport but for the document's margin on each side.
    return {log->document()->defaultFont(),
            log->viewport()->width() - 2 * log->document()->documentMargin()};
}

// The help box has the log's frame and scroll bar at its own width.
Box HelpBox() {
    Box box = LogBox();
    box.width += 593 - Form1->sMemo1->width();
    return box;
}

Box VerseBox() {
    controls::TScrollingCredits* credits = Form1->Ancestors()->ScrollingCredits1;
    return {credits->CreditsFont().ToQFont(), double(credits->width())};
}

QString Embedded(const QString& name) {
    QFile f(QStringLiteral(":/texts/") + name);
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

// Every text file the program carries, and the box its lines must fit. The
// guides are left out: their label sizes itself to its text; so is the
// author's data, whose lines go to labels and a one-line edit.
struct Shown {
    QString file;
    std::function<Box()> box;
};

std::vector<Shown> ShownTexts() {
    std::vector<Shown> out;
    for (int n = 1; n <= oracle::kRuneCount; ++n)
        out.push_back({QStringLiteral("rune-%1.txt").arg(n, 2, 10, QLatin1Char('0')), LogBox});
    out.push_back({QStringLiteral("help.txt"), HelpBox});
    out.push_back({QStringLiteral("verse.txt"), VerseBox});
    return out;
}

const QStringList kNotMeasured = {"guide-4.txt", "guide-5.txt", "guide-6.txt", "author.txt"};

} // namespace

TEST_F(TextWidthTest, EveryTextFileIsMeasuredOrKnownNotToNeedIt) {
    QStringList listed = kNotMeasured;
    for (const Shown& s : ShownTexts())
        listed << s.file;
    const QStringList files = QDir(QStringLiteral(":/texts")).entryList(QDir::Files);
    ASSERT_GE(files.size(), oracle::kRuneCount);
    for (const QString& f : files)
        EXPECT_TRUE(listed.contains(f)) << f.toStdString() << " needs a box in ShownTexts()";
}

TEST_F(TextWidthTest, EveryLineFitsItsBox) {
    int measured = 0;
    for (const Shown& s : ShownTexts()) {
        const QString text = Embedded(s.file);
        if (text.isEmpty())
            continue; // a file still to be written
        const Box box = s.box();
        ASSERT_GT(box.width, 200) << s.file.toStdString();
        const QFontMetricsF metrics(box.font);
        const QStringList lines = text.split(u'\n');
        for (int i = 0; i < lines.size(); ++i) {
            // Trailing spaces are invisible and never cut a word.
            const QString line = lines[i].trimmed();
            EXPECT_LE(metrics.horizontalAdvance(line), box.width)
                << s.file.toStdString() << " line " << i + 1 << ": " << line.toStdString();
        }
        ++measured;
    }
    EXPECT_GE(measured, oracle::kRuneCount + 1);
}

// The same from the log itself: with every interpretation in it, it needs no
// horizontal scrolling.
TEST_F(TextWidthTest, TheLogNeverScrollsSidewaysForAnInterpretation) {
    QString all;
    for (int n = 1; n <= oracle::kRuneCount; ++n)
        all += Form1->TextStore()->LabelCaption(oracle::InterpretationLabel(n)) +
               QStringLiteral("\r\n");
    Form1->sMemo1->SetText(all);
    QApplication::processEvents();
    EXPECT_EQ(Form1->sMemo1->horizontalScrollBar()->maximum(), 0);
}
