#include "skin/data/SkinLookup.h"

namespace skin {

namespace {

QString Pair(const QString& section, const QString& key) {
    return section + u'\n' + key;
}

// The first entry of each pair, in table order.
template <typename Entries, typename Wanted>
QHash<QString, int> FirstOfEach(const Entries& entries, Wanted&& wanted) {
    QHash<QString, int> first;
    for (size_t i = 0; i < entries.size(); ++i)
        if (wanted(entries[i])) {
            const QString pair = Pair(entries[i].SectionName, entries[i].KeyName);
            if (!first.contains(pair))
                first.insert(pair, static_cast<int>(i));
        }
    return first;
}

} // namespace

SkinLookup::SkinLookup(const TsGeneralDataArray& sections, const TsSkinImages& images) {
    const size_t count = sections.size();
    names_.reserve(count);
    parentNames_.reserve(count);
    for (size_t i = 0; i < count; ++i) {
        names_.push_back(sections[i].SectionName);
        parentNames_.push_back(sections[i].ParentClass);
        if (!sectionIndex_.contains(sections[i].SectionName))
            sectionIndex_.insert(sections[i].SectionName, static_cast<int>(i));
    }
    parents_.assign(count, -1);
    for (size_t i = 0; i < count; ++i) {
        const QString& parent = parentNames_[i];
        if (!parent.isEmpty() && parent != names_[i])
            parents_[i] = sectionIndex_.value(parent, -1);
    }
    masks_.First = FirstOfEach(images.Masks, [](const TsMaskData&) { return true; });
    textures_.First =
        FirstOfEach(images.Masks, [](const TsMaskData& m) { return m.ImageKind == 1; });
    patterns_.First = FirstOfEach(images.Patterns, [](const TsPatternData&) { return true; });
}

int SkinLookup::Section(const QString& name) const {
    return sectionIndex_.value(name, -1);
}

int SkinLookup::Mask(int sectionIndex, const QString& sectionName, const QString& key) const {
    return Find(masks_, sectionIndex, sectionName, key);
}

int SkinLookup::Texture(int sectionIndex, const QString& sectionName, const QString& key) const {
    return Find(textures_, sectionIndex, sectionName, key);
}

int SkinLookup::Pattern(int sectionIndex, const QString& sectionName, const QString& key) const {
    return Find(patterns_, sectionIndex, sectionName, key);
}

int SkinLookup::MaskExact(const QString& sectionName, const QString& key) const {
    return sectionName.isEmpty() ? -1 : masks_.First.value(Pair(sectionName, key), -1);
}

int SkinLookup::Find(Table& table, int sectionIndex, const QString& sectionName,
                     const QString& key) const {
    if (sectionIndex < 0 || sectionName.isEmpty())
        return -1;
    const int own = table.First.value(Pair(sectionName, key), -1);
    if (own >= 0 || sectionIndex >= int(names_.size()))
        return own;
    // The caller's name may differ from the section's; its parent is the
    // section's own.
    const QString& parent = parentNames_[sectionIndex];
    if (parent.isEmpty() || parent == sectionName)
        return -1;
    const int parentIndex = Section(parent);
    return parentIndex < 0 ? -1 : Inherited(table, parentIndex, key);
}

int SkinLookup::Inherited(Table& table, int start, const QString& key) const {
    // The first question on a key answers it for every section at once,
    // along the parent links as the section table's own reader does.
    auto known = table.Along.find(key);
    if (known == table.Along.end()) {
        const auto answers = ResolveAlongParents<int>(
            parents_,
            [&](int i) {
                const int mask = table.First.value(Pair(names_[i], key), -1);
                return mask >= 0 ? std::optional<int>(mask) : std::nullopt;
            },
            [](int mask) { return mask; });
        std::vector<int> flat(answers.size());
        for (size_t i = 0; i < answers.size(); ++i)
            flat[i] = answers[i].value_or(-1);
        known = table.Along.insert(key, std::move(flat));
    }
    return (*known)[start];
}

} // namespace skin
