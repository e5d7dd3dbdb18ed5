#!/usr/bin/python3
"""The program on a headless Wayland compositor, driven through AT-SPI (the
compositor has no input) and seen through its screenshots: the main window
skinned with its see-through corner, the help window, a drop-down of the
menu bar, a rune slot focused and opened as a screen reader does it (both
heard), and the way out through "Выход..." and the question box.

Usage: wayland.py BUILD_DIR WORK_DIR BACKGROUND SHOTS_PREFIX
BACKGROUND is the compositor's plain background as "#RRGGBB". Screenshots
are left as SHOTS_PREFIX-main.png, -help.png, -menu.png and -question.png.

Exit status 77 when the accessibility bus cannot be reached."""
import glob
import os
import subprocess
import sys
import time

from atspi_steps import Heard, descendants, fail, focused_slot, pyatspi, slot_opens, wait_for

BUILD, WORK, BACKGROUND, SHOTS = sys.argv[1:5]
TOOLS = os.path.join(BUILD, "tools")


def act(node, name):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if name not in names:
        fail(f"{node.getRoleName()} {node.name!r} has no action {name}: {names}")
    actions.doAction(names.index(name))


def size_of(node):
    box = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
    return box.width, box.height


# ---- Screenshots -------------------------------------------------------------

def screenshot(path):
    """The compositor's whole output as a PNG at path."""
    folder = os.path.join(WORK, "shooter")
    os.makedirs(folder, exist_ok=True)
    for old in glob.glob(os.path.join(folder, "*.png")):
        os.remove(old)
    # The shooter writes a file named by the time into the current folder.
    run = subprocess.run(["weston-screenshooter"], cwd=folder, capture_output=True,
                         text=True, timeout=30)
    shots = glob.glob(os.path.join(folder, "*.png"))
    if run.returncode != 0 or len(shots) != 1:
        fail(f"weston-screenshooter failed: {run.stderr.strip()}")
    os.replace(shots[0], path)
    return path


def pixel(image, x, y):
    out = subprocess.run(["convert", image, "-crop", f"1x1+{x}+{y}", "-depth", "8", "txt:-"],
                         capture_output=True, text=True, check=True).stdout
    return out.strip().splitlines()[-1].split()[2].upper()


def differing(a, b):
    """The number of pixels that differ between two pictures of one size."""
    run = subprocess.run(["compare", "-metric", "AE", a, b, "null:"],
                         capture_output=True, text=True)
    return int(float(run.stderr.split()[0]))


def crop(image, x, y, w, h, out):
    subprocess.run(["convert", image, "-crop", f"{w}x{h}+{x}+{y}", "+repage", out], check=True)
    return out


def shades(image):
    return int(subprocess.run(["convert", image, "-format", "%k", "info:"],
                              capture_output=True, text=True, check=True).stdout)


def changed_box(before, after, hide=None):
    """The bounding box (x, y, w, h) of what changed between two screenshots,
    leaving out the rectangle hide."""
    diff = os.path.join(WORK, "diff.png")
    subprocess.run(["compare", before, after, "-compose", "src", "-highlight-color", "white",
                    "-lowlight-color", "black", diff], capture_output=True)
    if hide:
        x, y, w, h = hide
        subprocess.run(["convert", diff, "-fill", "black", "-draw",
                        f"rectangle {x},{y} {x + w - 1},{y + h - 1}", diff], check=True)
    out = subprocess.run(["convert", diff, "-format", "%@", "info:"],
                         capture_output=True, text=True, check=True).stdout
    size, x, y = out.split("+")
    w, h = size.split("x")
    return int(x), int(y), int(w), int(h)


def expect_outline(image, behind, box, what):
    """The window in box shows what lay behind it at its outer corner pixels
    and its own picture one pixel in and three down."""
    x, y, w, h = box
    for cx, cy, ix, iy in [(x, y, x + 1, y + 3), (x + w - 1, y + h - 1, x + w - 2, y + h - 4)]:
        if pixel(image, cx, cy) != pixel(behind, cx, cy):
            fail(f"{what}: the corner pixel {cx},{cy} is {pixel(image, cx, cy)}, "
                 f"not {pixel(behind, cx, cy)} from behind it")
        if pixel(image, ix, iy) == pixel(behind, ix, iy):
            fail(f"{what}: the pixel {ix},{iy} next to the corner shows what lies behind")


# ---- The program on the bus --------------------------------------------------

def the_program():
    try:
        apps = [a for a in pyatspi.Registry.getDesktop(0) if a is not None]
    except Exception as e:  # the bus is not there
        print(f"SKIP: the accessibility bus cannot be reached ({e})")
        sys.exit(77)
    return next((a for a in apps if a.name == "charolist"), None)


