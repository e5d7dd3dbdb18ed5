// The save-file dialog: one or more filters ("Text File (*.txt)|*.txt"), a
// default extension added to a name typed without one, no overwrite
// question, and the name accepted last time shown again.
#pragma once

#include <QString>

class QWidget;

namespace platform {

class TSaveDialog {
public:
    QString Filter;
    QString DefaultExt;
    QString FileName; // the chosen file after Execute; shown when it opens

    // Modal; true when the user accepted a name.
    bool Execute(QWidget* owner);

    // The dialog's filter in Qt's form: "Text File (*.txt)".
    static QString QtFilter(const QString& filter);
};

} // namespace platform
