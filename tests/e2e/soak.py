#!/usr/bin/python3
"""A soak of the real program under Xvfb and openbox with seeded random input.

    soak.py PROGRAM BUILD_DIR [--seed N] [--minutes M] [--growth-mib G]

Drives the program (best built with the address and undefined-behaviour
sanitizers) through its slots, button, menus, dialogs, companion windows,
keys and typing, and stops with a failure on a sanitizer report, a crash, a
hang (the program's event loop not back waiting for input within 5 s of an
action) or memory growth. Prints the seed to replay and the resident memory
after every minute.

Memory rule: a warm-up first opens every window, spread and dialog once, so
that caches, fonts and the music are in place; its resident size is the
baseline. After the last minute the resident size may exceed the baseline by
at most G MiB (default 8): room for allocator fragmentation, far less than a
leak of a picture or a window's cache per action would add over minutes.
The skinned windows keep pictures of their size, and the soak resizes the
help window up to 1100 × 900, so a short run may end above the baseline by
a window picture or two (scripts/test allows 32 MiB for its two minutes).
Judge memory on the plain build: the sanitizer's allocator keeps freed
blocks and every new allocation stack for good, so there it grows by some
MiB a minute without any leak (give it a loose --growth-mib).
"""

import argparse
import os
import random
import re
import shutil
import subprocess
import sys
import tempfile
import time

HANG_SECONDS = 5.0
SANITIZER_REPORT = re.compile(
    r"ERROR: AddressSanitizer|ERROR: LeakSanitizer|runtime error:|AddressSanitizer:DEADLYSIGNAL"
    r"|SUMMARY: (Address|Undefined)")
# System calls in which an idle event loop waits for input.
WAITING_CALLS = {"7", "23", "232", "270", "271", "281"}

MAIN_PREFIX = "Чаролист"
ANCESTORS = "Послание от предков."
HELP = "Справка..."
SAVE_DIALOG = "Save As"
CONFIRM = "Confirm"

# The skin's frame around every window: 3 pixels of border, 19 of title.
FRAME_LEFT, FRAME_TOP = 3, 22
# Places in the main window (inside its frame; the menu bar is 18 high).
MENU_BAR = 18
MENUS = {"file": 20, "spread": 70, "about": 150}
MENU_ITEMS = {"file": 2, "spread": 4, "about": 3}
SLOTS = [(24 + 64 * c, 48 + 88 * r) for r in range(4) for c in range(5)]
SLOTS += [(56 + 64 * c, 400) for c in range(4)]
SLOTS += [(16 + x, 136) for x in (0, 56, 112, 168, 224, 280)]  # the six-rune row
BUTTON = (128 + 57, 510 + 13)
MEMO = (354, 48, 431, 433)
TEXT = "абвгдеёжзийклмнопрстуфхцчшщъыьэюяАБВГДЕЖЗ abcdefghijklmnopqrstuvwxyz 0123456789.,!?-"
KEYS = ["Return", "BackSpace", "Delete", "Home", "End", "Page_Up", "Page_Down", "Up", "Down",
        "Left", "Right", "ctrl+a", "ctrl+z", "ctrl+c", "ctrl+v", "ctrl+x", "shift+Tab", "Tab",
        "space", "shift+Down", "ctrl+End", "Escape"]


class Failure(Exception):
    pass


