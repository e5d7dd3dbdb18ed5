// What the small X tools of the end-to-end tests share: their arguments'
// count, the display, and the window named by its id.
#pragma once

#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

namespace e2e {

// The display, once the arguments are `count` in number (the program's
// name included); otherwise a message and exit status 2.
inline Display* OpenDisplay(int argc, char** argv, int count, const char* usage) {
    if (argc != count) {
        std::fprintf(stderr, "usage: %s %s\n", argv[0], usage);
        std::exit(2);
    }
    Display* display = XOpenDisplay(nullptr);
    if (!display) {
        std::fprintf(stderr, "cannot open the display\n");
        std::exit(2);
    }
    return display;
}

// A window id as xdotool and xwininfo print it (decimal or 0x hex).
inline Window WindowId(const char* text) {
    return std::strtoul(text, nullptr, 0);
}

} // namespace e2e
