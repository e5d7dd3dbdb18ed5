#!/bin/sh
# Readings by the keys alone in the real program under Xvfb and openbox:
# a rune of the one-rune spread opened with Space; then the six-rune spread
# chosen from the menu by the keys, its six runes opened with the arrows and
# Enter, and the reading saved through the save dialog by the keys; the
# saved file holds the six runes. Screenshots stay in
# the build folder as e2e-keyboard-*.png.
# Usage: keyboard.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

e2e_start_x
e2e_start_openbox
e2e_start_program "$PROGRAM"
e2e_wait_for_backs "$BUILD/e2e-keyboard-start.png"
cx=$((E2E_X0 - 24)); cy=$((E2E_Y0 - 48))

# Waits until the slot whose corner lies at X Y shows a red glyph.
wait_for_red() { # SCREENSHOT X Y WHAT
    i=0
    while :; do
        sleep 0.2
        e2e_screenshot "$1"
        red=$(e2e_count_colour "$1" "$2" "$3" 53 77 '#FF0000' || true)
        [ "$red" -gt 100 ] && return 0
        i=$((i + 1))
        [ $i -gt 15 ] && fail "$4: $red red pixels in the slot"
    done
}

# The log has the keys at first; Shift+Tab reaches the runes; Space opens
# the first.
xdotool key shift+Tab
sleep 0.2
xdotool key space
wait_for_red "$BUILD/e2e-keyboard-space.png" "$E2E_X0" "$E2E_Y0" "Space on the first slot"

# "Расклад..." (the second menu of the bar), its last item "Шесть рун...".
xdotool key alt
sleep 0.2
xdotool key Right Down Up Return
sleep 0.5
# The row of six lies in the panel at 16, 136; the field keeps the keys and
# its mark moves to the row's first slot.
row_x=$((cx + 16)); row_y=$((cy + 136))
xdotool key Home Return
for k in 1 2 3 4 5; do
    sleep 0.2
    xdotool key Right Return
done
wait_for_red "$BUILD/e2e-keyboard-six.png" $((row_x + 56 * 5)) "$row_y" "the sixth rune"
for k in 0 1 2 3 4; do
    red=$(e2e_count_colour "$BUILD/e2e-keyboard-six.png" $((row_x + 56 * k)) "$row_y" 53 77 '#FF0000' || true)
    [ "$red" -gt 100 ] || fail "rune $((k + 1)) of six is not open ($red red pixels)"
done

# "Файл", "Сохранить...": the dialog comes with its file name field ready.
saved="$E2E_WORK/reading.txt"
xdotool key alt
sleep 0.2
xdotool key Down Return
# Typed only once the dialog has the keys.
i=0
until xdotool getactivewindow getwindowname 2>/dev/null | grep -Eq 'Сохранить|Save'; do
    i=$((i + 1))
    [ $i -gt 50 ] && fail "the save dialog did not open"
    sleep 0.2
done
sleep 0.3
xdotool type --delay 20 "$saved"
xdotool key Return
i=0
while [ ! -s "$saved" ]; do
    i=$((i + 1))
    [ $i -gt 50 ] && fail "nothing was saved at $saved"
    sleep 0.2
done
sleep 0.3

# The file, in the code page the program saves in: six runes, each under its
# heading.
iconv -f CP1251 -t UTF-8 "$saved" >"$E2E_WORK/saved.txt" || fail "the saved file is not CP1251"
headings=$(grep -cE '^(РУНА|Руна) - ' "$E2E_WORK/saved.txt" || true)
[ "$headings" -eq 6 ] || fail "the saved reading has $headings rune headings, not 6"
e2e_close_and_expect_exit_0
echo "e2e keyboard: a rune opened with Space; six opened with arrows and Enter and saved by the keys ($(wc -c <"$saved") bytes, $headings headings)"
