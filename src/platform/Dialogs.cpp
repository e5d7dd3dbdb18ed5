#include "platform/Dialogs.h"

#include "platform/WindowWatch.h"

#include <QApplication>
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPushButton>
#include <optional>

namespace platform {

namespace {

std::optional<QString>& TitleSlot() {
    static std::optional<QString> title;
    return title;
}

QMessageBox::Icon IconOf(BoxKind kind) {
    switch (kind) {
    case BoxKind::Confirm:
        return QMessageBox::Question;
    case BoxKind::Error:
        return QMessageBox::Critical;
    case BoxKind::Message:
        break;
    }
    return QMessageBox::NoIcon;
}

} // namespace

QString ApplicationTitle() {
    if (TitleSlot())
        return *TitleSlot();
    return QFileInfo(QCoreApplication::applicationFilePath()).baseName();
}

void SetApplicationTitle(const QString& title) {
    TitleSlot() = title;
}

std::unique_ptr<QMessageBox> MakeBox(BoxKind kind, const QString& text) {
    auto box = std::make_unique<QMessageBox>(QApplication::activeWindow());
    box->setIcon(IconOf(kind));
    box->setText(text);
    box->setTextFormat(Qt::PlainText);
    box->setWindowModality(Qt::ApplicationModal);
    if (kind == BoxKind::Confirm) {
        box->setWindowTitle(QStringLiteral("Confirm"));
        QPushButton* yes = box->addButton(QStringLiteral("&Yes"), QMessageBox::YesRole);
        QPushButton* no = box->addButton(QStringLiteral("&No"), QMessageBox::NoRole);
        box->setDefaultButton(yes);
        box->setEscapeButton(no);
    } else {
        box->setWindowTitle(ApplicationTitle());
        QPushButton* ok = box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
        box->setDefaultButton(ok);
        box->setEscapeButton(ok);
    }
    WindowCreating(*box, WindowKind::MessageBox);
    return box;
}

void ShowMessage(const QString& text) {
    MakeBox(BoxKind::Message, text)->exec();
}

bool Confirm(const QString& text) {
    auto box = MakeBox(BoxKind::Confirm, text);
    box->exec();
    // Closing the box without choosing counts as No.
    return box->clickedButton() && box->buttonRole(box->clickedButton()) == QMessageBox::YesRole;
}

void ShowErrorBox(const QString& text) {
    MakeBox(BoxKind::Error, text)->exec();
}

QString WithFullStop(const QString& message) {
    if (!message.isEmpty() && message.back().unicode() > u'.')
        return message + u'.';
    return message;
}

} // namespace platform
