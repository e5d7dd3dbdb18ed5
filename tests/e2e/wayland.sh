#!/bin/sh
# The program running natively on Wayland: weston's headless backend, the
# program on Qt's wayland plugin and on an accessibility bus, through which
# wayland.py drives it (the headless compositor has no input) and checks
# the screenshots. The program's output must carry no warning of the
# wayland plugin, and it must end with status 0 after "Выход...".
# Skipped (status 77) where weston, the plugin or the bus cannot start.
# Screenshots are left in the build folder as e2e-wayland-*.png.
# Usage: wayland.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

skip() {
    echo "SKIP: $*"
    exit 77
}
command -v weston >/dev/null && command -v weston-screenshooter >/dev/null ||
    skip "weston is not installed (package weston)"
e2e_atspi_available ||
    skip "the AT-SPI bus cannot start here (needs at-spi2-core, dbus and python3-pyatspi)"

mkdir -p "$E2E_WORK/data" "$E2E_WORK/run"
chmod 700 "$E2E_WORK/run"
export XDG_DATA_HOME="$E2E_WORK/data" XDG_RUNTIME_DIR="$E2E_WORK/run" WAYLAND_DISPLAY=wl-test
unset DISPLAY
# A plain background with no panel, and no animations that a screenshot
# could catch half done.
BACKGROUND='#20C040'
cat >"$E2E_WORK/weston.ini" <<INI
[core]
idle-time=0
[shell]
background-color=0xff20c040
panel-position=none
locking=false
animation=none
close-animation=none
startup-animation=none
focus-animation=none
INI
# --debug lets the screenshooter in; without pixman nothing is drawn.
weston --config="$E2E_WORK/weston.ini" --backend=headless-backend.so --use-pixman \
    --width=1280 --height=800 --socket=wl-test --idle-time=0 --debug \
    >"$E2E_WORK/weston.log" 2>&1 &
E2E_XPID=$!
i=0
until [ -S "$XDG_RUNTIME_DIR/wl-test" ]; do
    i=$((i + 1))
    kill -0 "$E2E_XPID" 2>/dev/null && [ $i -le 100 ] ||
        skip "weston's headless backend did not start: $(tail -n 3 "$E2E_WORK/weston.log")"
    sleep 0.1
done

export E2E_PROGRAM_PLATFORM=wayland
e2e_atspi_session 150 Выход "$(dirname "$0")/wayland.py" \
    "$BUILD" "$E2E_WORK" "$BACKGROUND" "$BUILD/e2e-wayland"
status=$E2E_ATSPI_STATUS
[ $status -eq 77 ] && exit 77
# Qt names a plugin it cannot load and gives up at once.
if [ $status -ne 0 ] && grep -q 'platform plugin "wayland"' "$E2E_WORK/program.log"; then
    skip "Qt's wayland plugin cannot start (package qt6-wayland): $(head -n 2 "$E2E_WORK/program.log")"
fi
[ $status -eq 0 ] || { grep -v '^dbus-daemon' "$E2E_WORK/session.log" >&2; fail "status $status"; }

# Whatever the plugin or the compositor found wrong with our windows.
if grep -i 'wayland\|xdg\|qt\.qpa' "$E2E_WORK/program.log" >&2; then
    fail "the program's output has the warnings above"
fi
echo "e2e wayland: screenshots in $BUILD/e2e-wayland-*.png"
