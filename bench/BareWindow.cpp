// The floor for start-up: a bare Qt program that shows one window of the
// main window's size holding one text box (so that it, too, loads fonts) and
// ends after its first painted frame.
#include "platform/FirstPaint.h"

#include <QApplication>
#include <QPlainTextEdit>
#include <QVBoxLayout>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(792, 564); // the main window: client area and menu bar
    auto* layout = new QVBoxLayout(&window);
    layout->addWidget(new QPlainTextEdit(QStringLiteral("Задумайте вопрос"), &window));
    platform::QuitAfterFirstPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return app.exec();
}
