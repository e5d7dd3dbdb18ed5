// What of a skin this program's windows are painted from: the sections its
// controls, frames and menus bind to, and the masks they cannot do without.
// The skin tool's check reports a skin that lacks one; a test holds the list
// to what the windows bind to.
#pragma once

#include <array>
#include <utility>

namespace app {

inline constexpr std::array kNeededSections = {
    "GLOBALINFO",    "FORM",           "FORMTITLE",    "MENULINE",        "MAINMENU",
    "MENUITEM",      "SELECTION",      "EDIT",         "ALPHAEDIT",       "BUTTON",
    "PANEL",         "SCROLLBAR1H",    "SCROLLBAR1V",  "SCROLLBAR2H",     "SCROLLBAR2V",
    "SCROLLBTNLEFT", "SCROLLBTNRIGHT", "SCROLLBTNTOP", "SCROLLBTNBOTTOM", "SCROLLSLIDERH",
    "SCROLLSLIDERV",
};

// Section and key of each mask the windows need: the window frame and the
// title buttons of the main window (close, minimise) and the companions.
inline constexpr std::array<std::pair<const char*, const char*>, 4> kNeededMasks = {{
    {"FORM", "BORDERSMASK"},
    {"GLOBALINFO", "BICONCLOSE"},
    {"GLOBALINFO", "BICONMIN"},
    {"MAINMENU", "BORDERSMASK"},
}};

} // namespace app
