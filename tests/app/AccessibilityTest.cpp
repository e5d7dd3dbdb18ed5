// What a screen reader is told about the program's windows and controls,
// through Qt's accessibility interfaces (no accessibility bus needed).
#include "app/Startup.h"
#include "app/WindowSet.h"
#include "oracle/RuneCatalogue.h"
#include "skin/frame/TsSkinProvider.h"
#include "windows/AuthorWindow.h"

#include "support/Printers.h"
#include "support/ProgramWindows.h"
#include <QAccessible>
#include <QApplication>
#include <QMenuBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace app;

namespace {

QAccessibleInterface* Face(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
}
QString Name(QObject* object) {
    return Face(object)->text(QAccessible::Name);
}

void Press(QObject* object) {
    QAccessibleActionInterface* actions = Face(object)->actionInterface();
    ASSERT_NE(actions, nullptr);
    ASSERT_TRUE(actions->actionNames().contains(QAccessibleActionInterface::pressAction()));
    actions->doAction(QAccessibleActionInterface::pressAction());
    QApplication::processEvents();
}

// A button's press through the reader clicks it after a short show of the
// press; waits for what the click does.
bool WaitFor(const std::function<bool()>& done) {
    for (int i = 0; i < 100 && !done(); ++i)
        QTest::qWait(10);
    return done();
}

// The descendants of an interface with the given role and name.
std::vector<QAccessibleInterface*> Find(QAccessibleInterface* root, QAccessible::Role role,
                                        const QString& name) {
    std::vector<QAccessibleInterface*> out;
    for (int i = 0; i < root->childCount(); ++i) {
        QAccessibleInterface* child = root->child(i);
        if (!child)
            continue;
        if (child->role() == role && child->text(QAccessible::Name) == name)
            out.push_back(child);
        const auto below = Find(child, role, name);
        out.insert(out.end(), below.begin(), below.end());
    }
    return out;
}

class AccessibilityTest : public testing_support::ProgramWindowsTest {
protected:
    platform::TImage* Slot(int n) { return Form1->Image(n); }
    int RuneAt(int slot) { return reading.Deck[SlotDeckIndex(slot)]; }
};

} // namespace

TEST_F(AccessibilityTest, SlotsAreButtonsNamedByPlaceUntilTheyShowTheirRune) {
    for (int n = 1; n <= kSlotCount; ++n) {
        SCOPED_TRACE(n);
        EXPECT_EQ(Face(Slot(n))->role(), QAccessible::Button);
        EXPECT_EQ(Name(Slot(n)),
                  QStringLiteral("Руна %1, закрыта").arg(n <= kGridSlots ? n : n - 24));
    }
    // Pressed through the reader, a slot opens as under the mouse.
    Press(Slot(3));
    const QString opened = oracle::RuneName(RuneAt(3));
    EXPECT_EQ(Name(Slot(3)), opened + ", открыта");
    EXPECT_TRUE(Form1->sMemo1->Text().contains(opened, Qt::CaseInsensitive));
    EXPECT_FALSE(Slot(3)->isEnabled());
    EXPECT_FALSE(Face(Slot(3))->actionInterface()->actionNames().contains(
        QAccessibleActionInterface::pressAction()));
    Form1->sButton1Click();
    EXPECT_EQ(Name(Slot(3)), "Руна 3, закрыта");

    // The row of six, numbered in its own row; the cross numbers its tiles'
    // slots by their places in the grid.
    for (auto [spread, slot, name] :
         {std::tuple{6, 26, "Руна 2, закрыта"}, {5, 13, "Руна 13, закрыта"}}) {
        SCOPED_TRACE(spread);
        if (spread == 6)
            Form1->N6Click();
        else
            Form1->N5Click();
        EXPECT_EQ(Name(Slot(slot)), QString::fromUtf8(name));
        Press(Slot(slot));
        EXPECT_EQ(Name(Slot(slot)), oracle::RuneName(RuneAt(slot)) + ", открыта");
        Form1->sButton1Click();
        EXPECT_EQ(Name(Slot(slot)), QString::fromUtf8(name));
    }
}

