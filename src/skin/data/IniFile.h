// The options dialect of skins: "[NAME]" opens a section; "KEY=VALUE" lines
// belong to the last one. Lines are trimmed; empty lines and lines that
// begin with ';' are skipped; blanks around the first '=' go. Names and keys
// are compared exactly. Of two sections with one name, reads go to the first.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QStringList>
#include <optional>
#include <vector>

namespace skin {

class TIniFile {
public:
    TIniFile() = default;
    // Text with a UTF-8 or UTF-16 byte-order mark is read as such; any other
    // text is in the 8-bit code page (Windows-1251).
    static TIniFile FromBytes(const QByteArray& bytes);
    static TIniFile FromText(const QString& text);

    // Section names in text order, repeats included.
    QStringList Sections() const;
    bool SectionExists(const QString& section) const;
    // The keys of the first section of that name, in text order.
    QStringList Keys(const QString& section) const;
    std::optional<QString> Value(const QString& section, const QString& key) const;

    // Sections by number, for readers that walk them all: the first section
    // of a name has the number reads use; -1 when there is none.
    int SectionCount() const { return static_cast<int>(sections_.size()); }
    int SectionIndex(const QString& section) const { return index_.value(section, -1); }
    std::optional<QString> ValueAt(int section, const QString& key) const;

    QString ReadString(const QString& section, const QString& key, const QString& def) const;
    // Lenient: an absent value or one that is not an integer gives `def`.
    qint32 ReadInteger(const QString& section, const QString& key, qint32 def) const;
    // Strict: an absent value gives `def`; one that is not an integer throws
    // ESkinError "''VALUE'' is not a valid integer value".
    qint32 ReadStrictInteger(const QString& section, const QString& key, qint32 def) const;
    // True for "1" or "TRUE" in any letter case.
    bool ReadBool(const QString& section, const QString& key, bool def) const;

    // Every key of the first section of each name, sections and keys in text
    // order, with its value as reads see it (a key written twice comes twice,
    // both times with its first value).
    template <typename F> void ForEachValue(F&& f) const {
        for (size_t i = 0; i < sections_.size(); ++i) {
            const Section& s = sections_[i];
            if (index_.value(s.Name) != int(i))
                continue;
            for (size_t k = 0; k < s.Values.size(); ++k)
                f(s.Name, s.Values[k].first, FirstValue(static_cast<int>(i), k));
        }
    }

private:
    struct Section {
        QString Name;
        std::vector<std::pair<QString, QString>> Values;
    };
    const Section* Find(const QString& section) const;
    // Where a key of a section is first written in its Values; -1 for none.
    int FirstPlace(int section, const QString& key) const;
    const QString& FirstValue(int section, size_t k) const;
    std::vector<Section> sections_;
    QHash<QString, int> index_; // the first section of each name
    // Each key's first place in its section's Values, by section number and
    // key: one table for the whole text, so that a text of many small
    // sections costs little more than its characters.
    QHash<std::pair<int, QString>, int> first_;
};

// Decimal, or hexadecimal after "$" or "0x", with an optional sign; 32 bits.
std::optional<qint32> ParseInteger(const QString& text);
// Converts strictly: throws ESkinError "''TEXT'' is not a valid integer value".
qint32 StrictInteger(const QString& text);

} // namespace skin
