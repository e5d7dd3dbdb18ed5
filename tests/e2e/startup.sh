#!/bin/sh
# The real program under Xvfb: its window appears, the 24 grid slots show the
# rune back at the grid's places, and closing the window ends it with 0. The
# program does not link Qt Multimedia itself, and loads none of Qt's image
# plugins (it names the format of every picture it reads).
# Usage: startup.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

# Qt Multimedia comes with the first wave, from the sound module: linked
# into the program it would slow every start.
if readelf -d "$PROGRAM" | grep -q "NEEDED.*Multimedia"; then
    fail "the program itself needs Qt Multimedia"
fi

e2e_start_x
e2e_start_program "$PROGRAM"

# The grid relative to its first slot: rows 88 apart, slots 64 apart, the
# last row of four shifted by 32.
expected=$(for row in 0 1 2 3; do for col in 0 1 2 3 4; do
    echo "$((col * 64)) $((row * 88))"; done; done
    for col in 0 1 2 3; do echo "$((32 + col * 64)) 352"; done)
expected=$(echo "$expected" | sort)

e2e_wait_for_backs "$BUILD/e2e-startup.png"
found=$E2E_FOUND
x0=$E2E_X0
y0=$E2E_Y0
relative=$(echo "$found" | awk -v x="$x0" -v y="$y0" '{ print $1 - x, $2 - y }' | sort)
[ "$relative" = "$expected" ] || fail "the backs are not laid out as the grid: $found"

# By now the icon and the companion windows, made after the first paint,
# are there too.
if grep -q "/imageformats/" "/proc/$E2E_APID/maps"; then
    fail "the program loaded Qt's image plugins: $(grep -o '[^/]*imageformats/[^ ]*' "/proc/$E2E_APID/maps" | sort -u | tr '\n' ' ')"
fi

e2e_close_and_expect_exit_0
echo "e2e startup: 24 backs in the grid, clean exit"
