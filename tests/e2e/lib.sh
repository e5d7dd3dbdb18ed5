# Shared steps of the end-to-end tests: a private X server, the program under
# test, screenshots and a clean close. Sourced by the test scripts, whose
# arguments are the program and the build folder (and a script's own after
# them).

[ $# -ge 2 ] || { echo "usage: $0 PROGRAM BUILD_DIR ..." >&2; exit 2; }
PROGRAM=$1
BUILD=$2
E2E_TOOLS="$BUILD/tools"
E2E_BUILD=$BUILD

E2E_WORK=$(mktemp -d)
E2E_XPID=""
E2E_APID=""
E2E_WMPID=""

e2e_cleanup() {
    if [ -n "$E2E_APID" ]; then kill "$E2E_APID" 2>/dev/null || true; fi
    if [ -n "$E2E_WMPID" ]; then kill "$E2E_WMPID" 2>/dev/null || true; fi
    # Wait for the server to be gone, so the next test cannot reach it.
    if [ -n "$E2E_XPID" ]; then
        kill "$E2E_XPID" 2>/dev/null || true
        wait "$E2E_XPID" 2>/dev/null || true
    fi
    rm -rf "$E2E_WORK"
}
trap e2e_cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    if [ -n "${E2E_DEBUG:-}" ]; then
        echo "DISPLAY=$DISPLAY"; cat "$E2E_WORK/xvfb.log"; ls -la /tmp/.X11-unix /tmp/.X*-lock
        xdpyinfo | head -3
    fi >&2 2>&1
    if [ -s "$E2E_WORK/program.log" ]; then
        echo "--- the program's output:" >&2
        cat "$E2E_WORK/program.log" >&2
    fi
    exit 1
}

# Starts Xvfb on a display number it picks itself and waits until it answers;
# its screen is $1 (WxH) when given, else 1280x800.
e2e_start_x() {
    # -noreset: the server must not reset when the readiness probe disconnects.
    Xvfb -displayfd 3 -screen 0 "${1:-1280x800}x24" -nolisten tcp -noreset \
        3>"$E2E_WORK/display" >"$E2E_WORK/xvfb.log" 2>&1 &
    E2E_XPID=$!
    i=0
    until [ -s "$E2E_WORK/display" ] && xdpyinfo -display ":$(cat "$E2E_WORK/display")" >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -gt 100 ] && fail "Xvfb did not start: $(cat "$E2E_WORK/xvfb.log")"
        sleep 0.1
    done
    export DISPLAY=":$(cat "$E2E_WORK/display")"
}

# Starts openbox on the server and waits until it manages the screen: the
# window manager then decides where windows go and which one has the keys,
# as on a desktop.
e2e_start_openbox() {
    openbox --sm-disable >"$E2E_WORK/openbox.log" 2>&1 &
    E2E_WMPID=$!
    i=0
    until xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id'; do
        i=$((i + 1))
        [ $i -gt 100 ] && fail "openbox did not start: $(cat "$E2E_WORK/openbox.log")"
        sleep 0.1
    done
}

# The value of the field $2 in the "Name: value" lines $1 (of xwininfo).
e2e_value() { echo "$1" | sed -n "s/ *$2: *//p"; }

# Starts the program with an empty data folder (so no skin of the user's is
# found) and waits for its main window; sets E2E_WID.
e2e_start_program() {
    mkdir -p "$E2E_WORK/data" "$E2E_WORK/run"
    chmod 700 "$E2E_WORK/run"
    XDG_DATA_HOME="$E2E_WORK/data" XDG_RUNTIME_DIR="$E2E_WORK/run" "$@" \
        >"$E2E_WORK/program.log" 2>&1 &
    E2E_APID=$!
    i=0
    E2E_WID=""
    while [ -z "$E2E_WID" ]; do
        i=$((i + 1))
        [ $i -gt 200 ] && fail "no main window appeared"
        kill -0 "$E2E_APID" 2>/dev/null || fail "the program ended early"
        E2E_WID=$(xdotool search --onlyvisible --classname charolist 2>/dev/null | head -n 1 || true)
        if [ -z "$E2E_WID" ]; then sleep 0.1; fi
    done
}

