// The fixed catalogue of the oracle: 24 runes with their interpretation texts
// and face pictures, the face-down pictures and the guides of the spreads.
// Texts are keyed by the label names that hold them ("sLabel1" .. "sLabel27").
#pragma once

#include <QString>
#include <cstdint>
#include <map>

namespace oracle {

using RuneNumber = int32_t;
constexpr int kRuneCount = 24;

// The image list: 32 opaque pictures of 53 x 77.
constexpr int kPictureWidth = 53, kPictureHeight = 77, kPictureCount = 32;
constexpr int kRuneBackPicture = 0;   // same picture as the back resource
constexpr int kPlainFacePicture = 25; // light wood without a glyph
constexpr int FacePicture(RuneNumber n) {
    return n;
}
constexpr int NumberTilePicture(int k) {
    return 25 + k;
}

// Resource paths of the generated pictures.
inline const QString kRuneBackResource = QStringLiteral(":/art/back.bmp");
inline const QString kImageListResource = QStringLiteral(":/art/runes.bmp");
inline const QString kIconResource = QStringLiteral(":/art/mainicon.png");

// The name of rune n (1..24) as its text heads it; empty outside 1..24.
QString RuneName(RuneNumber n);
// "sLabel7" for rune 7; an empty name for a number outside 1..24.
QString InterpretationLabel(RuneNumber n);
// "sLabel25", "sLabel26", "sLabel27" for spreads 4, 5, 6; empty otherwise.
QString GuideLabel(int spreadKind);

// A read-only store of texts keyed by label name.
class TextStore {
public:
    TextStore() = default;
    explicit TextStore(std::map<QString, QString> texts) : texts_(std::move(texts)) {}

    // The 27 texts carried by the program. Throws when one is missing.
    static TextStore LoadEmbedded();

    // A stored text with LF line ends as the log wants it: lines joined by
    // CR LF, no line break after the last line.
    static QString ToLogForm(const QString& fileText);

    // The text of a label; empty for a name the store does not hold.
    QString Caption(const QString& label) const;
    bool Has(const QString& label) const { return texts_.count(label) != 0; }
    int Count() const { return static_cast<int>(texts_.size()); }

private:
    std::map<QString, QString> texts_;
};

} // namespace oracle
