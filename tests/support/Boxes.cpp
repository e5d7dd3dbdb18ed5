#include "support/Boxes.h"

#include <QAbstractButton>
#include <QApplication>
#include <QTimer>

namespace testing_support {

namespace {

// Polls for the box while the test still holds its record.
void Poll(std::weak_ptr<SeenBox> record, QString button, int triesLeft) {
    const auto seen = record.lock();
    if (!seen)
        return;
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (!box) {
        if (triesLeft > 0)
            QTimer::singleShot(10, [=] { Poll(record, button, triesLeft - 1); });
        return;
    }
    seen->Shown = true;
    seen->Title = box->windowTitle();
    seen->Text = box->text();
    seen->Icon = box->icon();
    for (QAbstractButton* b : box->buttons())
        seen->Buttons << b->text();
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != box && w->isVisible() && !w->inherits("QMenu"))
            ++seen->TopLevelWindowsVisible;
    for (QAbstractButton* b : box->buttons())
        if (!button.isEmpty() && b->text() == button) {
            b->click();
            return;
        }
    box->reject();
}

} // namespace

std::shared_ptr<SeenBox> AnswerNextBox(const QString& button) {
    auto seen = std::make_shared<SeenBox>();
    std::weak_ptr<SeenBox> record = seen;
    QTimer::singleShot(0, [record, button] { Poll(record, button, 300); });
    return seen;
}

} // namespace testing_support
