// The skin-wide data of a skin and its table of sections: the values of the
// options text ("Options.dat") that every painting of a control reads.
#pragma once

#include "skin/data/IniFile.h"
#include "skin/data/SkinColors.h"

#include <QList>
#include <QString>
#include <array>
#include <cstdint>
#include <optional>
#include <vector>

namespace skin {

struct TsSkinData {
    QString SkinFolder;
    bool SkinReady = false;
    double Version = 0;
    QString Author, Description;
    SkinColor Shadow1Color{0};
    int16_t Shadow1Offset = 0, Shadow1Blur = -1, Shadow1Transparency = 0;
    int16_t BorderWidth = 4, TitleHeight = 30, MaxHeight = 0, FormOffset = 8, AlignOffset = 0,
            CenterOffset = 0, BorderMode = 0;
    SkinColor BorderColor{0};
    int16_t BISpace = 0, BIVAlign = 0, BIRight = 0, BILeft = 0, BITop = 0, BIKeepHue = 0;
    int16_t BIconCloseGlow = 0, BIconCloseGlowMargin = 0, BIconMaxGlow = 0, BIconMaxGlowMargin = 0,
            BIconMinGlow = 0, BIconMinGlowMargin = 0;
};

struct GradientStep {
    SkinColor StartColor{0}, EndColor{0};
    uint8_t Percent = 0; // the step's share of the gradient's length
    qint32 Mode = 0;     // the step's orientation
    qint32 Reserved = 0;
    bool operator==(const GradientStep&) const = default;
};
// Implicitly shared: every section that inherits one gradient text holds
// the one parsed list, however many sections there are.
using TsGradArray = QList<GradientStep>;

// Text colours; kNoSkinColor is "no such colour" (a contour not drawn).
struct TsFontColors {
    SkinColor Text{0}, Left = kNoSkinColor, Top = kNoSkinColor, Right = kNoSkinColor,
                       Bottom = kNoSkinColor;
    bool operator==(const TsFontColors&) const = default;
};

struct TsGenState {
    SkinColor Color{0};
    TsFontColors FontColors;
    qint32 GradientPercent = 0;
    QString GradientText;
    TsGradArray Gradient;
    qint32 ImagePercent = 0;
    SkinColor GlowColor{0};
    uint8_t GlowSize = 0;
    qint32 Transparency = 0;
    bool operator==(const TsGenState&) const = default;
};

// StateData[0] is the normal look, [1] the hot one.
using TsProps = std::array<TsGenState, 2>;

struct TsGeneralData {
    QString ParentClass, SectionName;
    TsProps StateData;
    SkinColor Color{0};
    TsFontColors FontColors,
        HotFontColors{SkinColor{0}, SkinColor{0}, SkinColor{0}, SkinColor{0}, SkinColor{0}};
    bool GiveOwnFont = false;
    qint32 Glow = 0, GlowMargin = 0;
    bool ReservedBoolean = false;
    qint32 Transparency = 0, GradientPercent = 0;
    QString GradientText;
    TsGradArray Gradient;
    qint32 ImagePercent = 0;
    bool SectionShowFocus = false, FadingEnabled = false;
    qint32 FadingIterations = 0;
    SkinColor HotColor{0};
    qint32 HotTransparency = 0, HotGradientPercent = 0;
    QString HotGradientText;
    TsGradArray HotGradient;
    qint32 HotImagePercent = 0;
    SkinColor HotGlowColor{0}, GlowColor{0};
    uint8_t HotGlowSize = 0, GlowSize = 0;
    qint32 BordersMask = -1;
    qint32 CornerTopLeft = -1, CornerTopRight = -1, CornerBottomLeft = -1, CornerBottomRight = -1;
    qint32 StateCount = 0;
};
using TsGeneralDataArray = std::vector<TsGeneralData>;

// The per-section keys, declared once: the reader and the tests use this table.
enum class KeyKind { Integer, Boolean, Text };
struct SectionKey {
    const char* Key;
    KeyKind Kind;
    bool Hot;       // read only when the section has two or more states
    qint32 Default; // for integers and booleans (0 or 1)
    const char* TextDefault;
    bool ToRgb;   // a negative system-colour code becomes its colour
    bool LowByte; // only the low 8 bits are kept
    // Where the value goes in the record: an integer key holds a number
    // (IntField) or a colour (ColorField).
    qint32* (*IntField)(TsGeneralData&);
    bool* (*BoolField)(TsGeneralData&);
    QString* (*TextField)(TsGeneralData&);
    SkinColor* (*ColorField)(TsGeneralData&) = nullptr;
};
const std::vector<SectionKey>& SectionKeys();

// The same for the skin-wide keys of "GLOBALINFO".
struct GlobalKey {
    const char* Key;
    bool Strict;
    int16_t TsSkinData::*Field; // null for the keys that are not 16-bit
};
const std::vector<GlobalKey>& GlobalKeys();

inline const QString kGlobalInfo = QStringLiteral("GLOBALINFO");

// Finds a value for every one of `count` sections at once along their
// parent links: a section's own value (`own(i)`), else its parent's, and so
// on; a chain that comes back to a section already on it ends without a
// value. Each section is visited once, whatever the links are, so loading
// stays linear in sections × keys. `inherit` turns a value taken from a
// parent (for the integer keys, the conversion to RGB).
template <typename T, typename Own, typename Inherit>
std::vector<std::optional<T>> ResolveAlongParents(const std::vector<int>& parents, Own&& own,
                                                  Inherit&& inherit) {
    const size_t count = parents.size();
    enum : uint8_t { Unseen, OnPath, Done };
    std::vector<uint8_t> state(count, Unseen);
    std::vector<std::optional<T>> result(count);
    std::vector<int> path;
    for (size_t start = 0; start < count; ++start) {
        path.clear();
        std::optional<T> found;
        bool foundOwn = false;
        for (int at = static_cast<int>(start); at >= 0;) {
            if (state[at] == Done) {
                found = result[at];
                break;
            }
            if (state[at] == OnPath)
                break; // a loop without a value
            state[at] = OnPath;
            path.push_back(at);
            if ((found = own(at))) {
                foundOwn = true;
                break;
            }
            at = parents[at];
        }
        if (found && foundOwn) {
            result[path.back()] = found;
            state[path.back()] = Done;
            path.pop_back();
        }
        if (found)
            found = inherit(*found);
        for (int at : path) {
            result[at] = found;
            state[at] = Done;
        }
    }
    return result;
}

void LoadGlobalData(const TIniFile& ini, TsSkinData& data);
QString ReadInheritedString(const TIniFile& ini, const QString& section, const QString& key,
                            const QString& def);
qint32 ReadInheritedInt(const TIniFile& ini, const QString& section, const QString& key,
                        qint32 def);
// Steps of five ';'-separated integers; throws for an item that is not one.
TsGradArray ParseGradient(const QString& text);
// A skin may have at most this many sections (the Wood skin has 61): every
// section costs its record whether or not anything uses it.
constexpr int kMaxSections = 16384;

// Throws ESkinError for an options text of more than kMaxSections sections.
TsGeneralDataArray LoadSections(const TIniFile& ini);
void MergeCommonSections(TsGeneralDataArray& table, const TIniFile& skinOptions,
                         const QString& commonSections);

} // namespace skin
