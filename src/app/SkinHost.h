// What the skin manager needs of this program: its forms and its message
// boxes.
#pragma once

#include "skin/data/TsSkinManager.h"

namespace app {

class SkinHost : public skin::TsSkinHost {
public:
    std::vector<platform::Control*> ApplicationForms() override;
    void ShowError(const QString& message) override;
    void ShowMessage(const QString& message) override;
    // Every window that appears while the skin is in force gets its frame
    // from the skin.
    void InstallCreationHook() override;
    void RemoveCreationHook() override;
};

// Makes the program's host the skin manager's, unless one is set already
// (a test's, say).
void InstallSkinHost();

// The stored settings of the main window's skin manager: the internal Wood
// skin, the menu options, the skin folder and the skin's name. Loads the
// skin as the name is set. A `skinPath` (a package or a skin folder) takes
// the place of the stored folder and name; when nothing there is a skin,
// an error box says so and the stored choice stays. A skin there that
// fails to load is treated as one in the Skins folder: its error, then
// the internal skin.
void ApplyStoredSkinSettings(skin::TsSkinManager& manager, const QString& skinPath = QString());

} // namespace app
