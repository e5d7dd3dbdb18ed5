// The look-ups that painting makes of a loaded skin, again and again: a
// section by name, and the first mask, texture or pattern of a section and
// key, found in the section itself or else along its PARENTCLASS links.
//
// Names are found by hash. The first question on a key answers it for every
// section in one walk of the parent links (ResolveAlongParents), so however
// long the chains are, a key costs one step per section once, and a
// repeated question none. A chain that comes back on itself ends without an
// answer.
//
// The answers are remembered as they are asked for: one object is used by
// one thread at a time.
#pragma once

#include "skin/data/SkinMasks.h"
#include "skin/data/SkinSections.h"

#include <QHash>
#include <QString>
#include <vector>

namespace skin {

class SkinLookup {
public:
    SkinLookup() = default;
    SkinLookup(const TsGeneralDataArray& sections, const TsSkinImages& images);

    // The first section of that name; -1 when there is none.
    int Section(const QString& name) const;
    // `sectionName`'s own entry for `key`, else (when `sectionIndex` is a
    // section) the entry its parent chain gives. -1 when the index is
    // negative, the name empty, or nothing is found.
    int Mask(int sectionIndex, const QString& sectionName, const QString& key) const;
    int Texture(int sectionIndex, const QString& sectionName, const QString& key) const;
    int Pattern(int sectionIndex, const QString& sectionName, const QString& key) const;
    // Only the section's own mask; -1 for an empty name.
    int MaskExact(const QString& sectionName, const QString& key) const;

private:
    // The first entry of each "SECTION\nKEY", and by key the answer along
    // the parent links for every section, once that key was asked.
    struct Table {
        QHash<QString, int> First;
        QHash<QString, std::vector<int>> Along;
    };
    int Find(Table& table, int sectionIndex, const QString& sectionName, const QString& key) const;
    int Inherited(Table& table, int start, const QString& key) const;

    QHash<QString, int> sectionIndex_;
    std::vector<QString> names_;
    std::vector<QString> parentNames_;
    std::vector<int> parents_; // by number; -1 for none
    mutable Table masks_, textures_, patterns_;
};

} // namespace skin
