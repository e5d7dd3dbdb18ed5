#include "platform/ProgramStyle.h"

#include <QIconEngine>
#include <QPainter>
#include <QPointer>

namespace platform {

namespace {

// The base style's icon, asked for when it is first needed.
class LateIcon : public QIconEngine {
public:
    LateIcon(const QStyle* style, QStyle::StandardPixmap which) : style_(style), which_(which) {}

    void paint(QPainter* painter, const QRect& rect, QIcon::Mode mode,
               QIcon::State state) override {
        Icon().paint(painter, rect, Qt::AlignCenter, mode, state);
    }
    QPixmap pixmap(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().pixmap(size, mode, state);
    }
    QSize actualSize(const QSize& size, QIcon::Mode mode, QIcon::State state) override {
        return Icon().actualSize(size, mode, state);
    }
    QList<QSize> availableSizes(QIcon::Mode mode, QIcon::State state) override {
        return Icon().availableSizes(mode, state);
    }
    QIconEngine* clone() const override { return new LateIcon(style_, which_); }
    bool isNull() override { return false; }

private:
    QIcon& Icon() {
        if (icon_.isNull() && style_)
            icon_ = style_->standardIcon(which_);
        return icon_;
    }

    QPointer<const QStyle> style_;
    QStyle::StandardPixmap which_;
    QIcon icon_;
};

} // namespace

QIcon ProgramStyle::standardIcon(StandardPixmap icon, const QStyleOption* option,
                                 const QWidget* widget) const {
    if (icon == SP_ToolBarHorizontalExtensionButton || icon == SP_ToolBarVerticalExtensionButton)
        return QIcon(new LateIcon(baseStyle(), icon));
    return QProxyStyle::standardIcon(icon, option, widget);
}

} // namespace platform