def window(app, match):
    return wait_for("a window", lambda: next((w for w in app if w is not None and match(w)),
                                              None))


app = wait_for("the program on the accessibility bus", the_program)
main = window(app, lambda w: w.name.startswith("Чаролист - "))
nodes = descendants(main)
W, H = size_of(main)


def item(name):
    found = [n for n in nodes if n.getRoleName() == "menu item" and n.name == name]
    if len(found) != 1:
        fail(f"expected one menu item {name!r}, found {len(found)}")
    return found[0]


# ---- The main window ---------------------------------------------------------
# Found by its 24 rune backs: the client area's corner lies 24, 48 before the
# first, inside a 3-pixel border and a 40-pixel band of border, title and bar.
shot = SHOTS + "-main.png"
back = os.path.join(BUILD, "generated", "art", "back.bmp")
for attempt in range(50):
    screenshot(shot)
    found = subprocess.run([os.path.join(TOOLS, "charolist-e2e-find"), shot, back],
                           capture_output=True, text=True).stdout.split("\n")
    corners = [tuple(map(int, line.split())) for line in found if line.strip()]
    if len(corners) == 24:
        break
    time.sleep(0.2)
else:
    fail(f"expected 24 rune backs on screen, found {len(corners)}")
cx = min(x for x, _ in corners) - 24
cy = min(y for _, y in corners) - 48
WX, WY = cx - 3, cy - 40
if WX < 0 or WY < 0 or WX + W > 1280 or WY + H > 800:
    fail(f"the {W}x{H} window at {WX},{WY} does not lie on the screen")

