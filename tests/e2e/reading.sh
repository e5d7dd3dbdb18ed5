#!/bin/sh
# A one-rune reading in the real program under Xvfb: clicking a face-down
# slot turns it face up (a red glyph) and puts its text into the log.
# Usage: reading.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

e2e_start_x
e2e_start_program "$PROGRAM"
e2e_wait_for_backs "$BUILD/e2e-reading-before.png"

# Image7 is the second slot of the second row; the log's inside starts
# 330 pixels right of Image1 (plus its 2-pixel frame).
sx=$((E2E_X0 + 64)); sy=$((E2E_Y0 + 88))
lx=$((E2E_X0 + 330 + 4)); ly=$((E2E_Y0 + 4))
# The top of the log: parchment only while it is empty.
parchment='#D3B681'
[ "$(e2e_count_colour "$BUILD/e2e-reading-before.png" $lx $ly 300 120 $parchment)" -eq 36000 ] ||
    fail "the log is not empty at start"

xdotool mousemove $((sx + 26)) $((sy + 38)) click 1
i=0
while :; do
    sleep 0.2
    e2e_screenshot "$BUILD/e2e-reading-after.png"
    red=$(e2e_count_colour "$BUILD/e2e-reading-after.png" $sx $sy 53 77 '#FF0000')
    text=$((36000 - $(e2e_count_colour "$BUILD/e2e-reading-after.png" $lx $ly 300 120 $parchment)))
    [ "$red" -gt 100 ] && [ "$text" -gt 200 ] && break
    i=$((i + 1))
    [ $i -gt 15 ] && fail "after the click: $red red pixels in the slot, $text text pixels in the log"
done

e2e_close_and_expect_exit_0
echo "e2e reading: the slot shows a red glyph ($red pixels), the log holds text ($text pixels)"
