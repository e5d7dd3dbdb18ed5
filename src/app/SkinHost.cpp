#include "app/SkinHost.h"

#include "app/InternalSkin.h"
#include "platform/Dialogs.h"
#include "platform/Form.h"
#include "skin/data/SkinPackage.h"
#include "skin/frame/CreationWatch.h"

namespace app {

std::vector<platform::Control*> SkinHost::ApplicationForms() {
    const auto& forms = platform::TForm::Forms();
    return std::vector<platform::Control*>(forms.begin(), forms.end());
}

void SkinHost::ShowError(const QString& message) {
    platform::ShowErrorBox(message);
}

void SkinHost::ShowMessage(const QString& message) {
    // Message boxes here break lines with "\n" alone.
    QString text = message;
    platform::ShowMessage(text.replace(QStringLiteral("\r\n"), QStringLiteral("\n")));
}

void SkinHost::InstallCreationHook() {
    skin::InstallCreationWatch();
}

void SkinHost::RemoveCreationHook() {
    skin::RemoveCreationWatch();
}

void InstallSkinHost() {
    static SkinHost host;
    if (!skin::TsSkinManager::Host())
        skin::TsSkinManager::SetHost(&host);
}

void ApplyStoredSkinSettings(skin::TsSkinManager& manager, const QString& skinPath) {
    skin::TsStoredSkin wood;
    wood.Name = content::kInternalSkinName;
    wood.Shadow1Color = skin::SkinColor{0};
    wood.Shadow1Offset = 0;
    wood.Shadow1Transparency = 0;
    wood.Data = content::InternalSkinPackage();
    wood.Prepared = content::PreparedInternalSkin();
    manager.SetInternalSkins({wood});
    manager.MenuSupport.IcoLineSkin = QStringLiteral("ICOLINE");
    manager.MenuSupport.ExtraLineFont.Name = QStringLiteral("MS Sans Serif");
    manager.MenuSupport.ExtraLineFont.Height = 11;
    manager.MenuSupport.ExtraLineFont.Color = platform::clWindowText;
    if (!skinPath.isEmpty()) {
        try {
            const skin::SkinPlace place = skin::PlaceOfSkin(skinPath);
            manager.SetSkinDirectory(place.Folder);
            manager.SetSkinName(place.Name);
            return;
        } catch (const skin::ESkinError& error) {
            platform::ShowErrorBox(QString::fromStdString(error.what()));
        }
    }
    manager.SetSkinDirectory(QStringLiteral("c:\\Skins"));
    manager.SetSkinName(QStringLiteral("Wood"));
}

} // namespace app
