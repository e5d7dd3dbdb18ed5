#!/bin/sh
# The live preview of a skin named with --skin, in the real program under
# Xvfb: with a rune open, the reading log's colour is changed in the skin
# folder; the log shows the new colour within a second and the rune stays
# open. A change that does not load is told on standard error and the
# screen keeps the skin in force.
# Usage: live_skin.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

skin="$E2E_WORK/Береста проба"
mkdir -p "$skin"
cp "$BUILD/generated/skin/Options.dat" "$BUILD/generated/skin/Master.bmp" \
    "$BUILD/generated/skin/ButtonHuge.bmp" "$BUILD/generated/skin/Bg_b.jpg" "$skin/"

e2e_start_x
e2e_start_program "$PROGRAM" --skin "$skin"
e2e_wait_for_backs "$BUILD/e2e-live-start.png"

# The log's inside, clear of its border and scroll bars (it lies at
# (354, 48) of the client area, 431 x 433; Image1 is at (24, 48)).
lx=$((E2E_X0 - 24 + 354 + 10)); ly=$((E2E_Y0 - 48 + 48 + 10))
red() { e2e_count_colour "$1" $lx $ly 300 300 "#FF0000" || true; } # grep -c ends 1 on none

# One rune open.
xdotool mousemove $((E2E_X0 + 26)) $((E2E_Y0 + 38)) click 1
sleep 0.5
[ "$(red "$BUILD/e2e-live-start.png")" -eq 0 ] || fail "the log is red before the change"

# The log's colour in the skin becomes pure red (0x0000FF as BGR).
sed -i '/^\[EDIT\]/,/^\[/ s/^COLOR=.*/COLOR=255/' "$skin/Options.dat"
i=0
while :; do
    sleep 0.2
    e2e_screenshot "$BUILD/e2e-live-changed.png"
    n=$(red "$BUILD/e2e-live-changed.png")
    [ "$n" -gt 60000 ] && break
    i=$((i + 1))
    [ $i -gt 10 ] && fail "the log did not turn red within 2 s ($n red pixels)"
done
backs=$("$E2E_TOOLS/charolist-e2e-find" "$BUILD/e2e-live-changed.png" \
    "$E2E_BUILD/generated/art/back.bmp" | grep -c . || true)
[ "$backs" -eq 23 ] || fail "the opened rune did not stay open ($backs backs on screen)"

# A broken change: the error on standard error, the red log stays.
sed -i '/^\[EDIT\]/,/^\[/ s/^COLOR=255/COLOR=255\nGRADIENTDATA=1;x;3;4;5/' "$skin/Options.dat"
i=0
until grep -q "did not load, the skin in force stays" "$E2E_WORK/program.log"; do
    sleep 0.2
    i=$((i + 1))
    [ $i -gt 15 ] && fail "no error on standard error for the broken skin"
done
e2e_screenshot "$BUILD/e2e-live-broken.png"
[ "$(red "$BUILD/e2e-live-broken.png")" -gt 60000 ] || fail "the skin in force changed"
echo "e2e live skin: $n red pixels in the log after the change, $backs backs"
