#!/bin/sh
# The help and author windows opened from the real program's menu under Xvfb,
# and the main window's headings: the prompt in the skin's dark brown with a
# cream halo, the help box in parchment, the author's ornament on screen.
# Screenshots, and the headings and the author window at 400 %, are left in
# the build folder for looking at.
# Usage: companions.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

e2e_start_x
e2e_start_program "$PROGRAM"
e2e_wait_for_backs "$BUILD/e2e-companions-main.png"
shot="$BUILD/e2e-companions-main.png"

# The client area's corner lies 24, 48 before the first slot.
cx=$((E2E_X0 - 24)); cy=$((E2E_Y0 - 48))
# sLabelFX1 at 56, 8 and sLabelFX2 at 488, 8 of the client area.
convert "$shot" -crop "260x34+$((cx + 52))+$((cy + 4))" +repage -filter point -resize 400% \
    "$BUILD/e2e-heading1-400.png"
convert "$shot" -crop "170x40+$((cx + 484))+$((cy + 4))" +repage -filter point -resize 400% \
    "$BUILD/e2e-heading2-400.png"
brown=$(e2e_count_colour "$shot" $((cx + 56)) $((cy + 8)) 252 27 '#372107' || true)
# The halo: light pixels tinted towards cream (red well above blue).
halo=$(convert "$shot" -crop "252x27+$((cx + 56))+$((cy + 8))" +repage -depth 8 txt:- |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
    awk '$1 >= 230 && $3 <= $1 - 8 { n++ } END { print n + 0 }')
[ "$brown" -gt 100 ] || fail "the prompt has only $brown dark brown pixels"
prompt=$brown
[ "$halo" -gt 50 ] || fail "the prompt has only $halo halo pixels"

# The menu bar runs along the top of the window; "О программе..." is its
# third item, its entries 20 pixels apart.
mx=$((cx + 156)); my=$((cy - 10))
open_item() {
    xdotool mousemove $mx $my click 1
    sleep 0.5
    xdotool mousemove $((mx + 10)) $((my + 20 * $1)) click 1
}
# Waits for a visible window of the program of the given size; sets WIN,
# WX and WY.
wait_for_window() {
    i=0
    while :; do
        for w in $(xdotool search --onlyvisible --classname charolist 2>/dev/null); do
            geometry=$(xwininfo -id "$w")
            width=$(e2e_value "$geometry" "Width")
            height=$(e2e_value "$geometry" "Height")
            if [ "$width" = "$1" ] && [ "$height" = "$2" ]; then
                WIN=$w
                WX=$(e2e_value "$geometry" "Absolute upper-left X")
                WY=$(e2e_value "$geometry" "Absolute upper-left Y")
                return 0
            fi
        done
        i=$((i + 1))
        [ $i -gt 30 ] && fail "no $1 x $2 window appeared"
        sleep 0.2
    done
}

# Under Xvfb a plain grab of the root window can miss windows that were
# mapped over the main one; grabbing through the window tree sees them.
shoot() {
    timeout 30 import -window root "$1" || fail "import failed"
}

# Takes screenshots into $1 until the rectangle $2,$3 $4 x $5 holds more
# than $7 pixels of colour $6; sets COUNT.
wait_for_colour() {
    i=0
    while :; do
        shoot "$1"
        COUNT=$(e2e_count_colour "$1" "$2" "$3" "$4" "$5" "$6" || true)
        [ "$COUNT" -gt "$7" ] && return 0
        i=$((i + 1))
        [ $i -gt 30 ] && fail "only $COUNT pixels of $6 at $2,$3 $4 x $5 in $1"
        sleep 0.2
    done
}

# The windows wear the skin's frame: a border all round (4 on the sizeable
# help window, 3 on the fixed author window) and a 19-pixel title band.
open_item 1
wait_for_window $((592 + 8)) $((405 + 4 + 19 + 4))
[ "$(xdotool getwindowname "$WIN")" = "Справка..." ] || fail "the help window has another caption"
WX=$((WX + 4)); WY=$((WY + 4 + 19))
shot="$BUILD/e2e-companions-help.png"
wait_for_colour "$shot" "$WX" "$WY" 570 405 '#D3B681' 150000
parchment=$COUNT
# Its text: dark pixels on the parchment.
text=$(convert "$shot" -crop "560x395+$((WX + 4))+$((WY + 4))" +repage -depth 8 txt:- |
    sed -n 's/.*(\([0-9]*\),\([0-9]*\),\([0-9]*\)).*/\1 \2 \3/p' |
    awk '$1 < 100 && $2 < 100 && $3 < 100 { n++ } END { print n + 0 }')
[ "$text" -gt 2000 ] || fail "the help box shows only $text text pixels"

open_item 3
wait_for_window $((193 + 6)) $((214 + 3 + 19 + 3))
WX=$((WX + 3)); WY=$((WY + 3 + 19))
shot="$BUILD/e2e-companions-author.png"
wait_for_colour "$shot" $((WX + 56)) $((WY + 16)) 80 80 '#99CDFF' 800
convert "$shot" -crop "193x214+$WX+$WY" +repage -filter point -resize 400% \
    "$BUILD/e2e-author-400.png"
found=$("$E2E_TOOLS/charolist-e2e-find" "$shot" "$BUILD/generated/ornament/ornament.bmp")
[ "$found" = "$((WX + 56)) $((WY + 16))" ] || fail "the ornament is not at its place: $found"
brown=$(e2e_count_colour "$shot" $((WX + 40)) $((WY + 104)) 120 44 '#372107' || true)
[ "$brown" -gt 50 ] || fail "the author's labels have only $brown dark brown pixels"
link=$(e2e_count_colour "$shot" $((WX + 33)) $((WY + 184)) 127 25 '#0000FF' || true)
[ "$link" -gt 50 ] || fail "the link has only $link blue pixels"

e2e_close_and_expect_exit_0
echo "e2e companions: prompt $prompt/$halo brown/halo pixels, help box $parchment parchment, ornament at $found"
