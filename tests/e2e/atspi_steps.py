"""Shared steps of the end-to-end checks that reach the program through
AT-SPI: the library (a missing one skips the test with status 77), failing
with a message, waiting for a condition and walking the accessible tree."""
import sys
import time

try:
    import pyatspi  # noqa: F401 (the checks use it through this module)
except ImportError as e:
    print(f"SKIP: pyatspi is missing ({e})")
    sys.exit(77)


def fail(message):
    print(f"FAIL: {message}", file=sys.stderr)
    sys.exit(1)


def wait_for(what, probe, seconds=20):
    end = time.time() + seconds
    while time.time() < end:
        found = probe()
        if found:
            return found
        time.sleep(0.1)
    fail(f"timed out waiting for {what}")


def descendants(node):
    out = []
    for child in node:
        if child is not None:
            out.append(child)
            out.extend(descendants(child))
    return out


class Heard:
    """What a screen reader would hear: the events the program sends of the
    given kinds, as (event type, role, name) of their source, collected while
    the GLib loop that delivers them is run by `pump`."""

    def __init__(self, *kinds):
        self.events = []
        for kind in kinds:
            pyatspi.Registry.registerEventListener(self._heard, kind)

    def _heard(self, event):
        try:
            self.events.append((event.type, event.source.getRoleName(), event.source.name,
                                event.detail1))
        except Exception:  # a source gone already
            pass

    def pump(self, seconds=0.3):
        from gi.repository import GLib
        context = GLib.MainContext.default()
        end = time.time() + seconds
        while time.time() < end:
            while context.pending():
                context.iteration(False)
            time.sleep(0.02)

    def wait(self, what, match, seconds=10):
        end = time.time() + seconds
        while time.time() < end:
            self.pump(0.1)
            found = [e for e in self.events if match(*e)]
            if found:
                return found[-1]
        fail(f"a screen reader never heard {what}; it heard {self.events[-8:]}")


def focused_slot(heard, name):
    """Waits until the slot named `name` is told focused and is so."""
    heard.wait(f"the focus on {name!r}",
               lambda kind, role, source, on: kind.startswith("object:state-changed:focused")
               and role == "push button" and source == name and on == 1)


def slot_opens(heard, slot, text_of_log, focused=True):
    """After a press on `slot` (the focused one when `focused`): its new
    name (the rune's, "открыта") is told, the log's text holds that rune,
    and it can be pressed no more."""
    kind, role, name, _ = heard.wait(
        "a slot's new name", lambda kind, role, source, on:
        kind.startswith("object:property-change:accessible-name") and role == "push button"
        and source.endswith(", открыта"))
    if slot.name != name:
        fail(f"the opened slot is named {slot.name!r}, told as {name!r}")
    rune = name[:-len(", открыта")]
    if rune.upper() not in text_of_log().upper():
        fail(f"the log does not hold the rune {rune!r}")
    if focused and not slot.getState().contains(pyatspi.STATE_FOCUSED):
        fail("the opened slot lost the focus")
    if slot.getState().contains(pyatspi.STATE_SENSITIVE):
        fail("the opened slot can still be pressed")
    return rune
