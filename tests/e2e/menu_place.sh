#!/bin/sh
# Drop-down menus of the main window open under their bar item, also after
# the help window was opened from the keyboard, under openbox. Qt's idea of
# where the window sits was lost now and then while it was being mapped, so
# the program is started several times.
# Usage: menu_place.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

e2e_start_x
e2e_start_openbox

# The first bar item starts at the skin's border (3) and its menu opens under
# the title band (19) and the menu band (18).
BORDER=3; TITLE=19; BAND=18

run=1
while [ $run -le 6 ]; do
    xdotool mousemove 0 0
    e2e_start_program "$PROGRAM"
    sleep 2
    geometry=$(xwininfo -id "$E2E_WID")
    WX=$(e2e_value "$geometry" 'Absolute upper-left X')
    WY=$(e2e_value "$geometry" 'Absolute upper-left Y')
    # Third menu, its first item: the help window.
    xdotool key alt
    sleep 0.3
    xdotool key Right Right Down Return
    sleep 1
    xdotool search --onlyvisible --name '^Справка' >/dev/null || fail "run $run: no help window"
    xdotool mousemove $((WX + BORDER + 18)) $((WY + BORDER + TITLE + BAND / 2)) click 1
    sleep 0.7
    popup=""
    for w in $(xdotool search --onlyvisible --class charolist); do
        if [ "$(xdotool getwindowname "$w")" = charolist ]; then popup=$w; fi
    done
    [ -n "$popup" ] || fail "run $run: no drop-down menu opened"
    at=$(xwininfo -id "$popup")
    got="$(e2e_value "$at" 'Absolute upper-left X'),$(e2e_value "$at" 'Absolute upper-left Y')"
    want="$((WX + BORDER)),$((WY + BORDER + TITLE + BAND))"
    [ "$got" = "$want" ] || fail "run $run: the menu opened at $got, not $want under the window at $WX,$WY"
    kill "$E2E_APID"
    wait "$E2E_APID" 2>/dev/null || true
    E2E_APID=""
    run=$((run + 1))
done
echo "menu_place: the menu opened under its bar item in 6 runs"