TEST_F(AccessibilityTest, TheMainWindowNamesItsControlsAndMenuItems) {
    QAccessibleInterface* window = Face(Form1);
    EXPECT_EQ(window->role(), QAccessible::Window);
    EXPECT_EQ(window->text(QAccessible::Name), Form1->windowTitle());
    EXPECT_EQ(Find(window, QAccessible::EditableText, "Журнал гадания").size(), 1u);
    EXPECT_EQ(Find(window, QAccessible::Button, "Обновить руны").size(), 1u);
    for (const char* item : {"Файл", "Сохранить...", "Выход...", "Расклад...", "Одна руна...",
                             "Четыре руны...", "Крест...", "Шесть рун...", "О программе...",
                             "Справка...", "Послание от предков...", "Автор..."})
        EXPECT_EQ(Find(window, QAccessible::MenuItem, QString::fromUtf8(item)).size(), 1u) << item;
    // The row of six lies in a group, not a window of its own.
    EXPECT_EQ(Face(Form1->sPanel1)->role(), QAccessible::Grouping);
    // The headings read as text by their captions.
    EXPECT_EQ(Face(Form1->sLabelFX2)->role(), QAccessible::StaticText);
    EXPECT_EQ(Name(Form1->sLabelFX2), "Найди свой ответ.");
}

TEST_F(AccessibilityTest, TitleButtonsAreNamedWhereTheyArePaintedAndLeaveTheMouseToTheFrame) {
    skin::TsSkinProvider* frame = skin::TsSkinProvider::Of(Form1);
    ASSERT_NE(frame, nullptr);
    ASSERT_TRUE(frame->Skinned());
    QAccessibleInterface* window = Face(Form1);
    std::map<QString, QAccessibleInterface*> found;
    for (const skin::TitleButton& b : frame->Geometry().Buttons) {
        const QString name = skin::TitleButtonName(b.Kind);
        const auto named = Find(window, QAccessible::Button, name);
        ASSERT_EQ(named.size(), 1u) << name.toStdString();
        QWidget* standIn = qobject_cast<QWidget*>(named[0]->object());
        ASSERT_NE(standIn, nullptr);
        EXPECT_EQ(standIn->geometry(), b.Rect) << name.toStdString();
        // A click on the picture still lands on the window itself.
        EXPECT_EQ(Form1->childAt(b.Rect.center()), nullptr) << name.toStdString();
        found[name] = named[0];
    }
    ASSERT_EQ(found.size(), 2u);
    ASSERT_TRUE(found.count("Закрыть") && found.count("Свернуть"));

    // Without the skin the window manager draws the buttons: no stand-ins,
    // until the skin comes back.
    Form1->sSkinManager1->SetActive(false);
    QApplication::processEvents();
    EXPECT_TRUE(Find(window, QAccessible::Button, "Закрыть").empty());
    Form1->sSkinManager1->SetActive(true);
    QApplication::processEvents();
    for (const QString name : {"Закрыть", "Свернуть"}) {
        const auto named = Find(window, QAccessible::Button, name);
        ASSERT_EQ(named.size(), 1u) << name.toStdString();
        found[name] = named[0];
    }

    Press(found["Свернуть"]->object());
    EXPECT_TRUE(WaitFor([] { return Form1->isMinimized(); }));
    Form1->showNormal();
    QApplication::processEvents();
    // Found afresh: the buttons follow the window's state.
    const auto close = Find(window, QAccessible::Button, "Закрыть");
    ASSERT_EQ(close.size(), 1u);
    Press(close[0]->object());
    EXPECT_TRUE(WaitFor([] { return !Form1->isVisible(); }));
}

TEST_F(AccessibilityTest, TheAuthorsAddressIsALinkThatOpensIt) {
    std::vector<QString> opened;
    const controls::WebAddressOpener saved = controls::OpenWebAddress();
    controls::OpenWebAddress() = [&](const QString& a, int) { opened.push_back(a); };
    Form1->Author()->show();
    QApplication::processEvents();
    EXPECT_EQ(Name(Form1->Author()), "Автор");
    QAccessibleInterface* link = Face(Form1->Author()->sWebLabel1);
    const QString host = windows::LoadAuthorInfo().Web;
    EXPECT_EQ(link->role(), QAccessible::Link);
    EXPECT_EQ(link->text(QAccessible::Name), host);
    EXPECT_EQ(link->text(QAccessible::Description), "http://" + host);
    Press(Form1->Author()->sWebLabel1);
    controls::OpenWebAddress() = saved;
    EXPECT_EQ(opened, std::vector<QString>{"http://" + host});
    EXPECT_EQ(Name(Form1->Author()->sEdit1), "Электронная почта");
}
