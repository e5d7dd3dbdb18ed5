#include "skin/data/SkinSections.h"

#include "platform/Colors.h"
#include "skin/data/SkinPackage.h"

#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <algorithm>

namespace skin {

namespace {

using G = TsGeneralData;

// Accessors for the table; captureless lambdas become function pointers.
#define INT_FIELD(expr) [](G& d) -> qint32* { return &d.expr; }
#define BOOL_FIELD(expr) [](G& d) -> bool* { return &d.expr; }
#define TEXT_FIELD(expr) [](G& d) -> QString* { return &d.expr; }
#define COLOR_FIELD(expr) nullptr, nullptr, nullptr, [](G& d) -> SkinColor* { return &d.expr; }

constexpr qint32 kWhite = 16777215;

const std::vector<SectionKey> kSectionKeys = {
    // key, kind, hot, default, text default, to RGB, low byte, field
    {"COLOR", KeyKind::Integer, false, kWhite, nullptr, true, false, COLOR_FIELD(Color)},
    {"FONTCOLOR", KeyKind::Integer, false, 0, nullptr, false, false, COLOR_FIELD(FontColors.Text)},
    {"TCLEFT", KeyKind::Integer, false, -1, nullptr, false, false, COLOR_FIELD(FontColors.Left)},
    {"TCTOP", KeyKind::Integer, false, -1, nullptr, false, false, COLOR_FIELD(FontColors.Top)},
    {"TCRIGHT", KeyKind::Integer, false, -1, nullptr, false, false, COLOR_FIELD(FontColors.Right)},
    {"TCBOTTOM", KeyKind::Integer, false, -1, nullptr, false, false,
     COLOR_FIELD(FontColors.Bottom)},
    {"GLOW", KeyKind::Integer, false, 0, nullptr, false, false, INT_FIELD(Glow), nullptr, nullptr},
    {"GLOWMARGIN", KeyKind::Integer, false, 0, nullptr, false, false, INT_FIELD(GlowMargin),
     nullptr, nullptr},
    {"RESERVEDBOOLEAN", KeyKind::Boolean, false, 0, nullptr, false, false, nullptr,
     BOOL_FIELD(ReservedBoolean), nullptr},
    {"GIVEOWNFONT", KeyKind::Boolean, false, 0, nullptr, false, false, nullptr,
     BOOL_FIELD(GiveOwnFont), nullptr},
    {"TRANSPARENCY", KeyKind::Integer, false, 0, nullptr, false, false, INT_FIELD(Transparency),
     nullptr, nullptr},
    {"GRADIENTPERCENT", KeyKind::Integer, false, 0, nullptr, false, false,
     INT_FIELD(GradientPercent), nullptr, nullptr},
    {"IMAGEPERCENT", KeyKind::Integer, false, 0, nullptr, false, false, INT_FIELD(ImagePercent),
     nullptr, nullptr},
    {"GRADIENTDATA", KeyKind::Text, false, 0, " ", false, false, nullptr, nullptr,
     TEXT_FIELD(GradientText)},
    {"SHOWFOCUS", KeyKind::Boolean, false, 0, nullptr, false, false, nullptr,
     BOOL_FIELD(SectionShowFocus), nullptr},
    {"FADINGENABLED", KeyKind::Boolean, false, 0, nullptr, false, false, nullptr,
     BOOL_FIELD(FadingEnabled), nullptr},
    {"FADINGITERATIONS", KeyKind::Integer, false, 5, nullptr, false, false,
     INT_FIELD(FadingIterations), nullptr, nullptr},
    {"GCOL", KeyKind::Integer, false, kWhite, nullptr, true, false, COLOR_FIELD(GlowColor)},
    {"GSIZE", KeyKind::Integer, false, 0, nullptr, false, true, nullptr, nullptr, nullptr},
    {"STATES", KeyKind::Integer, false, 4, nullptr, false, false, INT_FIELD(StateCount), nullptr,
     nullptr},
    {"HOTFONTCOLOR", KeyKind::Integer, true, 0, nullptr, false, false,
     COLOR_FIELD(HotFontColors.Text)},
    {"HOTTCLEFT", KeyKind::Integer, true, -1, nullptr, false, false,
     COLOR_FIELD(HotFontColors.Left)},
    {"HOTTCTOP", KeyKind::Integer, true, -1, nullptr, false, false, COLOR_FIELD(HotFontColors.Top)},
    {"HOTTCRIGHT", KeyKind::Integer, true, -1, nullptr, false, false,
     COLOR_FIELD(HotFontColors.Right)},
    {"HOTTCBOTTOM", KeyKind::Integer, true, -1, nullptr, false, false,
     COLOR_FIELD(HotFontColors.Bottom)},
    {"HGCOL", KeyKind::Integer, true, kWhite, nullptr, true, false, COLOR_FIELD(HotGlowColor)},
    {"HGSIZE", KeyKind::Integer, true, 0, nullptr, false, true, nullptr, nullptr, nullptr},
    {"HOTCOLOR", KeyKind::Integer, true, kWhite, nullptr, false, false, COLOR_FIELD(HotColor)},
    {"HOTTRANSPARENCY", KeyKind::Integer, true, 0, nullptr, false, false,
     INT_FIELD(HotTransparency), nullptr, nullptr},
    {"HOTGRADIENTPERCENT", KeyKind::Integer, true, 0, nullptr, false, false,
     INT_FIELD(HotGradientPercent), nullptr, nullptr},
    {"HOTGRADIENTDATA", KeyKind::Text, true, 0, "", false, false, nullptr, nullptr,
     TEXT_FIELD(HotGradientText)},
    {"HOTIMAGEPERCENT", KeyKind::Integer, true, 0, nullptr, false, false,
     INT_FIELD(HotImagePercent), nullptr, nullptr},
};

#undef INT_FIELD
#undef BOOL_FIELD
#undef TEXT_FIELD
#undef COLOR_FIELD

using S = TsSkinData;
const std::vector<GlobalKey> kGlobalKeys = {
    {"SHADOW1OFFSET", true, &S::Shadow1Offset},
    {"SHADOW1BLUR", true, &S::Shadow1Blur},
    {"SHADOW1TRANSPARENCY", true, &S::Shadow1Transparency},
    {"BORDERWIDTH", false, &S::BorderWidth},
    {"TITLEHEIGHT", false, &S::TitleHeight},
    {"MAXHEIGHT", false, &S::MaxHeight},
    {"FORMOFFSET", false, &S::FormOffset},
    {"ALIGNOFFSET", false, &S::AlignOffset},
    {"CENTEROFFSET", false, &S::CenterOffset},
    {"BORDERMODE", false, &S::BorderMode},
    {"BISPACE", false, &S::BISpace},
    {"BIVALIGN", false, &S::BIVAlign},
    {"BIRIGHT", false, &S::BIRight},
    {"BILEFT", false, &S::BILeft},
    {"BITOP", false, &S::BITop},
    {"BIKEEPHUE", false, &S::BIKeepHue},
    {"BICONCLOSEGLOW", true, &S::BIconCloseGlow},
    {"BICONCLOSEGLOWMARGIN", true, &S::BIconCloseGlowMargin},
    {"BICONMAXGLOW", true, &S::BIconMaxGlow},
    {"BICONMAXGLOWMARGIN", true, &S::BIconMaxGlowMargin},
    {"BICONMINGLOW", true, &S::BIconMinGlow},
    {"BICONMINGLOWMARGIN", true, &S::BIconMinGlowMargin},
};

qint32 ToRgb(qint32 value) {
    return value < 0 ? static_cast<qint32>(platform::ColorToRGB(value)) : value;
}

const QString kMarker = QStringLiteral("?");
const QString kParentClass = QStringLiteral("PARENTCLASS");

// The section each section names as its parent, by number; -1 for none
// (no PARENTCLASS, "?", itself, or a section that does not exist).
std::vector<int> ParentIndexes(const TIniFile& ini) {
    std::vector<int> parents(static_cast<size_t>(ini.SectionCount()), -1);
    for (int i = 0; i < ini.SectionCount(); ++i) {
        const auto parent = ini.ValueAt(i, kParentClass);
        if (parent && !parent->isEmpty() && *parent != kMarker)
            parents[i] = ini.SectionIndex(*parent);
        if (parents[i] == i)
            parents[i] = -1;
    }
    return parents;
}

// A key's own value in a section as the inherited reads see it: a text
// other than "?", an integer other than -1.
std::optional<QString> OwnText(const TIniFile& ini, int section, const QString& key) {
    auto v = ini.ValueAt(section, key);
    return v && *v != kMarker ? v : std::nullopt;
}

std::optional<qint32> OwnInt(const TIniFile& ini, int section, const QString& key) {
    const auto v = ini.ValueAt(section, key);
    const qint32 n = v ? ParseInteger(*v).value_or(-1) : -1;
    return n != -1 ? std::optional<qint32>(n) : std::nullopt;
}

std::vector<std::optional<QString>>
InheritedTexts(const TIniFile& ini, const std::vector<int>& parents, const QString& key) {
    return ResolveAlongParents<QString>(
        parents, [&](int i) { return OwnText(ini, i, key); }, [](const QString& v) { return v; });
}

std::vector<std::optional<qint32>>
InheritedInts(const TIniFile& ini, const std::vector<int>& parents, const QString& key) {
    return ResolveAlongParents<qint32>(
        parents, [&](int i) { return OwnInt(ini, i, key); }, [](qint32 v) { return ToRgb(v); });
}

// One section's inherited value, following its parents with a visited set.
template <typename T, typename Own>
std::optional<T> InheritedOne(const TIniFile& ini, const QString& section, Own&& own,
                              T (*inherit)(T)) {
    const std::vector<int> parents = ParentIndexes(ini);
    QSet<int> visited;
    for (int at = ini.SectionIndex(section); at >= 0 && !visited.contains(at); at = parents[at]) {
        visited.insert(at);
        if (auto v = own(at))
            return at == ini.SectionIndex(section) ? *v : inherit(*v);
    }
    return std::nullopt;
}

QString SameText(QString v) {
    return v;
}
qint32 IntToRgb(qint32 v) {
    return ToRgb(v);
}

bool IsTrue(const QString& text) {
    const QString up = text.toUpper();
    return up == QStringLiteral("1") || up == QStringLiteral("TRUE");
}

// Stores a value read for a key into the record.
void Store(TsGeneralData& d, const SectionKey& k, qint32 number, const QString& text) {
    switch (k.Kind) {
    case KeyKind::Integer: {
        const qint32 v = k.ToRgb ? ToRgb(number) : number;
        if (k.LowByte)
            (k.Hot ? d.HotGlowSize : d.GlowSize) = static_cast<uint8_t>(v & 0xFF);
        else if (k.ColorField)
            *k.ColorField(d) = SkinColor{v};
        else
            *k.IntField(d) = v;
        break;
    }
    case KeyKind::Boolean:
        *k.BoolField(d) = IsTrue(text);
        break;
    case KeyKind::Text:
        *k.TextField(d) = text;
        break;
    }
}

// The default of a text or boolean key as text.
QString DefaultText(const SectionKey& k) {
    return k.Kind == KeyKind::Text ? QString::fromLatin1(k.TextDefault)
                                   : QString::fromLatin1(k.Default ? "1" : "0");
}

// The keys' names as texts, made once.
const std::vector<QString>& KeyNames() {
    static const std::vector<QString> names = [] {
        std::vector<QString> out;
        for (const SectionKey& k : kSectionKeys)
            out.push_back(QString::fromLatin1(k.Key));
        return out;
    }();
    return names;
}

// Gradient texts parsed once each: sections that inherit a text share its
// parsed steps rather than parsing and holding them again.
class Gradients {
public:
    // A text shorter than two characters means no gradient.
    void Settle(const QString& text, qint32& percent, TsGradArray& steps) {
        if (text.size() < 2) {
            steps.clear();
            percent = 0;
            return;
        }
        auto it = parsed_.constFind(text);
        if (it == parsed_.cend())
            it = parsed_.insert(text, ParseGradient(text));
        steps = *it;
    }

private:
    QHash<QString, TsGradArray> parsed_;
};

void BuildLooks(TsGeneralData& d, bool withHotLook, Gradients& gradients) {
    gradients.Settle(d.GradientText, d.GradientPercent, d.Gradient);
    TsGenState& normal = d.StateData[0];
    normal = TsGenState{d.Color,        d.FontColors, d.GradientPercent, d.GradientText, d.Gradient,
                        d.ImagePercent, d.GlowColor,  d.GlowSize,        d.Transparency};
    if (!withHotLook) {
        d.StateData[1] = normal;
        return;
    }
    gradients.Settle(d.HotGradientText, d.HotGradientPercent, d.HotGradient);
    d.StateData[1] = TsGenState{d.HotColor,        d.HotFontColors, d.HotGradientPercent,
                                d.HotGradientText, d.HotGradient,   d.HotImagePercent,
                                d.HotGlowColor,    d.HotGlowSize,   d.HotTransparency};
}

} // namespace

const std::vector<SectionKey>& SectionKeys() {
    return kSectionKeys;
}
const std::vector<GlobalKey>& GlobalKeys() {
    return kGlobalKeys;
}

QString ReadInheritedString(const TIniFile& ini, const QString& section, const QString& key,
                            const QString& def) {
    return InheritedOne<QString>(
               ini, section, [&](int i) { return OwnText(ini, i, key); }, &SameText)
        .value_or(def);
}

qint32 ReadInheritedInt(const TIniFile& ini, const QString& section, const QString& key,
                        qint32 def) {
    return InheritedOne<qint32>(
               ini, section, [&](int i) { return OwnInt(ini, i, key); }, &IntToRgb)
        .value_or(def);
}

TsGradArray ParseGradient(const QString& text) {
    const QStringList items = text.split(u';', Qt::SkipEmptyParts);
    TsGradArray steps(items.size() / 5);
    for (qsizetype k = 0; k < steps.size(); ++k) {
        GradientStep& s = steps[k];
        const qsizetype at = static_cast<qsizetype>(5 * k);
        s.StartColor = SkinColor{std::max<qint32>(StrictInteger(items[at]), 0)};
        s.EndColor = SkinColor{std::max<qint32>(StrictInteger(items[at + 1]), 0)};
        s.Percent = static_cast<uint8_t>(std::clamp<qint32>(StrictInteger(items[at + 2]), 0, 100));
        s.Mode = StrictInteger(items[at + 3]);
    }
    return steps;
}

void LoadGlobalData(const TIniFile& ini, TsSkinData& data) {
    bool ok = false;
    const double version = QLocale::c().toDouble(ini.ReadString(kGlobalInfo, "VERSION", "0"), &ok);
    data.Version = ok ? version : 0;
    data.Author = ini.ReadString(kGlobalInfo, "AUTHOR", QString());
    data.Description = ini.ReadString(kGlobalInfo, "DESCRIPTION", QString());
    data.Shadow1Color = SkinColor{ini.ReadInteger(kGlobalInfo, "SHADOW1COLOR", 0)};
    data.BorderColor = SkinColor{ini.ReadInteger(kGlobalInfo, "BORDERCOLOR", 0)};
    for (const GlobalKey& k : kGlobalKeys) {
        const int16_t def = data.*k.Field;
        const qint32 v = k.Strict ? ini.ReadStrictInteger(kGlobalInfo, k.Key, def)
                                  : ini.ReadInteger(kGlobalInfo, k.Key, def);
        data.*k.Field = static_cast<int16_t>(v & 0xFFFF);
    }
    if (data.MaxHeight == 0)
        data.MaxHeight = data.TitleHeight;
}

TsGeneralDataArray LoadSections(const TIniFile& ini) {
    if (ini.SectionCount() > kMaxSections)
        throw ESkinError(QStringLiteral("The skin has too many sections: %1 (at most %2)")
                             .arg(ini.SectionCount())
                             .arg(kMaxSections)
                             .toStdString());
    // Every key is found for all sections in one walk of the parent links.
    const std::vector<int> parents = ParentIndexes(ini);
    std::vector<std::vector<std::optional<qint32>>> ints(kSectionKeys.size());
    std::vector<std::vector<std::optional<QString>>> texts(kSectionKeys.size());
    for (size_t k = 0; k < kSectionKeys.size(); ++k) {
        if (kSectionKeys[k].Kind == KeyKind::Integer)
            ints[k] = InheritedInts(ini, parents, KeyNames()[k]);
        else
            texts[k] = InheritedTexts(ini, parents, KeyNames()[k]);
    }
    auto readKey = [&](size_t k, int section, TsGeneralData& d) {
        const SectionKey& key = kSectionKeys[k];
        if (key.Kind == KeyKind::Integer)
            Store(d, key, ints[k][section].value_or(key.Default), QString());
        else
            Store(d, key, 0, texts[k][section].value_or(DefaultText(key)));
    };
    TsGeneralDataArray table;
    table.reserve(static_cast<size_t>(ini.SectionCount()));
    Gradients gradients;
    for (const QString& name : ini.Sections()) {
        const int section = ini.SectionIndex(name); // a repeated name reads the first
        TsGeneralData d;
        d.SectionName = name;
        d.ParentClass = ini.ReadString(name, kParentClass, QString());
        for (size_t k = 0; k < kSectionKeys.size(); ++k)
            if (!kSectionKeys[k].Hot)
                readKey(k, section, d);
        if (d.StateCount >= 2)
            for (size_t k = 0; k < kSectionKeys.size(); ++k)
                if (kSectionKeys[k].Hot)
                    readKey(k, section, d);
        BuildLooks(d, d.StateCount >= 2, gradients);
        table.push_back(std::move(d));
    }
    return table;
}

void MergeCommonSections(TsGeneralDataArray& table, const TIniFile& skinOptions,
                         const QString& commonSections) {
    QStringList lines = commonSections.split(u'\n');
    for (QString& line : lines)
        if (!line.trimmed().startsWith(u';'))
            line.remove(QRegularExpression(QStringLiteral("\\s")));
    const TIniFile common = TIniFile::FromText(lines.join(u'\n'));
    Gradients gradients;
    for (const QString& name : common.Sections()) {
        auto existing = std::find_if(table.begin(), table.end(),
                                     [&](const TsGeneralData& d) { return d.SectionName == name; });
        TsGeneralData d;
        if (existing != table.end()) {
            d = *existing;
        } else {
            const QString parent = common.ReadString(name, kParentClass, QString()).toUpper();
            const auto base = std::find_if(table.begin(), table.end(), [&](const TsGeneralData& r) {
                return r.SectionName.toUpper() == parent;
            });
            if (base != table.end()) {
                d = *base;
            } else {
                // No base: every key starts at its default.
                for (const SectionKey& k : kSectionKeys)
                    Store(d, k, k.Default, DefaultText(k));
            }
            d.SectionName = name;
            d.ParentClass = parent;
        }
        for (const SectionKey& k : kSectionKeys) {
            const auto value = common.Value(name, k.Key);
            if (!value)
                continue;
            if (k.Kind == KeyKind::Integer) {
                const auto number = ParseInteger(*value);
                if (number && *number != -1)
                    Store(d, k, *number, QString());
            } else if (*value != kMarker) {
                Store(d, k, 0, *value);
            }
        }
        BuildLooks(d, ReadInheritedInt(skinOptions, name, "STATES", 4) >= 2, gradients);
        if (existing != table.end())
            *existing = std::move(d);
        else
            table.push_back(std::move(d));
    }
}

} // namespace skin
