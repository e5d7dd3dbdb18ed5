// The floor for start-up: a bare Qt program that shows one empty window of
// the main window's size and ends after its first painted frame.
#include <QApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

namespace {

class QuitAfterPaint : public QObject {
public:
    bool eventFilter(QObject* o, QEvent* e) override {
        if (e->type() == QEvent::Paint)
            QTimer::singleShot(0, qApp, &QApplication::quit);
        return QObject::eventFilter(o, e);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QWidget window;
    window.setFixedSize(792, 565); // client area plus the menu bar
    QuitAfterPaint filter;
    window.installEventFilter(&filter);
    window.show();
    return app.exec();
}
