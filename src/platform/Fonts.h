// Fonts as the windows describe them (face name, height in pixels, styles,
// colour, character set), and the faces embedded in the program that stand in
// for the face names the windows were designed with.
#pragma once

#include "platform/Colors.h"

#include <QFont>
#include <QString>
#include <cstdint>

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

// Registers the embedded faces with Qt. Safe to call more than once; returns
// false when a face is missing from the program's resources (the desktop's
// own faces of the same family are used then).
bool LoadEmbeddedFonts();

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