# Takes a screenshot of the whole screen into the PNG $1.
e2e_screenshot() {
    xwd -root -silent >"$E2E_WORK/shot.xwd" || fail "xwd failed"
    convert "xwd:$E2E_WORK/shot.xwd" "$1" || fail "convert failed"
}

# Closes the main window as a window manager would and checks the exit status.
e2e_close_and_expect_exit_0() {
    "$E2E_TOOLS/charolist-e2e-close" "$E2E_WID" || fail "could not send the close request"
    e2e_expect_exit_0 "its window was closed"
}

# Waits up to 10 s for the program to end after WHAT, and expects status 0.
e2e_expect_exit_0() {
    i=0
    while kill -0 "$E2E_APID" 2>/dev/null; do
        i=$((i + 1))
        [ $i -gt 100 ] && fail "the program did not end after $1"
        sleep 0.1
    done
    status=0
    wait "$E2E_APID" || status=$?
    E2E_APID=""
    [ "$status" -eq 0 ] || fail "the program exited with status $status"
}

# Waits until the 24 rune backs are on screen, in the screenshot $1; the
# picture of a back is $2 (the one the program has, when not given). Sets
# E2E_FOUND to their top-left corners ("x y" lines) and E2E_X0 / E2E_Y0 to
# the first slot's.
e2e_wait_for_backs() {
    i=0
    while :; do
        e2e_screenshot "$1"
        E2E_FOUND=$("$E2E_TOOLS/charolist-e2e-find" "$1" "${2:-$E2E_BUILD/generated/art/back.bmp}")
        [ "$(echo "$E2E_FOUND" | grep -c .)" -eq 24 ] && break
        i=$((i + 1))
        [ $i -gt 40 ] && fail "expected 24 rune backs on screen, found: $E2E_FOUND"
        sleep 0.2
    done
    E2E_X0=$(echo "$E2E_FOUND" | awk 'NR == 1 || $1 < m { m = $1 } END { print m }')
    E2E_Y0=$(echo "$E2E_FOUND" | awk 'NR == 1 || $2 < m { m = $2 } END { print m }')
}

# Counts the pixels of colour $6 (as "#RRGGBB") in the rectangle $2,$3 of
# size $4 x $5 of the screenshot $1.
e2e_count_colour() {
    convert "$1" -crop "$4x$5+$2+$3" +repage -depth 8 txt:- | grep -ci "$6"
}

# The colour of the pixel $2,$3 of the picture $1, as "#RRGGBB".
e2e_pixel() {
    convert "$1" -crop "1x1+$2+$3" -depth 8 txt:- | tail -n 1 | awk '{print $3}'
}

E2E_ATSPI_LAUNCHER=/usr/libexec/at-spi-bus-launcher

# True where a private accessibility bus and its Python binding can start.
e2e_atspi_available() {
    [ -x "$E2E_ATSPI_LAUNCHER" ] && command -v dbus-run-session >/dev/null &&
        /usr/bin/python3 -c 'import pyatspi' 2>/dev/null
}

# Runs the program on an accessibility bus of its own, within $1 seconds,
# with the checker $3 (and its arguments after it), whose last step, named
# $2, ends the program; its output goes to $E2E_WORK/program.log. Sets
# E2E_ATSPI_STATUS: 0, the checker's failure, 77 where the bus did not
# start, or a failure when the program did not end cleanly.
e2e_atspi_session() {
    seconds=$1 what=$2
    shift 2
    E2E_ATSPI_STATUS=0
    timeout "$seconds" dbus-run-session -- "$(dirname "$0")/atspi_session.sh" \
        "$E2E_ATSPI_LAUNCHER" "$PROGRAM" "$E2E_WORK/program.log" "$what" "$@" \
        2>"$E2E_WORK/session.log" || E2E_ATSPI_STATUS=$?
}

# Fails unless the crop $1 of a screenshot equals, pixel for pixel, the
# renderer's picture $2 and is no flat colour (which would prove little):
# more than $4 colours (20 when not given); $3 names what is compared.
e2e_expect_rendered() {
    differ=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
    [ "$differ" = 0 ] || fail "$differ pixels of $3 differ from the renderer's picture"
    shades=$(convert "$1" -format '%k' info:)
    [ "$shades" -gt "${4:-20}" ] || fail "$3 has only $shades colours"
}
