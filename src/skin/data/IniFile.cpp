#include "skin/data/IniFile.h"

#include "platform/Encoding.h"
#include "skin/data/SkinPackage.h"

#include <QStringDecoder>

namespace skin {

TIniFile TIniFile::FromBytes(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return FromText(QString::fromUtf8(bytes.mid(3)));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder decode(QStringDecoder::Utf16, QStringDecoder::Flag::Default);
        return FromText(decode(bytes));
    }
    return FromText(platform::FromAnsi(bytes));
}

TIniFile TIniFile::FromText(const QString& text) {
    TIniFile ini;
    QString normal = text;
    normal.replace(QStringLiteral("\r\n"), QStringLiteral("\n")).replace(u'\r', u'\n');
    for (const QString& raw : normal.split(u'\n')) {
        const QString line = raw.trimmed();
        if (line.isEmpty() || line.startsWith(u';'))
            continue;
        if (line.startsWith(u'[') && line.endsWith(u']')) {
            ini.sections_.push_back(Section{line.mid(1, line.size() - 2), {}});
            if (!ini.index_.contains(ini.sections_.back().Name))
                ini.index_.insert(ini.sections_.back().Name, int(ini.sections_.size()) - 1);
            continue;
        }
        const qsizetype eq = line.indexOf(u'=');
        if (eq < 0 || ini.sections_.empty())
            continue;
        Section& section = ini.sections_.back();
        const QString key = line.left(eq).trimmed();
        const std::pair<int, QString> at(int(ini.sections_.size()) - 1, key);
        if (!ini.first_.contains(at)) // reads see a key's first value
            ini.first_.insert(at, static_cast<int>(section.Values.size()));
        section.Values.emplace_back(key, line.mid(eq + 1).trimmed());
    }
    return ini;
}

QStringList TIniFile::Sections() const {
    QStringList names;
    for (const Section& s : sections_)
        names << s.Name;
    return names;
}

const TIniFile::Section* TIniFile::Find(const QString& section) const {
    const auto it = index_.constFind(section);
    return it == index_.cend() ? nullptr : &sections_[*it];
}

int TIniFile::FirstPlace(int section, const QString& key) const {
    return first_.value(std::pair<int, QString>(section, key), -1);
}

const QString& TIniFile::FirstValue(int section, size_t k) const {
    const Section& s = sections_[section];
    return s.Values[FirstPlace(section, s.Values[k].first)].second;
}

QStringList TIniFile::Keys(const QString& section) const {
    QStringList keys;
    if (const Section* s = Find(section))
        for (const auto& [k, v] : s->Values)
            keys << k;
    return keys;
}

bool TIniFile::SectionExists(const QString& section) const {
    return Find(section) != nullptr;
}

std::optional<QString> TIniFile::Value(const QString& section, const QString& key) const {
    return ValueAt(SectionIndex(section), key);
}

std::optional<QString> TIniFile::ValueAt(int section, const QString& key) const {
    if (section < 0 || section >= SectionCount())
        return std::nullopt;
    const int at = FirstPlace(section, key);
    if (at < 0)
        return std::nullopt;
    return sections_[section].Values[at].second;
}

QString TIniFile::ReadString(const QString& section, const QString& key, const QString& def) const {
    return Value(section, key).value_or(def);
}

qint32 TIniFile::ReadInteger(const QString& section, const QString& key, qint32 def) const {
    const auto v = Value(section, key);
    return v ? ParseInteger(*v).value_or(def) : def;
}

qint32 TIniFile::ReadStrictInteger(const QString& section, const QString& key, qint32 def) const {
    const auto v = Value(section, key);
    return v ? StrictInteger(*v) : def;
}

bool TIniFile::ReadBool(const QString& section, const QString& key, bool def) const {
    const auto v = Value(section, key);
    if (!v)
        return def;
    const QString up = v->toUpper();
    return up == QStringLiteral("1") || up == QStringLiteral("TRUE");
}

std::optional<qint32> ParseInteger(const QString& text) {
    QString t = text.trimmed();
    bool negative = false;
    if (t.startsWith(u'-') || t.startsWith(u'+')) {
        negative = t.startsWith(u'-');
        t.remove(0, 1);
    }
    int base = 10;
    if (t.startsWith(u'$')) {
        base = 16;
        t.remove(0, 1);
    } else if (t.startsWith(QStringLiteral("0x"), Qt::CaseInsensitive)) {
        base = 16;
        t.remove(0, 2);
    }
    if (t.isEmpty() || t.size() > 10)
        return std::nullopt;
    qint64 value = 0;
    for (QChar c : t) {
        const int digit = c.isDigit() ? c.digitValue()
                          : (base == 16 && c.toLower() >= u'a' && c.toLower() <= u'f')
                              ? c.toLower().unicode() - u'a' + 10
                              : -1;
        if (digit < 0 || digit >= base || c.unicode() > 127)
            return std::nullopt;
        value = value * base + digit;
    }
    // Hexadecimal spells a 32-bit pattern ($FF00000F is a system colour).
    if (base == 16 && value <= 0xFFFFFFFFLL)
        value = static_cast<qint32>(static_cast<uint32_t>(value));
    if (negative)
        value = -value;
    if (value < INT32_MIN || value > INT32_MAX)
        return std::nullopt;
    return static_cast<qint32>(value);
}

qint32 StrictInteger(const QString& text) {
    if (const auto v = ParseInteger(text))
        return *v;
    throw ESkinError(QStringLiteral("''%1'' is not a valid integer value").arg(text).toStdString());
}

} // namespace skin
