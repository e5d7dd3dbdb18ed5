#include "skin/frame/CreationWatch.h"

#include "platform/Form.h"
#include "skin/frame/TsSkinProvider.h"

namespace skin {

TsSkinProvider* TacProvider::Attach(QWidget& window, platform::WindowKind kind) {
    const TsSkinManager* manager = TsSkinManager::DefaultManager();
    if (!manager || !manager->Active() || TsSkinProvider::Of(&window))
        return nullptr;
    const unsigned rule = kind == platform::WindowKind::Form ? srStdForms : unsigned(srStdDialogs);
    if (!(manager->SkinningRules & rule))
        return nullptr;
    if (kind == platform::WindowKind::Form) {
        auto* form = dynamic_cast<platform::TForm*>(&window);
        if (!form || (form->Tag & ~kTagIgnoredBits) == kUnskinnedFormTag)
            return nullptr;
        // A form that handles skin commands itself has a frame already.
        if (AnswersSkinCommands(form))
            return nullptr;
        auto provider = std::make_unique<TsSkinProvider>(window, kind);
        TsSkinProvider* p = provider.get();
        form->AttachFrame(std::move(provider));
        return p;
    }
    if (!manager->SkinStdDialogs())
        return nullptr;
    return new TsSkinProvider(window, kind); // owned by the dialog
}

void InstallCreationWatch() {
    platform::SetWindowWatch(
        [](QWidget& window, platform::WindowKind kind) { TacProvider::Attach(window, kind); });
}

void RemoveCreationWatch() {
    platform::SetWindowWatch({});
}

} // namespace skin
