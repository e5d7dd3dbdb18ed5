#include "platform/Dialogs.h"
#include "platform/Application.h"
#include "platform/WidgetControl.h"
#include "support/Boxes.h"

#include "support/Printers.h"
#include <QAbstractButton>
#include <QMessageBox>
#include <QWidget>
#include <gtest/gtest.h>
#include <stdexcept>

using namespace platform;
using testing_support::AnswerNextBox;
using testing_support::SeenBox;

TEST(Dialogs, FullStopIsAddedAfterCharactersAboveIt) {
    struct Row {
        const char* in;
        const char* out;
    } rows[] = {
        {"", ""},
        {"Stream write error", "Stream write error."},
        {"Done.", "Done."},
        {"Why?", "Why?."},     // '?' is 63: above the full stop
        {"Stop!", "Stop!"},    // '!' is 33
        {"(1)", "(1)"},        // ')' is 41
        {"a/", "a/."},         // '/' is 47
        {"a-", "a-"},          // '-' is 45
        {"Ошибка", "Ошибка."}, // Cyrillic letters are above it too
    };
    for (const Row& row : rows)
        EXPECT_EQ(WithFullStop(QString::fromUtf8(row.in)), QString::fromUtf8(row.out)) << row.in;
}

TEST(Dialogs, ConfirmBoxHasTheStandardLook) {
    auto box = MakeBox(BoxKind::Confirm, QStringLiteral("Вопрос?"));
    EXPECT_EQ(box->windowTitle(), QStringLiteral("Confirm"));
    EXPECT_EQ(box->icon(), QMessageBox::Question);
    QStringList texts;
    for (QAbstractButton* b : box->buttons())
        texts << b->text();
    texts.sort();
    EXPECT_EQ(texts, (QStringList{"&No", "&Yes"}));
}

TEST(Dialogs, ConfirmIsYesOnlyWhenYesIsChosen) {
    auto seen = AnswerNextBox("&Yes");
    EXPECT_TRUE(Confirm("?"));
    seen = AnswerNextBox("&No");
    EXPECT_FALSE(Confirm("?"));
    seen = AnswerNextBox(QString()); // closed without choosing
    EXPECT_FALSE(Confirm("?"));
    EXPECT_TRUE(seen->Shown);
}

TEST(Dialogs, FailedCommandShowsAnErrorBoxAndTheProgramGoesOn) {
    SetApplicationTitle(QString());
    auto seen = AnswerNextBox("OK");
    int after = 0;
    EXPECT_FALSE(RunCommand([&] {
        throw std::runtime_error("Cannot create file \"/x/y.txt\". No such file or directory");
        ++after;
    }));
    EXPECT_TRUE(seen->Shown);
    EXPECT_EQ(seen->Text, "Cannot create file \"/x/y.txt\". No such file or directory.");
    EXPECT_EQ(seen->Title, QString());
    EXPECT_EQ(seen->Icon, QMessageBox::Critical);
    EXPECT_EQ(seen->Buttons, QStringList{"OK"});
    EXPECT_EQ(after, 0);
    EXPECT_TRUE(RunCommand([&] { ++after; }));
    EXPECT_EQ(after, 1);
}

namespace {

class Echo : public QWidget, public platform::WidgetControl {
public:
    explicit Echo(QWidget* parent = nullptr) : QWidget(parent) {}
    QWidget* Widget() override { return this; }
    void WndProc(Message& m) override {
        if (m.Msg == SM_ALPHACMD)
            m.Result = AlphaCommand(m.WParam) * 1000 + AlphaArgument(m.WParam) + m.LParam;
    }
};

} // namespace

TEST(Control, MessagesReachTheHandlerWithCommandAndArgument) {
    Echo parent;
    auto* child = new Echo(&parent);
    child->setObjectName("child");
    auto* plain = new QWidget(child); // not a Control: skipped in the tree
    auto* grandchild = new Echo(plain);
    EXPECT_EQ(SendMessage(child, SM_ALPHACMD, MakeAlphaWParam(19, 3), 4), 19007);
    EXPECT_EQ(SendMessage(nullptr, SM_ALPHACMD, MakeAlphaWParam(19)), 0);
    EXPECT_EQ(child->Perform(0x0001), 0);
    EXPECT_EQ(grandchild->Parent(), child);
    EXPECT_EQ(parent.Controls(), std::vector<Control*>{child});
    EXPECT_EQ(FindControl(&parent, "child"), child);
}
