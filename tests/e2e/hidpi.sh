#!/bin/sh
# The main window on a screen of device pixel ratio 2, asked for in two ways:
# a whole factor (QT_SCREEN_SCALE_FACTORS=2), and Xft.dpi 144, whose ratio of
# 1.5 the program rounds to 2. Either way the layout keeps its logical size
# (the window is twice as large in device pixels), every skin pixel is a
# 2 x 2 block (the rune backs and the FORM picture beside them equal the
# renderer's pictures scaled by 2 without smoothing, the outline cuts the
# corner in whole blocks), and text is finer than the blocks (the title
# caption and the heading). Screenshots are left in the
# build folder.
# Usage: hidpi.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"
SKIN_TOOL="$BUILD/charolist-skin"

# Window: 792 x 546 client, border 3, title band 19, menu band 18.
LOGICAL_W=798
LOGICAL_H=589

e2e_start_x 1900x1500
convert "$BUILD/generated/art/back.bmp" -filter point -resize 200% "$E2E_WORK/back-2x.png"


# The pixels of the crop $2 of the screenshot $1 that differ from the same
# crop with every 2 x 2 block made of its top-left pixel.
broken_blocks() {
    convert "$1" -crop "$2" +repage "$E2E_WORK/crop.png"
    convert "$E2E_WORK/crop.png" -sample 50% -sample 200% "$E2E_WORK/blocks.png"
    compare -metric AE "$E2E_WORK/crop.png" "$E2E_WORK/blocks.png" null: 2>&1 || true
}

check_at_ratio_2() { # NAME
    shot="$BUILD/e2e-hidpi-$1.png"
    # The backs, each pixel a 2 x 2 block.
    e2e_wait_for_backs "$shot" "$E2E_WORK/back-2x.png"
    x0=$E2E_X0 y0=$E2E_Y0
    geometry=$(xwininfo -id "$E2E_WID")
    WX=$(e2e_value "$geometry" 'Absolute upper-left X')
    WY=$(e2e_value "$geometry" 'Absolute upper-left Y')
    W=$(e2e_value "$geometry" Width)
    H=$(e2e_value "$geometry" Height)
    [ "$W" -eq $((2 * LOGICAL_W)) ] && [ "$H" -eq $((2 * LOGICAL_H)) ] ||
        fail "$1: the window is ${W}x$H device pixels, not twice ${LOGICAL_W}x$LOGICAL_H"
    # The client's corner lies 24, 48 logical pixels before the first slot.
    left=$(((x0 - WX) / 2 - 24)); top=$(((y0 - WY) / 2 - 48))
    [ "$left" -eq 3 ] && [ "$top" -eq $((3 + 19 + 18)) ] ||
        fail "$1: the client lies at $left,$top of the window, not 3,40"

    # The FORM picture left of the slots, the whole height of the slots:
    # the renderer's picture at 1x, each pixel a 2 x 2 block.
    "$SKIN_TOOL" render --internal FORM --size "${LOGICAL_W}x$LOGICAL_H" \
        --out "$E2E_WORK/form.png" || fail "could not render the FORM section"
    convert "$E2E_WORK/form.png" -crop "20x300+$((left + 2))+$((top + 48))" +repage \
        -filter point -resize 200% "$E2E_WORK/strip-form.png"
    convert "$shot" -crop "40x600+$((WX + 2 * (left + 2)))+$((WY + 2 * (top + 48)))" +repage \
        "$E2E_WORK/strip-screen.png"
    e2e_expect_rendered "$E2E_WORK/strip-screen.png" "$E2E_WORK/strip-form.png" \
        "$1: the client background (FORM at 2x)"
    # The wood of the frame's left border beside the slots, too.
    wood=$(broken_blocks "$shot" "6x600+$WX+$((WY + 2 * (top + 48)))")
    [ "$wood" = 0 ] || fail "$1: $wood pixels of the left border are not in 2 x 2 blocks"

    # The outline cuts the same pixels, each a 2 x 2 block: the corner
    # pixel is out, the border next to it in.
    for xy in "0 0" "1 1" "1 0" "0 1"; do
        # shellcheck disable=SC2086
        [ "$("$E2E_TOOLS/charolist-e2e-shape" "$E2E_WID" $xy)" = out ] ||
            fail "$1: the outline keeps device pixel $xy of the corner"
    done
    for xy in "2 6" "3 7"; do
        # shellcheck disable=SC2086
        [ "$("$E2E_TOOLS/charolist-e2e-shape" "$E2E_WID" $xy)" = in ] ||
            fail "$1: the outline leaves out device pixel $xy of the border"
    done

    # Text at the device's resolution: the title caption (after the icon)
    # and the heading above the slots have edges inside the blocks; text
    # scaled from 1x would have none.
    title=$(broken_blocks "$shot" "600x38+$((WX + 60))+$((WY + 6))")
    [ "$title" -gt 300 ] || fail "$1: the title caption is in 2 x 2 blocks ($title pixels finer)"
    heading=$(broken_blocks "$shot" "560x50+$((x0 + 60))+$((y0 - 90))")
    [ "$heading" -gt 300 ] || fail "$1: the heading is in 2 x 2 blocks ($heading pixels finer)"
    echo "e2e hidpi $1: window ${W}x$H, 24 backs and the FORM strip in 2 x 2 blocks, $title and $heading pixels of text finer than the blocks"
}

e2e_start_program env QT_SCREEN_SCALE_FACTORS=2 "$PROGRAM"
check_at_ratio_2 factor-2
e2e_close_and_expect_exit_0

# 144 dots per inch: a ratio of 1.5, rounded to 2.
echo 'Xft.dpi: 144' | xrdb -merge
e2e_start_program env -u QT_SCALE_FACTOR -u QT_SCREEN_SCALE_FACTORS "$PROGRAM"
check_at_ratio_2 dpi-144
e2e_close_and_expect_exit_0
