// Asks a window to close the way a window manager does: a WM_DELETE_WINDOW
// client message. Usage: charolist-e2e-close WINDOW_ID
#include <X11/Xatom.h>
#include "XTool.h"

#include <X11/Xlib.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* display = e2e::OpenDisplay(argc, argv, 2, "WINDOW_ID");
    const Window window = e2e::WindowId(argv[1]);
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    XSendEvent(display, window, False, NoEventMask, &event);
    XFlush(display);
    XCloseDisplay(display);
    return 0;
}
