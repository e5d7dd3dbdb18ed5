#!/bin/sh
# One skin on the screen held to the skin tool's renderer, pixel for pixel,
# in the real program under Xvfb and openbox: the client background (FORM),
# the title band and its close and minimise buttons, normal and under the
# mouse, the refresh button normal, hot and pressed, the log's frame, the
# panel of the six-rune row, and an open drop-down's
# frame with its see-through corners showing the window behind. Nothing here
# knows a measure of either skin: the places come from the skin's own dump.
# Screenshots stay in the build folder as e2e-skin-NAME-*.png.
# Usage: skin_pixels.sh PROGRAM BUILD_DIR NAME [SKIN]  (no SKIN: the program's own)
set -eu
. "$(dirname "$0")/lib.sh"
NAME=$3
SKIN=${4:-}
TOOL="$BUILD/charolist-skin"
RSKIN=${SKIN:---internal}
shot="$BUILD/e2e-skin-$NAME-main.png"

render() { # OUT SECTION OPTIONS...
    out=$1
    shift
    "$TOOL" render "$RSKIN" "$@" --out "$E2E_WORK/$out.png" >/dev/null ||
        fail "could not render $*"
}
crop() { # SCREENSHOT OUT X Y W H
    convert "$1" -crop "$5x$6+$3+$4" +repage "$E2E_WORK/$2.png"
}
# Fails unless the crop X Y W H of the screenshot equals the same crop of
# a rendered picture at RX RY; WHAT names it.
expect_same() { # SCREENSHOT RENDERED X Y W H RX RY WHAT
    crop "$1" screen-part "$3" "$4" "$5" "$6"
    crop "$E2E_WORK/$2.png" rendered-part "$7" "$8" "$5" "$6"
    e2e_expect_rendered "$E2E_WORK/screen-part.png" "$E2E_WORK/rendered-part.png" "$9"
}
# Blanks each rectangle ("X0,Y0 X1,Y1") alike in two pictures (a crop of
# the screen and the renderer's picture): where the screen shows what the
# renderer cannot know.
blank_alike() { # PICTURE PICTURE RECTANGLE...
    first=$1 second=$2
    shift 2
    for picture in "$first" "$second"; do
        for r in "$@"; do
            convert "$E2E_WORK/$picture.png" -fill '#FF00FF' -draw "rectangle $r" \
                "$E2E_WORK/$picture.png"
        done
    done
}
# Takes screenshots until CHECK (a command) succeeds, for up to 6 s.
until_shown() { # SCREENSHOT CHECK...
    target=$1
    shift
    i=0
    while :; do
        e2e_screenshot "$target"
        ("$@") >/dev/null 2>&1 && return 0
        i=$((i + 1))
        [ $i -gt 30 ] && { "$@"; fail "never shown: $*"; }
        sleep 0.2
    done
}

