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
