#!/usr/bin/env python3
"""Start-up of the program against a bare Qt window, as a person meets it.

Starts Xvfb and openbox on a display of its own, then runs the bare window
and the program alternately RUNS times each, every run to the first painted
frame of its window (the programs print that time themselves, from the
launcher's start time), with the session bus pointing nowhere so that no
autolaunch of a bus adds seconds at random. Prints the medians, their ratio
and the peak resident memory of each.

Usage: bench/startup_compare.py PROGRAM BARE_WINDOW [OTHER_PROGRAM...]
                                [--display N] [--runs 21]
(other programs, such as an earlier build, join the alternation.)
"""
import argparse
import os
import statistics
import subprocess
import sys
import tempfile
import time


def start_x(display):
    xvfb = subprocess.Popen(["Xvfb", f":{display}", "-screen", "0", "1280x800x24",
                             "-nolisten", "tcp", "-noreset"],
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    env = dict(os.environ, DISPLAY=f":{display}")
    for _ in range(100):
        if subprocess.run(["xdpyinfo"], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL).returncode == 0:
            break
        time.sleep(0.1)
    else:
        sys.exit("Xvfb did not start")
    wm = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL,
                          stderr=subprocess.DEVNULL)
    time.sleep(1.0)
    return xvfb, wm


def run_once(path, env):
    """Returns (milliseconds to the first frame, peak resident KiB)."""
    env = dict(env, CHAROLIST_START_NS=str(time.clock_gettime_ns(time.CLOCK_MONOTONIC)))
    proc = subprocess.Popen([path], env=env, stdout=subprocess.PIPE,
                            stderr=subprocess.DEVNULL)
    out = proc.stdout.read().decode()
    _, status, usage = os.wait4(proc.pid, 0)
    proc.returncode = status
    for line in out.splitlines():
        if line.startswith("first-paint-ms "):
            return float(line.split()[1]), usage.ru_maxrss
    sys.exit(f"{path} printed no first-paint time (status {status})")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("program")
    parser.add_argument("bare")
    parser.add_argument("others", nargs="*")
    parser.add_argument("--display", type=int, default=41)
    parser.add_argument("--runs", type=int, default=21)
    args = parser.parse_args()

    xvfb, wm = start_x(args.display)
    data = tempfile.mkdtemp()
    runtime = tempfile.mkdtemp()
    env = dict(os.environ, DISPLAY=f":{args.display}", XDG_DATA_HOME=data,
               XDG_RUNTIME_DIR=runtime, CHAROLIST_QUIT_AFTER_FIRST_PAINT="1",
               DBUS_SESSION_BUS_ADDRESS="unix:path=/nonexistent")
    programs = [("bare", args.bare), ("program", args.program)]
    programs += [(f"other{i + 1}", path) for i, path in enumerate(args.others)]
    times = {name: [] for name, _ in programs}
    peaks = {name: [] for name, _ in programs}
    try:
        for _, path in programs:  # warm the file cache for all
            run_once(path, env)
        for _ in range(args.runs):
            for name, path in programs:
                ms, kib = run_once(path, env)
                times[name].append(ms)
                peaks[name].append(kib)
    finally:
        wm.terminate()
        wm.wait()
        xvfb.terminate()
        xvfb.wait()

    med = {k: statistics.median(v) for k, v in times.items()}
    for name, path in programs:
        print(f"{name:8s} median {med[name]:7.1f} ms  (min {min(times[name]):.1f}, "
              f"max {max(times[name]):.1f})  peak {max(peaks[name]) / 1024:.1f} MiB "
              f"(median {statistics.median(peaks[name]) / 1024:.1f})  {path}")
    for name, _ in programs[1:]:
        ratios = [p / b for p, b in zip(times[name], times["bare"])]
        print(f"{name}: ratio of medians {med[name] / med['bare']:.2f}  "
              f"(pairwise {min(ratios):.2f}-{max(ratios):.2f}), "
              f"{med[name] - med['bare']:+.1f} ms")

if __name__ == "__main__":
    main()
