#!/bin/sh
# Run inside a session bus of its own: starts the accessibility bus, waits
# until the Python binding reaches it, starts the program and runs the
# checker, whose last step ends the program (WHAT names that step), then
# expects the program's clean exit. Status 77 when the bus does not come.
# The program runs on the Qt platform $E2E_PROGRAM_PLATFORM (xcb if unset).
# Usage: atspi_session.sh LAUNCHER PROGRAM LOG WHAT CHECK [ARGS...]
launcher=$1 program=$2 log=$3 what=$4
shift 4
"$launcher" --launch-immediately >/dev/null 2>&1 &
# The binding aborts where the bus is missing: try it in a process of its
# own first.
i=0
until /usr/bin/python3 -c "import pyatspi; pyatspi.Registry.getDesktop(0).childCount" \
        >/dev/null 2>&1; do
    i=$((i + 1))
    [ $i -gt 25 ] && { echo "SKIP: the AT-SPI bus did not start"; exit 77; }
    sleep 0.2
done
QT_QPA_PLATFORM=${E2E_PROGRAM_PLATFORM:-xcb} QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 \
    "$program" >"$log" 2>&1 &
app=$!
verdict=0
/usr/bin/python3 "$@" || verdict=$?
if [ $verdict -ne 0 ]; then kill $app 2>/dev/null; exit $verdict; fi
i=0
while kill -0 $app 2>/dev/null; do
    i=$((i + 1))
    [ $i -gt 100 ] && { echo "FAIL: the program did not end after $what" >&2; kill $app; exit 1; }
    sleep 0.1
done
wait $app || { echo "FAIL: the program exited with status $?" >&2; exit 1; }
