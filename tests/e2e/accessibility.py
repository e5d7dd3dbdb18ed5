#!/usr/bin/python3
"""What a screen reader finds in the running program through AT-SPI: the
windows, every control a person can reach with its name and role, the rune
slots reached by the keys (the focus told as it moves, a rune opened with
Enter told by its new name), a slot pressed through its action taking the
name of its rune, the author's link, and the close button of the title
closing the program.

Exit status 77 when the accessibility bus cannot be reached."""
import subprocess
import sys

from atspi_steps import Heard, descendants, fail, focused_slot, pyatspi, slot_opens, wait_for


def showing(node):
    return node.getState().contains(pyatspi.STATE_SHOWING)


def press(node):
    actions = node.queryAction()
    names = [actions.getName(i) for i in range(actions.nActions)]
    if "Press" not in names:
        fail(f"{node.getRoleName()} {node.name!r} has no press action: {names}")
    actions.doAction(names.index("Press"))


def the_program():
    try:
        desktop = pyatspi.Registry.getDesktop(0)
        apps = [a for a in desktop if a is not None]
    except Exception as e:  # the bus is not there
        print(f"SKIP: the accessibility bus cannot be reached ({e})")
        sys.exit(77)
    for app in apps:
        if app.name == "charolist":
            return app
    return None


def one(nodes, role, name, what):
    found = [n for n in nodes if n.getRoleName() == role and n.name == name]
    if len(found) != 1:
        fail(f"{what}: expected one {role} named {name!r}, found {len(found)}")
    return found[0]


app = wait_for("the program on the accessibility bus", the_program)
main = wait_for("the main window", lambda: [w for w in app if w is not None
                                            and w.name.startswith("Чаролист - ")])[0]
if main.getRoleName() != "frame":
    fail(f"the main window has the role {main.getRoleName()}")
nodes = descendants(main)

# The grid on show, the row of six hidden until its spread.
grid = [one([n for n in nodes if showing(n)], "push button", f"Руна {i}, закрыта", "grid")
        for i in range(1, 25)]
row = [n for n in nodes if n.getRoleName() == "push button" and not showing(n)]
if sorted(n.name for n in row) != sorted(f"Руна {i}, закрыта" for i in range(1, 7)):
    fail(f"the hidden row of six is {[n.name for n in row]}")

log = one(nodes, "text", "Журнал гадания", "log")
refresh = one(nodes, "push button", "Обновить руны", "refresh button")
for item in ["Файл", "Сохранить...", "Выход...", "Расклад...", "Одна руна...",
             "Четыре руны...", "Крест...", "Шесть рун...", "О программе...", "Справка...",
             "Послание от предков...", "Автор..."]:
    one(nodes, "menu item", item, "menu")

# The title buttons lie in the title band: above the menu bar, close at the
# right, minimise to its left.
bar = [n for n in nodes if n.getRoleName() == "menu bar"][0]
bar_top = bar.queryComponent().getExtents(pyatspi.DESKTOP_COORDS).y
window = main.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
close = one(nodes, "push button", "Закрыть", "title")
minimise = one(nodes, "push button", "Свернуть", "title")
close_box = close.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
minimise_box = minimise.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
for name, box in [("Закрыть", close_box), ("Свернуть", minimise_box)]:
    if not (box.width > 0 and box.height > 0 and window.y <= box.y
            and box.y + box.height <= bar_top and window.x <= box.x
            and box.x + box.width <= window.x + window.width):
        fail(f"{name} lies at {box} in a window at {window} with its menu at {bar_top}")
if not minimise_box.x + minimise_box.width <= close_box.x:
    fail(f"Свернуть at {minimise_box} is not left of Закрыть at {close_box}")

# The keys: Shift+Tab from the log reaches the runes, whose first slot is
# told focused; Right moves the focus, and Enter opens that rune, which is
# told by the slot's new name. The log reads line by line.
heard = Heard("object:state-changed:focused", "object:property-change:accessible-name")
window_id = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "charolist"],
                           capture_output=True, text=True).stdout.split()[0]
subprocess.run(["xdotool", "windowfocus", "--sync", window_id], check=True)
subprocess.run(["xdotool", "key", "shift+Tab"], check=True)
focused_slot(heard, "Руна 1, закрыта")
if not grid[0].getState().contains(pyatspi.STATE_FOCUSED):
    fail("the first slot is not focused")
subprocess.run(["xdotool", "key", "Right"], check=True)
focused_slot(heard, "Руна 2, закрыта")
if grid[0].getState().contains(pyatspi.STATE_FOCUSED):
    fail("the first slot kept the focus")
subprocess.run(["xdotool", "key", "Return"], check=True)
rune = slot_opens(heard, grid[1], lambda: log.queryText().getText(0, -1))
# A reader reads the log by lines: the line at the rune's name is its
# heading line alone.
text = log.queryText()
whole = text.getText(0, -1)
at = whole.upper().find(rune.upper())
line = text.getTextAtOffset(at, pyatspi.TEXT_BOUNDARY_LINE_START)[0]
heading = next(l for l in whole.splitlines() if rune.upper() in l.upper())
if line.strip() != heading.strip():
    fail(f"the log's line at the rune reads {line!r}, not {heading!r}")

# The spread of one is complete: every slot is closed to presses until the
# runes are laid out again.
if grid[0].getState().contains(pyatspi.STATE_SENSITIVE):
    fail("a slot can still be pressed in a complete spread")
press(refresh)
wait_for("the runes laid out again", lambda: grid[1].name == "Руна 2, закрыта")

# A slot pressed through its action opens: it takes its rune's name, which
# the text of the log now holds, and cannot be pressed again.
press(grid[0])
opened = wait_for("the first slot to open",
                  lambda: grid[0].name.endswith(", открыта") and grid[0].name)
text = log.queryText().getText(0, -1)
if opened[:-len(", открыта")].upper() not in text.upper():
    fail(f"the slot is named {opened!r} but the log does not hold it")
if grid[0].getState().contains(pyatspi.STATE_SENSITIVE):
    fail("the opened slot can still be pressed")
if not any(n.name == opened for n in descendants(main) if n.getRoleName() == "push button"):
    fail("the opened slot is not found by its new name")

# The author window's web address is a link naming its host, with the
# address it opens as its description.
press(one(nodes, "menu item", "Автор...", "menu"))
author = wait_for("the author window",
                  lambda: [w for w in app if w is not None and w.name == "Автор"])[0]
links = [n for n in descendants(author) if n.getRoleName() == "link"]
if len(links) != 1 or not links[0].name or \
        links[0].description != "http://" + links[0].name:
    fail(f"the author's link is {[(n.name, n.description) for n in links]}")

# The close button of the title closes the program like a click on it.
press(close)
print("OK: names and roles of", len(nodes), "objects of the main window")
