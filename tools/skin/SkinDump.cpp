#include "SkinDump.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QStringList>
#include <cmath>
#include <initializer_list>
#include <utility>

namespace {

// JSON texts built in field order (Qt's own JSON objects sort their keys).
using Field = std::pair<const char*, QString>;

QString Object(std::initializer_list<Field> fields) {
    QStringList parts;
    for (const Field& f : fields)
        parts << QString::fromLatin1("\"%1\":%2").arg(QLatin1String(f.first), f.second);
    return u'{' + parts.join(u',') + u'}';
}

QString Array(const QStringList& items) {
    return u'[' + items.join(u',') + u']';
}

QString Num(qint64 v) {
    return QString::number(v);
}
// A stored colour as the number the options text gives.
QString Num(skin::SkinColor c) {
    return Num(skin::Value(c));
}

// JSON has no numbers for "nan" or "inf" (which a skin's VERSION may say):
// those are written as null.
QString Real(double v) {
    return std::isfinite(v) ? QString::number(v, 'g', 17) : QStringLiteral("null");
}

QString Bool(bool v) {
    return v ? QStringLiteral("true") : QStringLiteral("false");
}

QString Text(const QString& v) {
    // A one-element array lets Qt escape the text; the brackets are cut off.
    const QByteArray a = QJsonDocument(QJsonArray{v}).toJson(QJsonDocument::Compact);
    return QString::fromUtf8(a.mid(1, a.size() - 2));
}

QString Fonts(const skin::TsFontColors& f) {
    return Object({{"Text", Num(f.Text)},
                   {"Left", Num(f.Left)},
                   {"Top", Num(f.Top)},
                   {"Right", Num(f.Right)},
                   {"Bottom", Num(f.Bottom)}});
}

QString Steps(const skin::TsGradArray& steps) {
    QStringList items;
    for (const skin::GradientStep& s : steps)
        items << Object({{"StartColor", Num(s.StartColor)},
                         {"EndColor", Num(s.EndColor)},
                         {"Percent", Num(s.Percent)},
                         {"Mode", Num(s.Mode)},
                         {"Reserved", Num(s.Reserved)}});
    return Array(items);
}

QString Look(const skin::TsGenState& s) {
    return Object({{"Color", Num(s.Color)},
                   {"FontColors", Fonts(s.FontColors)},
                   {"GradientPercent", Num(s.GradientPercent)},
                   {"GradientText", Text(s.GradientText)},
                   {"Gradient", Steps(s.Gradient)},
                   {"ImagePercent", Num(s.ImagePercent)},
                   {"GlowColor", Num(s.GlowColor)},
                   {"GlowSize", Num(s.GlowSize)},
                   {"Transparency", Num(s.Transparency)}});
}

QString SkinData(const skin::TsSkinData& d) {
    return Object({{"SkinFolder", Text(d.SkinFolder)},
                   {"SkinReady", Bool(d.SkinReady)},
                   {"Version", Real(d.Version)},
                   {"Author", Text(d.Author)},
                   {"Description", Text(d.Description)},
                   {"Shadow1Color", Num(d.Shadow1Color)},
                   {"Shadow1Offset", Num(d.Shadow1Offset)},
                   {"Shadow1Blur", Num(d.Shadow1Blur)},
                   {"Shadow1Transparency", Num(d.Shadow1Transparency)},
                   {"BorderWidth", Num(d.BorderWidth)},
                   {"TitleHeight", Num(d.TitleHeight)},
                   {"MaxHeight", Num(d.MaxHeight)},
                   {"FormOffset", Num(d.FormOffset)},
                   {"AlignOffset", Num(d.AlignOffset)},
                   {"CenterOffset", Num(d.CenterOffset)},
                   {"BorderMode", Num(d.BorderMode)},
                   {"BorderColor", Num(d.BorderColor)},
                   {"BISpace", Num(d.BISpace)},
                   {"BIVAlign", Num(d.BIVAlign)},
                   {"BIRight", Num(d.BIRight)},
                   {"BILeft", Num(d.BILeft)},
                   {"BITop", Num(d.BITop)},
                   {"BIKeepHue", Num(d.BIKeepHue)},
                   {"BIconCloseGlow", Num(d.BIconCloseGlow)},
                   {"BIconCloseGlowMargin", Num(d.BIconCloseGlowMargin)},
                   {"BIconMaxGlow", Num(d.BIconMaxGlow)},
                   {"BIconMaxGlowMargin", Num(d.BIconMaxGlowMargin)},
                   {"BIconMinGlow", Num(d.BIconMinGlow)},
                   {"BIconMinGlowMargin", Num(d.BIconMinGlowMargin)}});
}

QString Section(const skin::TsGeneralData& d) {
    return Object({{"ParentClass", Text(d.ParentClass)},
                   {"SectionName", Text(d.SectionName)},
                   {"StateData", Array({Look(d.StateData[0]), Look(d.StateData[1])})},
                   {"Color", Num(d.Color)},
                   {"FontColors", Fonts(d.FontColors)},
                   {"HotFontColors", Fonts(d.HotFontColors)},
                   {"GiveOwnFont", Bool(d.GiveOwnFont)},
                   {"Glow", Num(d.Glow)},
                   {"GlowMargin", Num(d.GlowMargin)},
                   {"ReservedBoolean", Bool(d.ReservedBoolean)},
                   {"Transparency", Num(d.Transparency)},
                   {"GradientPercent", Num(d.GradientPercent)},
                   {"GradientText", Text(d.GradientText)},
                   {"Gradient", Steps(d.Gradient)},
                   {"ImagePercent", Num(d.ImagePercent)},
                   {"SectionShowFocus", Bool(d.SectionShowFocus)},
                   {"FadingEnabled", Bool(d.FadingEnabled)},
                   {"FadingIterations", Num(d.FadingIterations)},
                   {"HotColor", Num(d.HotColor)},
                   {"HotTransparency", Num(d.HotTransparency)},
                   {"HotGradientPercent", Num(d.HotGradientPercent)},
                   {"HotGradientText", Text(d.HotGradientText)},
                   {"HotGradient", Steps(d.HotGradient)},
                   {"HotImagePercent", Num(d.HotImagePercent)},
                   {"HotGlowColor", Num(d.HotGlowColor)},
                   {"GlowColor", Num(d.GlowColor)},
                   {"HotGlowSize", Num(d.HotGlowSize)},
                   {"GlowSize", Num(d.GlowSize)},
                   {"BordersMask", Num(d.BordersMask)},
                   {"CornerTopLeft", Num(d.CornerTopLeft)},
                   {"CornerTopRight", Num(d.CornerTopRight)},
                   {"CornerBottomLeft", Num(d.CornerBottomLeft)},
                   {"CornerBottomRight", Num(d.CornerBottomRight)},
                   {"StateCount", Num(d.StateCount)}});
}

QString Mask(const skin::TsMaskData& m) {
    const QString own =
        m.OwnImage
            ? Object({{"Width", Num(m.OwnImage->Width())}, {"Height", Num(m.OwnImage->Height())}})
            : QStringLiteral("null");
    return Object({{"OwnImage", own},
                   {"SectionName", Text(m.SectionName)},
                   {"KeyName", Text(m.KeyName)},
                   {"Area", Array({Num(m.Area.Left), Num(m.Area.Top), Num(m.Area.Right),
                                   Num(m.Area.Bottom)})},
                   {"FrameCount", Num(m.FrameCount)},
                   {"MaskKind", Num(m.MaskKind)},
                   {"UniformWidth", Num(m.UniformWidth)},
                   {"FillMode", Num(m.FillMode)},
                   {"ImageKind", Num(m.ImageKind)},
                   {"LeftWidth", Num(m.LeftWidth)},
                   {"TopWidth", Num(m.TopWidth)},
                   {"RightWidth", Num(m.RightWidth)},
                   {"BottomWidth", Num(m.BottomWidth)},
                   {"FrameWidth", Num(m.FrameWidth())},
                   {"FrameHeight", Num(m.FrameHeight())}});
}

QString Pattern(const skin::TsPatternData& p) {
    return Object({{"SectionName", Text(p.SectionName)},
                   {"KeyName", Text(p.KeyName)},
                   {"Width", Num(p.Width)},
                   {"Height", Num(p.Height)}});
}

template <typename T> QString ArrayOf(const std::vector<T>& items, QString (*one)(const T&)) {
    QStringList parts;
    for (const T& item : items)
        parts << one(item);
    return Array(parts);
}

} // namespace

QByteArray DumpSkinJson(const skin::TsSkinModel& model) {
    return Object({{"SkinData", SkinData(model.Data)},
                   {"Sections", ArrayOf(model.Sections, &Section)},
                   {"Masks", ArrayOf(model.Images.Masks, &Mask)},
                   {"Patterns", ArrayOf(model.Images.Patterns, &Pattern)}})
               .toUtf8() +
           '\n';
}
