// Answers the next modal box the code under test opens, and records it.
#pragma once

#include <QMessageBox>
#include <QString>
#include <QStringList>
#include <memory>

namespace testing_support {

struct SeenBox {
    bool Shown = false;
    QString Title, Text;
    QMessageBox::Icon Icon = QMessageBox::NoIcon;
    QStringList Buttons;
    int TopLevelWindowsVisible = 0; // other visible windows while it was open
};

// Arms a watcher: the next message box that opens within three seconds, while
// the returned record is held, is
// recorded and answered by the button with this text, or closed when the
// text is empty.
std::shared_ptr<SeenBox> AnswerNextBox(const QString& button);

} // namespace testing_support
