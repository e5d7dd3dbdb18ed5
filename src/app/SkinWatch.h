// Live preview for skin authors: watches the skin package or folder the
// program was started with and, once a change has settled, loads it again
// and applies it as a new skin. The reading (the log, the opened runes) is
// untouched. A skin that fails to load leaves the one in force; the reason
// goes to standard error, never to a message box.
#pragma once

#include "skin/data/TsSkinManager.h"

#include <QFileSystemWatcher>
#include <QObject>
#include <QTimer>
#include <functional>

namespace app {

class SkinWatch : public QObject {
    Q_OBJECT
public:
    // How long the files must stay unchanged before the skin is loaded: an
    // editor's save and a packing tool write in several steps.
    static constexpr int kSettleMs = 250;

    SkinWatch(skin::TsSkinManager& manager, const QString& path);

    // Where a failed load is told; standard error unless set.
    std::function<void(const QString&)> OnError;

private:
    void Watch();
    void Changed();
    void Apply();

    skin::TsSkinManager& manager_;
    QString path_;
    QFileSystemWatcher watcher_;
    QTimer settle_;
};

} // namespace app
