// The application's style: the desktop's own, except that icons Qt reads
// from files when a widget is built are read only once they are drawn.
// Qt's menu bar asks for its overflow button's icon as it is built, and
// reading that file makes Qt load every image plugin it has to guess the
// file's format: a cost at every start for an icon our fixed-size menu bars
// never show.
#pragma once

#include <QProxyStyle>

namespace platform {

class ProgramStyle : public QProxyStyle {
public:
    QIcon standardIcon(StandardPixmap icon, const QStyleOption* option = nullptr,
                       const QWidget* widget = nullptr) const override;
};

} // namespace platform
