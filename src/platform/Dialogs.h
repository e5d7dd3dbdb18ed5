// The program's standard boxes: a plain message, the yes/no confirmation and
// the error box of the top-level handler. Each is modal to the active window.
#pragma once

#include <QString>
#include <memory>

class QMessageBox;

namespace platform {

// The application title, shown as the title of plain and error boxes. Until
// the program sets it, it is the executable's name.
QString ApplicationTitle();
void SetApplicationTitle(const QString& title);

enum class BoxKind { Message, Confirm, Error };

// Builds (without showing) the box of the given kind:
//   Message  no icon, "OK", titled with the application title
//   Confirm  question icon, "&Yes" and "&No", titled "Confirm"; closing = No
//   Error    error icon, "OK", titled with the application title
std::unique_ptr<QMessageBox> MakeBox(BoxKind kind, const QString& text);

void ShowMessage(const QString& text);
// True only when the user chose Yes.
bool Confirm(const QString& text);
void ShowErrorBox(const QString& text);

// An error message as the error box shows it: a full stop is appended when
// the last character's code is above the full stop's (46).
QString WithFullStop(const QString& message);

} // namespace platform
