#include "skin/frame/TitleButtonAccess.h"

#include <QPointer>

namespace skin {

QString TitleButtonName(TitleButtonKind kind) {
    switch (kind) {
    case TitleButtonKind::Close:
        return QStringLiteral("Закрыть");
    case TitleButtonKind::Maximize:
        return QStringLiteral("Развернуть");
    case TitleButtonKind::Restore:
        return QStringLiteral("Восстановить");
    case TitleButtonKind::Minimize:
        return QStringLiteral("Свернуть");
    }
    return {};
}

TitleButtonStandIn::TitleButtonStandIn(QWidget* window, TitleButtonKind kind)
    : QAbstractButton(window), kind_(kind) {
    setObjectName(QStringLiteral("TitleButton"));
    setText(TitleButtonName(kind));
    setAccessibleName(TitleButtonName(kind));
    setFocusPolicy(Qt::NoFocus);
    // The frame below keeps the mouse and the pixels.
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
}

void TitleButtonAccess::Place(const std::vector<TitleButton>& buttons) {
    bool same = buttons.size() == standIns_.size();
    for (size_t i = 0; same && i < buttons.size(); ++i)
        same = standIns_[i] && standIns_[i]->Kind() == buttons[i].Kind;
    if (!same) {
        Clear();
        for (const TitleButton& b : buttons) {
            auto* standIn = new TitleButtonStandIn(&window_, b.Kind);
            const TitleButtonKind kind = b.Kind;
            // Queued: the action may unskin the window, which takes the
            // stand-in away while its click is still running.
            QObject::connect(
                standIn, &QAbstractButton::clicked, standIn,
                [press = press_, kind] { press(kind); }, Qt::QueuedConnection);
            standIn->setGeometry(b.Rect);
            standIn->show();
            standIns_.push_back(standIn);
        }
    }
    for (size_t i = 0; i < buttons.size(); ++i)
        standIns_[i]->setGeometry(buttons[i].Rect);
}

void TitleButtonAccess::Clear() {
    // A stand-in already gone with its window needs no deleting.
    for (const QPointer<TitleButtonStandIn>& standIn : standIns_)
        delete standIn.data();
    standIns_.clear();
}

} // namespace skin
