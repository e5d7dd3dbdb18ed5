// A panel: a raised area that holds other controls.
#pragma once

#include "platform/WidgetControl.h"

#include <QFrame>

namespace skin {

class TsPanel : public QFrame, public platform::WidgetControl {
    Q_OBJECT
public:
    explicit TsPanel(QWidget* parent = nullptr);

    QWidget* Widget() override { return this; }

    QString SkinSection = QStringLiteral("PANEL");
};

} // namespace skin
