// Form4: the author window. The ornament, the author's name and a year
// under soft shadows, the e-mail address in a box it can be copied from,
// and the web address as a link that any mouse button opens.
#pragma once

#include "controls/Labels.h"
#include "platform/Form.h"
#include "platform/ImageControl.h"

#include "skin/controls/TsEdit.h"

namespace windows {

inline const QString kAuthorResource = QStringLiteral(":/texts/author.txt");
inline const QString kOrnamentResource = QStringLiteral(":/art/ornament.bmp");

struct AuthorInfo {
    QString Name;
    QString Email;
    QString Web; // the host name
};

// The author as the content describes him; throws when the description is
// missing or incomplete.
AuthorInfo LoadAuthorInfo();

class TForm4 : public platform::TForm {
    Q_OBJECT
public:
    explicit TForm4(QWidget* mainForm = nullptr);

    platform::TImage* Image1 = nullptr;
    controls::TsLabelFX* sLabelFX1 = nullptr;
    controls::TsLabelFX* sLabelFX2 = nullptr;
    skin::TsEdit* sEdit1 = nullptr;
    controls::TsWebLabel* sWebLabel1 = nullptr;

    // Opens the author's web address, whichever button was pressed.
    void sWebLabel1MouseDown(controls::TsCustomLabel* sender, Qt::MouseButton button,
                             Qt::KeyboardModifiers shift, QPoint at);
    // The address the link opens.
    QString WebAddress() const { return QStringLiteral("http://") + author_.Web; }

protected:
    void FormShow() override;

private:
    AuthorInfo author_;
    bool shownBefore_ = false;
};

} // namespace windows
