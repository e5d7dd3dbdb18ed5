// Tells whether a point of a window lies inside the window's outline (its
// bounding shape), as the X server keeps it: prints "in" or "out".
// Usage: charolist-e2e-shape WINDOW_ID X Y
#include "XTool.h"

#include <X11/Xlib.h>
#include <X11/extensions/shape.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    Display* display = e2e::OpenDisplay(argc, argv, 4, "WINDOW_ID X Y");
    const Window window = e2e::WindowId(argv[1]);
    const int x = std::atoi(argv[2]), y = std::atoi(argv[3]);
    int count = 0, ordering = 0;
    XRectangle* rects = XShapeGetRectangles(display, window, ShapeBounding, &count, &ordering);
    bool inside = false;
    for (int i = 0; i < count; ++i)
        inside |= x >= rects[i].x && x < rects[i].x + rects[i].width && y >= rects[i].y &&
                  y < rects[i].y + rects[i].height;
    std::puts(inside ? "in" : "out");
    if (rects)
        XFree(rects);
    XCloseDisplay(display);
    return 0;
}
