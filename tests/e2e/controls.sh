#!/bin/sh
# The skinned button, log and panel in the real program under Xvfb: the
# button's picture changes when the mouse comes and when it is pressed; the
# six-rune row shows the panel's picture between its slots; scrolling a long
# log moves its slider. The screenshots (and 400 % crops) stay in the build
# folder to be looked at.
# Usage: controls.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

e2e_start_x
e2e_start_program "$PROGRAM"
e2e_wait_for_backs "$BUILD/e2e-controls-start.png"

# Places in the window's client area, from Image1 at (24, 48).
bx=$((E2E_X0 - 24 + 128)); by=$((E2E_Y0 - 48 + 510)) # sButton1, 114 x 27
px=$((E2E_X0 - 24 + 16)); py=$((E2E_Y0 - 48 + 136))  # sPanel1, 333 x 77
vx=$((E2E_X0 - 24 + 354 + 431 - 19)); vy=$((E2E_Y0 - 48 + 48 + 3)) # the log's bar

crop() { # screenshot name x y w h
    convert "$BUILD/e2e-controls-$1.png" -crop "$4x$5+$2+$3" +repage "$BUILD/e2e-controls-$1-crop.png"
    convert "$BUILD/e2e-controls-$1-crop.png" -filter point -resize 400% "$BUILD/e2e-controls-$1-400.png"
}
differing() { # two crops
    compare -metric AE "$BUILD/e2e-controls-$1-crop.png" "$BUILD/e2e-controls-$2-crop.png" null: 2>&1 || true
}

# Somewhere else first, so the button starts unhovered.
xdotool mousemove $((bx + 57)) $((by + 120))
sleep 0.4
e2e_screenshot "$BUILD/e2e-controls-normal.png"
crop normal $bx $by 114 27
xdotool mousemove $((bx + 57)) $((by + 13))
sleep 0.6 # the fade in takes 20 frames of 10 ms
e2e_screenshot "$BUILD/e2e-controls-hover.png"
crop hover $bx $by 114 27
xdotool mousedown 1
sleep 0.4
e2e_screenshot "$BUILD/e2e-controls-pressed.png"
crop pressed $bx $by 114 27
xdotool mouseup 1
d1=$(differing normal hover); d2=$(differing hover pressed)
[ "${d1%% *}" -gt 300 ] || fail "hovering changed only $d1 pixels of the button"
[ "${d2%% *}" -gt 100 ] || fail "pressing changed only $d2 pixels of the button"

# The six-rune spread, through the keyboard: the menu bar, its second menu,
# its last item.
xdotool key alt
sleep 0.2
xdotool key Right Down Up Return
i=0
while :; do
    sleep 0.3
    e2e_screenshot "$BUILD/e2e-controls-six.png"
    # The slots are 56 apart and 53 wide: the panel shows in the gaps.
    gap=$(convert "$BUILD/e2e-controls-six.png" -crop "3x69+$((px + 53))+$((py + 4))" +repage \
        -unique-colors txt:- | grep -c '#' || true)
    [ "$gap" -gt 3 ] && break
    i=$((i + 1))
    [ $i -gt 10 ] && fail "no panel picture between the six slots ($gap colours in a gap)"
done
crop six $px $py 333 77

# Open the six runes: the log grows long; then scroll it.
for n in 0 1 2 3 4 5; do
    xdotool mousemove $((px + 56 * n + 26)) $((py + 38)) click 1
    sleep 0.2
done
sleep 0.3
e2e_screenshot "$BUILD/e2e-controls-log.png"
crop log $vx $vy 16 411
xdotool mousemove $((vx - 200)) $((vy + 200)) click 5 click 5 click 5 click 5 click 5
sleep 0.4
e2e_screenshot "$BUILD/e2e-controls-scrolled.png"
crop scrolled $vx $vy 16 411
d3=$(differing log scrolled)
[ "${d3%% *}" -gt 50 ] || fail "scrolling the log moved nothing in its bar ($d3 pixels)"

e2e_close_and_expect_exit_0
echo "e2e controls: button hover $d1 px, press $d2 px, panel gap $gap colours, scrolled bar $d3 px"
