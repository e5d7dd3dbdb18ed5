#!/bin/sh
# The program as a screen reader sees it: started on an accessibility bus
# of its own under Xvfb, checked through AT-SPI by accessibility.py.
# Skipped (status 77) where the bus or its Python binding is missing.
# Usage: accessibility.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

launcher=/usr/libexec/at-spi-bus-launcher
if [ ! -x "$launcher" ] || ! command -v dbus-run-session >/dev/null ||
    ! /usr/bin/python3 -c 'import pyatspi' 2>/dev/null; then
    echo "SKIP: the AT-SPI bus cannot start here (needs at-spi2-core, dbus and python3-pyatspi)"
    exit 77
fi

e2e_start_x
mkdir -p "$E2E_WORK/data" "$E2E_WORK/run"
chmod 700 "$E2E_WORK/run"
export XDG_DATA_HOME="$E2E_WORK/data" XDG_RUNTIME_DIR="$E2E_WORK/run"
export PROGRAM CHECK="$(dirname "$0")/accessibility.py" LOG="$E2E_WORK/program.log"
status=0
# The checker closes the program through its title button; the session then
# reports the checker's verdict, or the program's exit status when it failed.
timeout 90 dbus-run-session -- sh -c '
    "'"$launcher"'" --launch-immediately >/dev/null 2>&1 &
    # The binding aborts where the bus is missing: try it in a process of
    # its own first.
    i=0
    until /usr/bin/python3 -c "import pyatspi; pyatspi.Registry.getDesktop(0).childCount" \
            >/dev/null 2>&1; do
        i=$((i + 1))
        [ $i -gt 25 ] && { echo "SKIP: the AT-SPI bus did not start"; exit 77; }
        sleep 0.2
    done
    QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 "$PROGRAM" >"$LOG" 2>&1 &
    app=$!
    verdict=0
    /usr/bin/python3 "$CHECK" || verdict=$?
    if [ $verdict -ne 0 ]; then kill $app 2>/dev/null; exit $verdict; fi
    i=0
    while kill -0 $app 2>/dev/null; do
        i=$((i + 1))
        [ $i -gt 100 ] && { echo "FAIL: the program did not end after Закрыть" >&2; kill $app; exit 1; }
        sleep 0.1
    done
    wait $app || { echo "FAIL: the program exited with status $?" >&2; exit 1; }
' 2>"$E2E_WORK/session.log" || status=$?
[ $status -eq 77 ] && exit 77
[ $status -eq 0 ] || { grep -v '^dbus-daemon' "$E2E_WORK/session.log" >&2; fail "status $status"; }
