#include "platform/SaveDialog.h"

#include "platform/WindowWatch.h"

#include <QFileDialog>
#include <QStringList>

namespace platform {

QString TSaveDialog::QtFilter(const QString& filter) {
    // Pairs of "description|patterns"; Qt takes the description when it
    // already names the patterns, as ours do.
    const QStringList parts = filter.split(u'|');
    QStringList out;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString patterns = parts[i + 1];
        patterns.replace(u';', u' ');
        out << (parts[i].contains(u'(') ? parts[i] : parts[i] + " (" + patterns + ")");
    }
    return out.join(QStringLiteral(";;"));
}

bool TSaveDialog::Execute(QWidget* owner) {
    QFileDialog dialog(owner);
    dialog.setObjectName(QStringLiteral("SaveDialog"));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    // Qt's own dialog: the same on every desktop, and no overwrite question.
    dialog.setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    dialog.setNameFilter(QtFilter(Filter));
    dialog.setDefaultSuffix(DefaultExt);
    if (!FileName.isEmpty())
        dialog.selectFile(FileName);
    WindowCreating(dialog, WindowKind::SystemDialog);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return false;
    FileName = dialog.selectedFiles().first();
    return true;
}

} // namespace platform
