// Fonts as the windows describe them (face name, height in pixels, styles,
// colour, character set), and the faces that stand in for the face names the
// windows were designed with: the system's, or the program's embedded copies.
#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QString>
#include <cstdint>
#include <functional>
#include <span>
#include <vector>

namespace platform {

enum FontStyle : uint8_t { fsBold = 1, fsItalic = 2, fsUnderline = 4, fsStrikeOut = 8 };
using FontStyles = uint8_t;

enum class FontCharset : uint8_t { Default, Russian };

struct TFont {
    QString Name = QStringLiteral("MS Sans Serif");
    int Height = 11; // character height in pixels, internal leading excluded
    FontStyles Style = 0;
    TColor Color = clWindowText;
    FontCharset Charset = FontCharset::Default;

    bool operator==(const TFont&) const = default;

    // The Qt font for drawing: the stand-in face at this pixel size and style.
    QFont ToQFont() const;
};

// One face the windows draw with, and the copy of it the program carries.
struct StandInFace {
    const char* Family;
    bool Bold;
    const char* Resource;
};

// The faces the program draws with, as the system's font packages hold them
// (fonts-paratype, fonts-liberation2, fonts-sil-andika).
std::span<const StandInFace> StandInFaces();

// The faces among StandInFaces() for which `installed(family, bold)` is false:
// the ones the embedded copies must stand in for.
std::vector<StandInFace>
FacesToEmbed(const std::function<bool(const QString& family, bool bold)>& installed);

// True when fontconfig offers the face (through Qt's font database).
bool FaceInstalled(const QString& family, bool bold);

// Reads fontconfig's configuration and font caches: the first and slowest
// step of finding any font (milliseconds), so that it can be taken on a
// thread of its own while the program starts. Safe from any thread and more
// than once.
void ReadFontConfiguration();

// Makes every stand-in face available: the installed faces are used as they
// are, and only a face missing from the system is registered from the
// program's embedded copy. Safe to call more than once; returns false when a
// missing face could not be registered either (Qt's nearest face is used then).
bool LoadFonts();

// The family that stands in for a face name the windows use:
//   "MS Sans Serif"   -> PT Sans           (a sans drawn for Cyrillic and as
//                                            narrow as the old dialog face, so
//                                            the log's hand-broken lines fit)
//   "Times New Roman" -> Liberation Serif  (Times New Roman's metrics)
//   "Comic Sans MS"   -> Andika            (simple, informal letters)
//   "Tahoma"          -> PT Sans           (the same humanist cut and width)
// Any other name is passed through.
QString StandInFamily(const QString& faceName);

// The program's default font for Qt's own widgets (menus, message boxes).
QFont DefaultUiFont();

} // namespace platform