# What the title buttons measure in this skin: the close and minimise
# glyphs' frame sizes, the space between them and the right margin; the
# width of the log's frame, the length of a scroll arrow and its glyph's size.
measures=$("$TOOL" dump "$RSKIN" | python3 -c '
import json, sys
d = json.load(sys.stdin)
masks = {(m["SectionName"], m["KeyName"]): m for m in d["Masks"]}
c, m = masks[("GLOBALINFO", "BICONCLOSE")], masks[("GLOBALINFO", "BICONMIN")]
up = [s for s in d["Sections"] if s["SectionName"] == "SCROLLBTNTOP"][0]
arrow = masks.get(("SCROLLBTNTOP", "BORDERSMASK"))
length = max(16, arrow["FrameHeight"]) if up["ReservedBoolean"] and arrow else 16
glyph = masks[("SCROLLBTNTOP", "GLYPHMASK")]
print(c["FrameWidth"], c["FrameHeight"], m["FrameWidth"], d["SkinData"]["BISpace"],
      d["SkinData"]["BIRight"], masks[("EDIT", "BORDERSMASK")]["LeftWidth"], length,
      glyph["FrameWidth"], glyph["FrameHeight"])
') || fail "could not read the skin's measures"
set -- $measures
close_w=$1 button_h=$2 min_w=$3 space=$4 right_margin=$5 edit_border=$6 arrow_length=$7
gw=$8 gh=$9

e2e_start_x
e2e_start_openbox
if [ -n "$SKIN" ]; then
    e2e_start_program "$PROGRAM" --skin "$SKIN"
else
    e2e_start_program "$PROGRAM"
fi
e2e_wait_for_backs "$shot"
xdotool mousemove 0 0
geometry=$(xwininfo -id "$E2E_WID")
WX=$(e2e_value "$geometry" 'Absolute upper-left X')
WY=$(e2e_value "$geometry" 'Absolute upper-left Y')
W=$(e2e_value "$geometry" Width)
H=$(e2e_value "$geometry" Height)
cx=$((E2E_X0 - 24)); cy=$((E2E_Y0 - 48)) # the client area's corner
left=$((cx - WX)); top=$((cy - WY))
border=$left title_band=$((left + 19))

# The client background, and the title band over it (the window is active).
render form FORM --size "${W}x$H"
render title FORMTITLE --size "${W}x$title_band" --state 1 --parent-image "$E2E_WORK/form.png"
expect_same "$shot" form $((cx + 2)) $((cy + 48)) 20 300 $((left + 2)) $((top + 48)) \
    "the client background (FORM)"

# The title buttons: centred in the band (two rows lower when short), the
# close button outermost.
by=$(((title_band - button_h) / 2))
[ "$button_h" -lt 16 ] && by=$((by + 2))
close_x=$((W - right_margin - border - close_w))
min_x=$((close_x - space - min_w))
# The band between the caption's end and the buttons shows the title alone.
expect_same "$shot" title $((WX + min_x - 10)) "$WY" 8 "$title_band" $((min_x - 10)) 0 \
    "the title band (FORMTITLE over FORM)"
button() { # SCREENSHOT KEY X STATE
    render glyph GLOBALINFO --glyph "$2" --state "$4" --parent-image "$E2E_WORK/title.png" \
        --offset "$3,$by"
    crop "$1" screen-button $((WX + $3)) $((WY + by)) "$(identify -format %w "$E2E_WORK/glyph.png")" \
        "$button_h"
    e2e_expect_rendered "$E2E_WORK/screen-button.png" "$E2E_WORK/glyph.png" "$2 in state $4"
}
button "$shot" BICONCLOSE $close_x 0
button "$shot" BICONMIN $min_x 0
xdotool mousemove $((WX + close_x + close_w / 2)) $((WY + by + button_h / 2))
until_shown "$BUILD/e2e-skin-$NAME-close-hot.png" button "$BUILD/e2e-skin-$NAME-close-hot.png" \
    BICONCLOSE $close_x 1
convert "$BUILD/e2e-skin-$NAME-close-hot.png" -crop "${W}x$((top + 4))+$WX+$WY" +repage \
    -filter point -resize 400% "$BUILD/e2e-skin-$NAME-title-400.png"

# The refresh button (114 x 27 at 128, 510): its frame above and below the
# caption and the focus frame that a press brings, in each state; the fade
# ends in the hot look.
bx=$((cx + 128)); by_=$((cy + 510))
refresh() { # SCREENSHOT STATE
    render button BUTTON --size 114x27 --state "$2" --parent-image "$E2E_WORK/form.png" \
        --offset "$((bx - WX)),$((by_ - WY))"
    # Its frame: what lies around the caption and the focus frame a press
    # brings, the middle blanked alike in both pictures.
    crop "$1" screen-button $bx $by_ 114 27
    blank_alike screen-button button '3,2 110,24'
    e2e_expect_rendered "$E2E_WORK/screen-button.png" "$E2E_WORK/button.png" \
        "the refresh button's frame in state $2"
}
xdotool mousemove $((bx + 57)) $((by_ + 80))
until_shown "$BUILD/e2e-skin-$NAME-button-0.png" refresh "$BUILD/e2e-skin-$NAME-button-0.png" 0
xdotool mousemove $((bx + 57)) $((by_ + 13))
until_shown "$BUILD/e2e-skin-$NAME-button-1.png" refresh "$BUILD/e2e-skin-$NAME-button-1.png" 1
xdotool mousedown 1
until_shown "$BUILD/e2e-skin-$NAME-button-2.png" refresh "$BUILD/e2e-skin-$NAME-button-2.png" 2
# Released outside, so that it does nothing.
xdotool mousemove $((bx + 57)) $((by_ + 80)) mouseup 1

# The log (431 x 433 at 354, 48): its frame's outer two lines all round.
lx=$((cx + 354)); ly=$((cy + 48))
render edit EDIT --size 431x433 --parent-image "$E2E_WORK/form.png" \
    --offset "$((lx - WX)),$((ly - WY))"
e2e_screenshot "$shot"
crop "$shot" screen-edit $lx $ly 431 433
cp "$E2E_WORK/edit.png" "$E2E_WORK/edit-frame.png"
blank_alike screen-edit edit-frame '2,2 428,430'
# Plain lines: a few colours are enough to show it is no flat fill.
e2e_expect_rendered "$E2E_WORK/screen-edit.png" "$E2E_WORK/edit-frame.png" "the log's frame" 3

# The log's scroll bar inside its frame, 16 wide: its up arrow, the button
# and the arrow's glyph centred on it. The bar is drawn over what it held
# before, which what it lets through shows: it is laid over the screen
# itself, and the 3 x 3 pixels in each corner (a rounded corner's
# see-through pixels show the bar's earlier picture) are left out.
sx=$((431 - edit_border - 16)); sy=$edit_border
render arrow SCROLLBTNTOP --size "16x$arrow_length" --parent-image "$shot" \
    --offset "$((lx + sx)),$((ly + sy))"
render glyph SCROLLBTNTOP --glyph GLYPHMASK --parent-image "$E2E_WORK/arrow.png" \
    --offset "$(((16 - gw) / 2)),$(((arrow_length - gh) / 2))"
convert "$E2E_WORK/arrow.png" "$E2E_WORK/glyph.png" \
    -geometry "+$(((16 - gw) / 2))+$(((arrow_length - gh) / 2))" -composite "$E2E_WORK/arrow.png"
crop "$shot" screen-arrow $((lx + sx)) $((ly + sy)) 16 "$arrow_length"
blank_alike screen-arrow arrow '0,0 2,2' '13,0 15,2' \
    "0,$((arrow_length - 3)) 2,$((arrow_length - 1))" \
    "13,$((arrow_length - 3)) 15,$((arrow_length - 1))"
e2e_expect_rendered "$E2E_WORK/screen-arrow.png" "$E2E_WORK/arrow.png" "the log's up arrow" 10

# The six-rune spread through the menu bar's keys; its panel (333 x 77 at
# 16, 136) shows in the gaps between the slots, which fill its height.
xdotool key alt
sleep 0.2
xdotool key Right Down Up Return
px=$((cx + 16)); py=$((cy + 136))
render panel PANEL --size 333x77 --parent-image "$E2E_WORK/form.png" \
    --offset "$((px - WX)),$((py - WY))"
gaps() { # PICTURE X Y OUT: the five gaps between the slots, side by side
    convert "$1" $(for k in 0 1 2 3 4; do printf ' ( -clone 0 -crop 3x77+%d+%d )' \
        $(($2 + 53 + 56 * k)) "$3"; done) -delete 0 +repage +append "$E2E_WORK/$4.png"
}
panel() {
    gaps "$1" $px $py screen-gaps
    gaps "$E2E_WORK/panel.png" 0 0 panel-gaps
    e2e_expect_rendered "$E2E_WORK/screen-gaps.png" "$E2E_WORK/panel-gaps.png" \
        "the panel between the slots"
}
until_shown "$BUILD/e2e-skin-$NAME-six.png" panel "$BUILD/e2e-skin-$NAME-six.png"

# The "Расклад..." drop-down, opened by the keys: its frame is the MAINMENU
# picture at its size, and each corner pixel its outline leaves out shows
# the window behind it.
# What lies behind it is shot with the bar item already lit.
before="$BUILD/e2e-skin-$NAME-bar.png"
xdotool key alt
sleep 0.2
xdotool key Right
sleep 0.4
e2e_screenshot "$before"
xdotool key Down
i=0
PW=0
while :; do
    for w in $(xdotool search --onlyvisible --classname charolist 2>/dev/null); do
        [ "$w" = "$E2E_WID" ] && continue
        g=$(xwininfo -id "$w")
        [ "$(e2e_value "$g" Width)" -lt 250 ] || continue
        PX=$(e2e_value "$g" 'Absolute upper-left X'); PY=$(e2e_value "$g" 'Absolute upper-left Y')
        PW=$(e2e_value "$g" Width); PH=$(e2e_value "$g" Height)
    done
    [ "$PW" -gt 0 ] && break
    i=$((i + 1))
    [ $i -gt 30 ] && fail "the drop-down did not open"
    sleep 0.2
done
sleep 0.4
menu="$BUILD/e2e-skin-$NAME-menu.png"
timeout 30 import -window root "$menu" || fail "import failed"
render dropdown MAINMENU --size "${PW}x$PH" --outline-color 0xFF00FF
# The frame all round, its items and its corners blanked alike (the
# corners are checked one by one below).
crop "$menu" screen-dropdown "$PX" "$PY" "$PW" "$PH"
cp "$E2E_WORK/dropdown.png" "$E2E_WORK/frame.png"
blank_alike screen-dropdown frame "3,3 $((PW - 4)),$((PH - 4))" '0,0 1,1' \
    "$((PW - 2)),0 $((PW - 1)),1" "0,$((PH - 2)) 1,$((PH - 1))" \
    "$((PW - 2)),$((PH - 2)) $((PW - 1)),$((PH - 1))"
e2e_expect_rendered "$E2E_WORK/screen-dropdown.png" "$E2E_WORK/frame.png" "the drop-down's frame" 3
see_through=0
for corner in "0 0" "$((PW - 1)) 0" "0 $((PH - 1))" "$((PW - 1)) $((PH - 1))" "1 0" "0 1"; do
    set -- $corner
    drawn=$(e2e_pixel "$E2E_WORK/dropdown.png" "$1" "$2")
    shown=$(e2e_pixel "$menu" $((PX + $1)) $((PY + $2)))
    if [ "$drawn" = "#FF00FF" ]; then
        see_through=$((see_through + 1))
        [ "$shown" = "$(e2e_pixel "$before" $((PX + $1)) $((PY + $2)))" ] ||
            fail "the drop-down's see-through pixel $1,$2 shows $shown, not the window behind"
    else
        [ "$shown" = "$drawn" ] || fail "the drop-down's pixel $1,$2 is $shown, not $drawn"
    fi
done
[ $see_through -gt 0 ] || fail "the drop-down has no see-through corner pixel"
xdotool key Escape Escape
convert "$menu" -crop "$((PW + 8))x$((PH + 8))+$((PX - 4))+$((PY - 4))" +repage -filter point \
    -resize 400% "$BUILD/e2e-skin-$NAME-menu-400.png"

e2e_close_and_expect_exit_0
echo "e2e skin pixels ($NAME): background, title, 2 title buttons, refresh button in 3 states, log frame and up arrow, panel, drop-down frame and $see_through see-through corner pixels as rendered"