# The compositor's background all round the window, the window's own
# pixels just inside its edges, away from the rounded corners.
for x, y, outside in [(WX - 1, WY + H // 2, True), (WX + W, WY + H // 2, True),
                      (WX + W // 2, WY - 1, True), (WX + W // 2, WY + H, True),
                      (WX, WY + H // 2, False), (WX + W - 1, WY + H // 2, False),
                      (WX + W // 2, WY, False), (WX + W // 2, WY + H - 1, False)]:
    if (pixel(shot, x, y) == BACKGROUND) != outside:
        fail(f"the pixel {x},{y} is {pixel(shot, x, y)}: the {W}x{H} window is not "
             f"at {WX},{WY}")
for x, y in [(WX, WY), (WX + W - 1, WY), (WX, WY + H - 1), (WX + W - 1, WY + H - 1)]:
    if pixel(shot, x, y) != BACKGROUND:
        fail(f"the window's corner pixel {x},{y} is {pixel(shot, x, y)}, not the background")
if pixel(shot, WX + 1, WY + 3) == BACKGROUND:
    fail("the border next to the corner is see-through")

# The client background between the controls is the FORM picture tiled from
# the window's corner, as the skin tool paints it: the strip left of the
# rune slots, the whole height of the slots.
form = os.path.join(WORK, "form.png")
subprocess.run([os.path.join(BUILD, "charolist-skin"), "render", "--internal", "FORM",
                "--size", f"{W}x{H}", "--out", form], check=True)
strip = crop(shot, cx + 2, cy + 48, 20, 300, os.path.join(WORK, "strip-screen.png"))
wanted = crop(form, cx - WX + 2, cy - WY + 48, 20, 300, os.path.join(WORK, "strip-form.png"))
if differing(strip, wanted):
    fail(f"{differing(strip, wanted)} pixels of the client background differ from FORM")
if shades(strip) <= 20:
    fail(f"the client background has only {shades(strip)} colours")

# The close button in its normal frame: the first 17 columns of the skin's
# master picture, whose magenta pixels let the title band through.
master = os.path.join(BUILD, "generated", "skin", "Master.bmp")
bx, by = WX + W - 3 - 17, WY + (3 + 19 - 16) // 2
button = crop(shot, bx, by, 17, 16, os.path.join(WORK, "button.png"))
normal = os.path.join(WORK, "normal.png")
subprocess.run(["convert", master, "-crop", "17x16+0+0", "+repage", "-transparent", "#FF00FF",
                normal], check=True)
laid = os.path.join(WORK, "laid.png")
subprocess.run(["convert", button, normal, "-composite", laid], check=True)
if differing(button, laid):
    fail("the close button does not show its normal frame")

# ---- The runes through a screen reader ---------------------------------------
# The compositor sends no keys: the reader sets the focus on a slot, which
# it hears, and presses it, which it hears by the slot's new name. A
# compositor without a seat gives no window the keys: then only the press.
heard = Heard("object:state-changed:focused", "object:property-change:accessible-name")
slot = [n for n in nodes if n.getRoleName() == "push button" and n.name == "Руна 5, закрыта"
        and n.getState().contains(pyatspi.STATE_SHOWING)]
if len(slot) != 1:
    fail(f"expected one slot named 'Руна 5, закрыта', found {len(slot)}")
keys = main.getState().contains(pyatspi.STATE_ACTIVE)
if keys:
    act(slot[0], "SetFocus")
    focused_slot(heard, "Руна 5, закрыта")
act(slot[0], "Press")
log = [n for n in nodes if n.getRoleName() == "text" and n.name == "Журнал гадания"][0]
rune = slot_opens(heard, slot[0], lambda: log.queryText().getText(0, -1), focused=keys)
# The window as it is now, for what the next windows change.
time.sleep(0.5)
screenshot(shot)

def new_window_box(before, path, size, what, hide=None):
    """Screenshots into `path` until what changed since `before` is a box of
    `size` (a window the compositor placed where it liked); its box."""
    time.sleep(0.5)
    screenshot(path)
    for attempt in range(20):
        box = changed_box(before, path, hide=hide)
        if box[2:] == size:
            return box
        time.sleep(0.2)
        screenshot(path)
    fail(f"the {size[0]}x{size[1]} {what} is not on screen: what changed is {box}")


# ---- The help window ---------------------------------------------------------
# Placed by the compositor wherever it likes: found by what changed.
act(item("Справка..."), "Press")
help_window = window(app, lambda w: w.name == "Справка...")
HW, HH = size_of(help_window)
help_shot = SHOTS + "-help.png"
box = new_window_box(shot, help_shot, (HW, HH), "help window")
expect_outline(help_shot, shot, box, "the help window")
inside = crop(help_shot, box[0] + 3, box[1] + 3, HW - 6, 16, os.path.join(WORK, "title.png"))
if shades(inside) <= 20:
    fail(f"the help window's title band has only {shades(inside)} colours")

# ---- A drop-down of the menu bar ---------------------------------------------
# Without a seat Qt cannot ask for a popup grab, so the drop-down becomes a
# window of its own that the compositor places; where it lies says nothing.
# Its size comes from its items, three pixels of frame round them.
before = help_shot
act(item("Файл"), "ShowMenu")
entries = [item("Сохранить..."), item("Выход...")]
wait_for("the drop-down's items", lambda: all(
    e.getState().contains(pyatspi.STATE_SHOWING) for e in entries))
boxes = [e.queryComponent().getExtents(pyatspi.DESKTOP_COORDS) for e in entries]
MW = boxes[0].width + 6
MH = boxes[-1].y + boxes[-1].height - boxes[0].y + 6
bar_item = (WX + 3, WY + 22, 100, 18)  # the bar item lights up: not the drop-down
menu_shot = SHOTS + "-menu.png"
box = new_window_box(before, menu_shot, (MW, MH), "drop-down", hide=bar_item)
expect_outline(menu_shot, before, box, "the drop-down")
face = crop(menu_shot, box[0] + 3, box[1] + 3, MW - 6, MH - 6, os.path.join(WORK, "menu.png"))
if shades(face) <= 20:
    fail(f"the drop-down has only {shades(face)} colours")

# ---- The way out -------------------------------------------------------------
# The item's action asks its question in a modal box and returns only when it
# is answered, so it is pressed from a process of its own.
presser = subprocess.Popen([sys.executable, "-c", """
import pyatspi
app = next(a for a in pyatspi.Registry.getDesktop(0) if a is not None and a.name == "charolist")
def find(node):
    for child in node:
        if child is None:
            continue
        if child.getRoleName() == "menu item" and child.name == "Выход...":
            return child
        found = find(child)
        if found:
            return found
exit_item = next(find(w) for w in app if w is not None and w.name.startswith("Чаролист - "))
actions = exit_item.queryAction()
actions.doAction([actions.getName(i) for i in range(actions.nActions)].index("Press"))
"""])
question = window(app, lambda w: w.getRoleName() in ("dialog", "alert")
                  and any(n.name == "Yes" for n in descendants(w)))
texts = [n.name for n in descendants(question) if n.getRoleName() == "label"]
if "Вы действительно хотите закрыть программу?" not in texts:
    fail(f"the question box says {texts}")
time.sleep(0.5)
screenshot(SHOTS + "-question.png")
act(next(n for n in descendants(question) if n.name == "Yes"), "Press")
try:
    presser.wait(timeout=20)
except subprocess.TimeoutExpired:
    presser.kill()
print(f"OK: {W}x{H} main window skinned at {WX},{WY} with see-through corners; "
      f"help window {HW}x{HH}, drop-down {MW}x{MH}; {rune} opened through the reader "
      f"({'focused first' if keys else 'no window has the keys here'}); "
      f"the question answered")
