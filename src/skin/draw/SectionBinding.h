// Which section of which skin a control is painted from, and what was found
// for that section when the control bound to it: its index, its border
// mask and its textures. Binding again follows a new skin or a new name;
// TsCommonData decides when.
#pragma once

#include "skin/data/TsSkinManager.h"
#include "skin/draw/PaintRequest.h"

#include <QString>

namespace skin {

class SectionBinding {
public:
    // The explicit manager; the process's default manager when none.
    TsSkinManager* SkinManager() const {
        return manager_ ? manager_ : TsSkinManager::DefaultManager();
    }
    // The section's name, upper-cased; empty until one is given.
    const QString& SkinSection() const { return skinSection_; }

    int SectionIndex = -1, BorderMaskIndex = -1;
    // The section's textures, found when the control binds to it.
    SectionTextures Textures;

protected:
    // The bound section's record; null when unbound.
    const TsGeneralData* Section() const {
        const TsSkinManager* m = SkinManager();
        return m && m->IsValidSection(SectionIndex) ? &m->SectionTable()[SectionIndex] : nullptr;
    }
    // Finds the named section in the manager's active skin, with its border
    // mask and textures; answers whether there is one.
    bool Bind() {
        const TsSkinManager* m = SkinManager();
        SectionIndex = m && m->Active() ? m->FindSection(skinSection_) : -1;
        if (SectionIndex < 0) {
            Unbind();
            return false;
        }
        BorderMaskIndex = m->SectionTable()[SectionIndex].BordersMask;
        Textures = BindSectionTextures(*m, SectionIndex, skinSection_);
        return true;
    }
    void Unbind() {
        SectionIndex = BorderMaskIndex = -1;
        Textures = {};
    }
    // A new name ("UNKNOWN" for none); false when it is the same.
    bool Rename(const QString& section) {
        if (section == skinSection_)
            return false;
        skinSection_ = section.isEmpty() ? QStringLiteral("UNKNOWN") : section.toUpper();
        return true;
    }
    // A new manager (the default one is kept as none); false when it is the
    // same.
    bool UseManager(TsSkinManager* manager) {
        if (manager == TsSkinManager::DefaultManager())
            manager = nullptr;
        if (manager == manager_)
            return false;
        manager_ = manager;
        return true;
    }

private:
    TsSkinManager* manager_ = nullptr; // explicit; null for the default
    QString skinSection_;
};

} // namespace skin
