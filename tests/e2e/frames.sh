#!/bin/sh
# The main window's skinned frame under Xvfb with a window manager (openbox)
# running: no frame of the manager's, the outer size is the client size plus
# the skin's frame, the client background is the FORM picture, the outline
# leaves the corner see-through, the close button lights up under the mouse
# and a click on it ends the program with status 0. Screenshots are left in
# the build folder, the title band also at 400 %.
# Usage: frames.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"
SKIN_TOOL="$BUILD/charolist-skin"
SKIN_DIR="$BUILD/generated/skin"

e2e_start_x
# A green no wooden frame has behind every window; kept from a screenshot
# taken before anything is mapped.
convert -size 8x8 xc:'#20C040' "$E2E_WORK/green.png"
display -window root "$E2E_WORK/green.png" 2>/dev/null || true
e2e_screenshot "$E2E_WORK/root.png"
e2e_start_openbox

e2e_start_program "$PROGRAM"
e2e_wait_for_backs "$BUILD/e2e-frames-main.png"
shot="$BUILD/e2e-frames-main.png"

geometry=$(xwininfo -id "$E2E_WID")
WX=$(e2e_value "$geometry" 'Absolute upper-left X')
WY=$(e2e_value "$geometry" 'Absolute upper-left Y')
W=$(e2e_value "$geometry" Width)
H=$(e2e_value "$geometry" Height)

# No decorations asked of the window manager, and none given: the window
# fills the manager's frame window exactly.
hints=$(xprop -id "$E2E_WID" _MOTIF_WM_HINTS)
decorations=$(echo "$hints" | sed -n 's/.*= *\([0-9a-fx]*\), *\([0-9a-fx]*\), *\([0-9a-fx]*\).*/\3/p')
flags=$(echo "$hints" | sed -n 's/.*= *\([0-9a-fx]*\),.*/\1/p')
[ -n "$flags" ] && [ $((flags & 2)) -ne 0 ] && [ "$((decorations))" -eq 0 ] ||
    fail "the window asks for decorations: $hints"
parent=$(xwininfo -tree -id "$E2E_WID" | sed -n 's/ *Parent window id: \(0x[0-9a-f]*\).*/\1/p')
outer=$(xwininfo -id "$parent")
[ "$(e2e_value "$outer" Width)x$(e2e_value "$outer" Height)" = "${W}x$H" ] &&
    [ "$(e2e_value "$outer" 'Absolute upper-left X'),$(e2e_value "$outer" 'Absolute upper-left Y')" = "$WX,$WY" ] ||
    fail "the window manager framed the ${W}x$H window at $WX,$WY: $outer"

# The client area (792 x 546) has its corner 24, 48 before the first rune
# slot; around it lie the skin's border (3), title band (19) and the 18-pixel menu band.
cx=$((E2E_X0 - 24)); cy=$((E2E_Y0 - 48))
left=$((cx - WX)); top=$((cy - WY))
right=$((WX + W - cx - 792)); bottom=$((WY + H - cy - 546))
[ "$left" -eq 3 ] && [ "$right" -eq 3 ] && [ "$bottom" -eq 3 ] ||
    fail "the border around the client is $left/$right/$bottom, not 3"
band=$((top - 3 - 19))
[ "$band" -eq 18 ] || fail "the menu band is $band pixels high, not the menu height less 1"

# The client background between the controls is the FORM picture, tiled
# from the window's corner: the strip left of the rune slots, the whole
# height of the slots.
"$SKIN_TOOL" render --internal FORM --size "${W}x$H" --out "$E2E_WORK/form.png" ||
    fail "could not render the FORM section"
convert "$shot" -crop "20x300+$((cx + 2))+$((cy + 48))" +repage "$E2E_WORK/strip-screen.png"
convert "$E2E_WORK/form.png" -crop "20x300+$((left + 2))+$((top + 48))" +repage \
    "$E2E_WORK/strip-form.png"
e2e_expect_rendered "$E2E_WORK/strip-screen.png" "$E2E_WORK/strip-form.png" \
    "the client background (FORM)"

# The outer corner pixel is cut from the window's outline as the X server
# keeps it, and the screen shows the root there.
[ "$("$E2E_TOOLS/charolist-e2e-shape" "$E2E_WID" 0 0)" = out ] ||
    fail "the outline keeps the corner pixel"
[ "$("$E2E_TOOLS/charolist-e2e-shape" "$E2E_WID" 1 3)" = in ] ||
    fail "the outline leaves out the border next to the corner"
# Grabbed through the window tree, which honours the windows' outlines; a
# grab of Xvfb's frame buffer (xwd) still shows the corner black.
timeout 30 import -window root "$E2E_WORK/tree.png" || fail "import failed"
behind=$(e2e_pixel "$E2E_WORK/root.png" "$WX" "$WY")
corner=$(e2e_pixel "$E2E_WORK/tree.png" "$WX" "$WY")
frame=$(e2e_pixel "$E2E_WORK/tree.png" $((WX + 1)) $((WY + 3)))
[ "$corner" = "$behind" ] || fail "the corner pixel is $corner, the root behind it $behind"
[ "$frame" != "$behind" ] || fail "the border next to the corner shows the root too"

# The close button: outermost, 17 x 16, its right edge on the border, centred
# in the 22 rows of border and title. Frame 1 of its mask (the second 17
# columns of the skin's master picture) shows under the mouse; its magenta
# pixels let the title band through.
bx=$((WX + W - 3 - 17)); by=$((WY + (3 + 19 - 16) / 2))
convert "$SKIN_DIR/Master.bmp" -crop 17x16+17+0 +repage -transparent '#FF00FF' "$E2E_WORK/hot.png"
convert "$SKIN_DIR/Master.bmp" -crop 17x16+0+0 +repage -transparent '#FF00FF' "$E2E_WORK/normal.png"
button_is() {
    convert "$2" -crop "17x16+$bx+$by" +repage "$E2E_WORK/button.png"
    convert "$E2E_WORK/button.png" "$E2E_WORK/$1.png" -composite "$E2E_WORK/laid.png"
    [ "$(compare -metric AE "$E2E_WORK/button.png" "$E2E_WORK/laid.png" null: 2>&1 || true)" = 0 ]
}
button_is normal "$shot" || fail "the close button does not show its normal frame"
xdotool mousemove $((bx + 8)) $((by + 8))
i=0
while :; do
    e2e_screenshot "$BUILD/e2e-frames-hot.png"
    button_is hot "$BUILD/e2e-frames-hot.png" && break
    i=$((i + 1))
    [ $i -gt 30 ] && fail "the close button does not light up under the mouse"
    sleep 0.2
done
convert "$BUILD/e2e-frames-hot.png" -crop "${W}x$top+$WX+$WY" +repage -filter point -resize 400% \
    "$BUILD/e2e-frames-title-400.png"

# A click on it ends the program as a close by the window manager does.
xdotool click 1
e2e_expect_exit_0 "a click on its close button"
echo "e2e frames: ${W}x$H window, menu band $band, corner $corner over $behind, close button lit and obeyed"