class Soak:
    def __init__(self, program, build, seed, work):
        self.program = program
        self.close_tool = os.path.join(build, "tools", "charolist-e2e-close")
        self.rng = random.Random(seed)
        self.work = work
        self.env = dict(os.environ)
        self.xvfb = self.wm = self.proc = None
        self.history = []
        self.saves = 0
        self.actions = 0

    # --- processes --------------------------------------------------------

    def start_x(self):
        read, write = os.pipe()
        self.xvfb = subprocess.Popen(
            ["Xvfb", "-displayfd", str(write), "-screen", "0", "1280x1024x24", "-nolisten", "tcp",
             "-noreset"], pass_fds=(write,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        os.close(write)
        number = b""
        while not number.endswith(b"\n"):
            chunk = os.read(read, 16)
            if not chunk:
                raise Failure("Xvfb did not start")
            number += chunk
        os.close(read)
        self.env["DISPLAY"] = ":" + number.decode().strip()
        self.wm = subprocess.Popen(["openbox", "--sm-disable"], env=self.env,
                                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        self.wait_for(lambda: "_NET_SUPPORTING_WM_CHECK(WINDOW)" in self.x(
            "xprop", "-root", "_NET_SUPPORTING_WM_CHECK"), 10, "openbox did not start")

    def start_program(self):
        for d in ("data", "run", "cwd", "saves"):
            os.makedirs(os.path.join(self.work, d), exist_ok=True)
        os.chmod(os.path.join(self.work, "run"), 0o700)
        env = dict(self.env)
        env.update(XDG_DATA_HOME=os.path.join(self.work, "data"),
                   XDG_RUNTIME_DIR=os.path.join(self.work, "run"),
                   ASAN_OPTIONS="detect_leaks=0:quarantine_size_mb=16:halt_on_error=1",
                   UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1")
        self.log_path = os.path.join(self.work, "program.log")
        self.log = open(self.log_path, "wb")
        # The save dialog opens in the working folder: a small one of ours.
        self.proc = subprocess.Popen([self.program], env=env, cwd=os.path.join(self.work, "cwd"),
                                     stdout=self.log, stderr=subprocess.STDOUT)
        self.main = self.wait_for(lambda: self.find(MAIN_PREFIX), 60, "no main window appeared")

    def stop(self):
        for p in (self.proc, self.wm, self.xvfb):
            if p and p.poll() is None:
                p.kill()
                p.wait()

    # --- looking at the program -------------------------------------------

    def x(self, *args, check=False):
        try:
            r = subprocess.run(args, env=self.env, capture_output=True, timeout=10)
        except subprocess.TimeoutExpired:
            raise Failure("%s did not answer within 10 s" % args[0])
        if check and r.returncode != 0:
            raise Failure("%s failed: %s" % (" ".join(args), r.stderr.decode(errors="replace")))
        return r.stdout.decode(errors="replace")

    def check_alive(self):
        with open(self.log_path, "rb") as f:
            text = f.read().decode(errors="replace")
        if SANITIZER_REPORT.search(text):
            raise Failure("sanitizer report")
        status = self.proc.poll()
        if status is not None:
            raise Failure("the program ended unexpectedly with status %d" % status)

    def wait_idle(self):
        """The event loop must be back waiting for input within 5 s."""
        path = "/proc/%d/task/%d/syscall" % (self.proc.pid, self.proc.pid)
        deadline = time.monotonic() + HANG_SECONDS
        while True:
            self.check_alive()
            try:
                with open(path) as f:
                    call = f.read().split(" ", 1)[0]
            except OSError:
                call = ""
            if call in WAITING_CALLS:
                return
            if time.monotonic() > deadline:
                raise Failure("hang: the event loop did not wait for input within %g s" %
                              HANG_SECONDS)
            time.sleep(0.02)

    def windows(self):
        out = []
        for wid in self.x("xdotool", "search", "--onlyvisible", "--pid",
                          str(self.proc.pid)).split():
            name = self.x("xdotool", "getwindowname", wid).rstrip("\n")
            kind = self.x("xprop", "-id", wid, "_NET_WM_WINDOW_TYPE")
            # Qt gives a reopened menu the plain type: tell menus by their
            # being out of the window manager's hands.
            if "Override Redirect State: yes" in self.x("xwininfo", "-id", wid):
                kind = "MENU"
            out.append((wid, name, kind))
        return out

    def find(self, name, exact=False):
        for wid, n, _ in self.windows():
            if (n == name) if exact else n.startswith(name):
                return wid
        return None

    def wait_for(self, probe, seconds, message):
        deadline = time.monotonic() + seconds
        while True:
            if self.proc:
                self.check_alive()
            got = probe()
            if got:
                return got
            if time.monotonic() > deadline:
                raise Failure(message)
            time.sleep(0.05)

    def rss_mib(self):
        with open("/proc/%d/status" % self.proc.pid) as f:
            for line in f:
                if line.startswith("VmRSS:"):
                    return int(line.split()[1]) / 1024.0
        return 0.0

    # --- input ------------------------------------------------------------

    def note(self, what):
        self.history.append(what)
        del self.history[:-25]
        self.actions += 1

    def click(self, wid, x, y, button=1):
        """Clicks at a place inside the window's frame."""
        self.x("xdotool", "mousemove", "--window", wid, str(x + FRAME_LEFT), str(y + FRAME_TOP),
               "click", str(button))

    def keys(self, *names):
        self.x("xdotool", "key", "--delay", "15", *names)

    def type_text(self, text):
        self.x("xdotool", "type", "--delay", "4", text)

    def random_text(self):
        return "".join(self.rng.choice(TEXT) for _ in range(self.rng.randint(1, 30)))

    def menu(self, name, item):
        """Opens a menu of the main window and chooses an item with the keys."""
        self.note("menu %s item %d" % (name, item))
        popup = lambda: any(k == "MENU" for _, _, k in self.windows())
        order = list(MENUS)
        for attempt in range(4):
            # A click may come while the menu bar still ends its last round;
            # then the keys reach the bar (F10) from the activated window.
            if attempt % 2 == 0:
                self.click(self.main, MENUS[name], MENU_BAR // 2)
            else:
                self.x("xdotool", "windowactivate", self.main)
                time.sleep(0.2)
                self.keys(*(["F10"] + ["Right"] * order.index(name) + ["Return", "Up"]))
            try:
                self.wait_for(popup, 1.5, "")
                break
            except Failure:
                self.keys("Escape", "Escape")
                self.wait_idle()
        else:
            # The author window stays on top and may lie over the menu bar
            # while another window has the keys: not a fault of the menus,
            # whose own test opens every one of them.
            self.note("menu %s could not be reached; skipped" % name)
            return False
        self.keys(*(["Down"] * (item + 1) + ["Return"]))
        return True

    def appeared(self, name, what):
        """The window, or None (noted) when it does not come: an item may be
        missed when another window takes the keys in the middle of a menu."""
        try:
            return self.wait_for(lambda: self.find(name, True), 10, "")
        except Failure:
            self.note("%s did not come; skipped" % what)
            self.keys("Escape")
            return None

    # --- actions ----------------------------------------------------------

    def act_slot(self):
        x, y = self.rng.choice(SLOTS)
        self.note("slot at %d,%d" % (x, y))
        self.click(self.main, x + 26, MENU_BAR + y + 38)

    def act_button(self):
        self.note("button")
        self.click(self.main, BUTTON[0], MENU_BAR + BUTTON[1])

    def act_spread(self):
        self.menu("spread", self.rng.randrange(4))

    def act_show_window(self):
        self.menu("about", self.rng.randrange(3))

    def act_save(self):
        dialog = self.menu("file", 0) and self.appeared(SAVE_DIALOG, "the save dialog")
        if not dialog:
            return
        self.wait_idle()
        if self.rng.random() < 0.2:
            self.note("save: cancel")
            self.keys("Escape")
        else:
            self.saves += 1
            path = os.path.join(self.work, "saves", "reading-%d.txt" % self.saves)
            self.note("save: %s" % path)
            self.keys("ctrl+a")
            self.type_text(path)
            self.keys("Return")
            self.wait_for(lambda: os.path.exists(path), 10, "the reading was not saved")
        self.wait_for(lambda: not self.find(SAVE_DIALOG, True), 10, "the save dialog stayed")
        del dialog

    def act_exit_no(self):
        box = self.menu("file", 1) and self.appeared(CONFIRM, "the exit confirmation")
        if not box:
            return
        self.wait_idle()
        how = self.rng.choice(["Escape", "n", "close"])
        self.note("exit: answered No by %s" % how)
        if how == "close":
            self.x(self.close_tool, box, check=True)
        else:
            self.keys(how)
        self.wait_for(lambda: not self.find(CONFIRM, True), 10, "the confirmation stayed")

    def act_type_log(self):
        x, y, w, h = MEMO
        self.click(self.main, x + self.rng.randint(8, w - 30), MENU_BAR + y + self.rng.randint(8, h - 30))
        if self.rng.random() < 0.6:
            text = self.random_text()
            self.note("typing %r into the log" % text)
            self.type_text(text)
        else:
            names = self.rng.sample(KEYS[:-1], self.rng.randint(1, 4))
            self.note("keys %s in the log" % " ".join(names))
            self.keys(*names)

    def act_keys_main(self):
        names = self.rng.sample(KEYS, self.rng.randint(1, 4))
        self.note("keys %s" % " ".join(names))
        # Without waiting for the window manager: it may keep another window
        # active, and the keys then go there, which is input all the same.
        self.x("xdotool", "windowactivate", self.main)
        time.sleep(0.2)
        self.keys(*names)

    def companions(self):
        return [(wid, n) for wid, n, k in self.windows()
                if not n.startswith(MAIN_PREFIX) and "_NORMAL" in k and "DIALOG" not in k
                and "MENU" not in k]

    def act_companion(self):
        open_windows = self.companions()
        if not open_windows:
            return self.act_show_window()
        wid, name = self.rng.choice(open_windows)
        geometry = self.x("xwininfo", "-id", wid)
        if "Absolute upper-left X:" not in geometry:
            # Closed since it was listed (its music ended, say): nothing to act on.
            return self.note("companion %r gone" % name)
        left = int(re.search(r"Absolute upper-left X:\s+(-?\d+)", geometry).group(1))
        top = int(re.search(r"Absolute upper-left Y:\s+(-?\d+)", geometry).group(1))
        width = int(re.search(r"Width:\s+(\d+)", geometry).group(1))
        height = int(re.search(r"Height:\s+(\d+)", geometry).group(1))
        what = self.rng.choice(["close", "title-close", "click", "type", "resize", "move"])
        self.note("%s on %r" % (what, name))
        if what == "close":
            self.x(self.close_tool, wid, check=True)
        elif what == "title-close":
            # The frame's close button, at the right of the title band.
            self.x("xdotool", "mousemove", str(left + width - 14), str(top + 11), "click", "1")
        elif what in ("click", "type"):
            # Not on the author window's web address, which opens a browser.
            x = self.rng.randrange(width - 2 * FRAME_LEFT)
            y = self.rng.randrange(height - FRAME_TOP - FRAME_LEFT)
            if name == "" and 25 <= x <= 170 and y >= 178:
                y = 100
            self.click(wid, x, y)
            if what == "type":
                self.type_text(self.random_text())
        elif what == "resize":
            self.x("xdotool", "windowsize", wid, str(self.rng.randint(120, 1100)),
                   str(self.rng.randint(80, 900)))
        else:
            self.x("xdotool", "windowmove", wid, str(self.rng.randint(0, 900)),
                   str(self.rng.randint(0, 700)))

    def act_resize_help(self):
        wid = self.find(HELP, True)
        if not wid:
            return self.menu("about", 0)
        w, h = self.rng.randint(100, 1200), self.rng.randint(60, 1000)
        self.note("resize help to %dx%d" % (w, h))
        self.x("xdotool", "windowsize", wid, str(w), str(h))

    def tidy(self):
        """Closes what an action may leave open: menus and unexpected boxes."""
        for wid, name, kind in self.windows():
            if "MENU" in kind:
                self.keys("Escape")
            elif "DIALOG" in kind:
                self.note("closing an unexpected window %r" % name)
                self.x(self.close_tool, wid, check=True)

    ACTIONS = [(act_slot, 30), (act_button, 6), (act_spread, 8), (act_show_window, 8),
               (act_save, 3), (act_exit_no, 3), (act_type_log, 12), (act_keys_main, 8),
               (act_companion, 14), (act_resize_help, 4)]

    def step(self):
        actions, weights = zip(*self.ACTIONS)
        self.rng.choices(actions, weights)[0](self)
        self.wait_idle()
        self.tidy()
        self.wait_idle()

    def warm_up(self):
        for item in range(4):
            self.menu("spread", item)
            self.wait_idle()
        for item in range(3):
            self.menu("about", item)
            self.wait_idle()
        for action in (Soak.act_save, Soak.act_exit_no):
            action(self)
            self.wait_idle()
        for wid, _ in self.companions():
            self.x(self.close_tool, wid, check=True)
        self.wait_idle()
        time.sleep(1)

    def close_program(self):
        self.x(self.close_tool, self.main, check=True)
        deadline = time.monotonic() + 30
        while self.proc.poll() is None:
            if time.monotonic() > deadline:
                raise Failure("the program did not end after its main window was closed")
            time.sleep(0.1)
        self.log.flush()
        with open(self.log_path, "rb") as f:
            if SANITIZER_REPORT.search(f.read().decode(errors="replace")):
                raise Failure("sanitizer report at exit")
        if self.proc.returncode != 0:
            raise Failure("the program exited with status %d" % self.proc.returncode)


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("program")
    parser.add_argument("build")
    parser.add_argument("--seed", type=int, default=None)
    parser.add_argument("--minutes", type=float, default=2)
    parser.add_argument("--growth-mib", type=float, default=8)
    parser.add_argument("--skip-keys", default="",
                        help="keys to leave out, comma-separated (to look past a known fault)")
    args = parser.parse_args()
    for key in filter(None, args.skip_keys.split(",")):
        KEYS.remove(key)
    seed = args.seed if args.seed is not None else random.SystemRandom().randrange(1 << 31)
    print("soak: seed %d (replay with --seed %d), %g minutes" % (seed, seed, args.minutes),
          flush=True)
    work = tempfile.mkdtemp(prefix="charolist-soak-")
    soak = Soak(os.path.abspath(args.program), os.path.abspath(args.build), seed, work)
    ok = False
    try:
        soak.start_x()
        soak.start_program()
        soak.wait_idle()
        soak.warm_up()
        baseline = soak.rss_mib()
        print("soak: after warm-up %.1f MiB resident" % baseline, flush=True)
        samples = []
        start = time.monotonic()
        for minute in range(1, int(args.minutes + 0.999) + 1):
            end = start + min(minute, args.minutes) * 60
            while time.monotonic() < end:
                soak.step()
            samples.append(soak.rss_mib())
            print("soak: minute %d: %.1f MiB resident, %d actions, %d readings saved" %
                  (minute, samples[-1], soak.actions, soak.saves), flush=True)
        soak.close_program()
        growth = samples[-1] - baseline
        if growth > args.growth_mib:
            raise Failure("resident memory grew by %.1f MiB (baseline %.1f, last %.1f, "
                          "allowed %g)" % (growth, baseline, samples[-1], args.growth_mib))
        print("soak: passed: %d actions, memory %+.1f MiB over the warm-up baseline, seed %d" %
              (soak.actions, growth, seed))
        ok = True
    except Failure as failure:
        print("soak: FAIL: %s (seed %d)" % (failure, seed), file=sys.stderr)
        print("soak: last actions:\n  " + "\n  ".join(soak.history), file=sys.stderr)
        if soak.proc:
            try:  # let a sanitizer finish its report
                soak.proc.wait(timeout=10)
            except subprocess.TimeoutExpired:
                pass
            soak.log.flush()
            shutil.copy(soak.log_path, os.path.join(os.path.abspath(args.build), "soak-program.log"))
            with open(soak.log_path, "rb") as f:
                tail = f.read()[-6000:].decode(errors="replace")
            print("soak: the program's output (whole in soak-program.log):\n" + tail,
                  file=sys.stderr)
    finally:
        soak.stop()
        shutil.rmtree(work, ignore_errors=True)
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
