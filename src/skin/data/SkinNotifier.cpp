#include "skin/data/SkinNotifier.h"

#include "skin/data/SkinCommands.h"

#include <algorithm>

namespace skin {

using platform::Control;

namespace {

std::vector<Control*>& RegisteredForms() {
    static std::vector<Control*> forms;
    return forms;
}

} // namespace

void SkinNotifier::RegisterForm(Control* form) {
    std::vector<Control*>& forms = RegisteredForms();
    if (std::find(forms.begin(), forms.end(), form) == forms.end())
        forms.push_back(form);
}

void SkinNotifier::UnregisterForm(Control* form) {
    std::erase(RegisteredForms(), form);
}

void SkinNotifier::Broadcast(const platform::Message& message, const TsSkinManager* manager,
                             const std::vector<Control*>& forms) {
    for (auto it = forms.rbegin(); it != forms.rend(); ++it) {
        Control* form = *it;
        if (form->ComponentState & (Control::csLoading | Control::csDestroying))
            continue;
        // A form with a skinned frame is registered and served below.
        if (SendSkinCommand<SkinCmdIsSkinned>(form, manager))
            continue;
        Deliver(form, message, manager);
    }
    // A copy: a form may leave the list while it is told.
    for (Control* form : std::vector<Control*>(RegisteredForms()))
        if (!(form->ComponentState & Control::csDestroying))
            Deliver(form, message, manager);
}

// Our forms are never multiple-document frames, so there is no client
// window to serve besides the form and its children.
void SkinNotifier::Deliver(Control* form, const platform::Message& message,
                           const TsSkinManager* manager) {
    form->Perform(message.Msg, message.WParam, message.LParam);
    DeliverToChildren(form, message, manager);
}

void SkinNotifier::DeliverToChildren(Control* parent, const platform::Message& message,
                                     const TsSkinManager* manager) {
    for (Control* child : parent->Controls()) {
        if (child->ComponentState & Control::csDestroying)
            return;
        if (!child->IsWindowed() || SendSkinCommand<SkinCmdIsSkinned>(child, manager))
            child->Perform(message.Msg, message.WParam, message.LParam);
        else
            DeliverToChildren(child, message, manager);
    }
}

} // namespace skin
