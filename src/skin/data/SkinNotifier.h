// How a skin's news reaches the program's windows: a skin command sent to
// every form the host lists and every form whose frame is skinned, and from
// each down through its controls to those that take part in skinning. The
// manager announces through it; it knows nothing of skins.
#pragma once

#include "platform/Control.h"

#include <vector>

namespace skin {

class TsSkinManager;

class SkinNotifier {
public:
    // Forms whose frames are skinned enter this list while they are.
    static void RegisterForm(platform::Control* form);
    static void UnregisterForm(platform::Control* form);

    // Sends `message` from `manager` to `forms` (the application's, last
    // made first; those that answer for themselves, being registered, are
    // passed by) and to the registered forms, each with its controls.
    static void Broadcast(const platform::Message& message, const TsSkinManager* manager,
                          const std::vector<platform::Control*>& forms);

private:
    static void Deliver(platform::Control* form, const platform::Message& message,
                        const TsSkinManager* manager);
    static void DeliverToChildren(platform::Control* parent, const platform::Message& message,
                                  const TsSkinManager* manager);
};

} // namespace skin
