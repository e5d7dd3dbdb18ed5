#include "skin/controls/TsPanel.h"

namespace skin {

TsPanel::TsPanel(QWidget* parent) : QFrame(parent) {
    setFrameStyle(QFrame::NoFrame);
    setFocusPolicy(Qt::NoFocus);
}

} // namespace skin
