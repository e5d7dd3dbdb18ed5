#include "app/TextStoreWindow.h"

namespace app {

TForm2::TForm2(oracle::TextStore store) : QWidget(nullptr, Qt::Window), store_(std::move(store)) {
    setObjectName(QStringLiteral("Form2"));
}

} // namespace app
