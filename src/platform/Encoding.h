// Text in the 8-bit code page that saved readings use (Windows-1251).
#pragma once

#include <QByteArray>
#include <QString>

namespace platform {

inline constexpr const char* kAnsiCodePage = "WINDOWS-1251";

// Converts text to the code page; a character it cannot represent becomes
// '?'. Throws when the converter is not available.
QByteArray ToAnsi(const QString& text);

// Reads text in the code page; every byte stands for one character.
QString FromAnsi(const QByteArray& bytes);

} // namespace platform
