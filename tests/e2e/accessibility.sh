#!/bin/sh
# The program as a screen reader sees it: started on an accessibility bus
# of its own under Xvfb, checked through AT-SPI by accessibility.py.
# Skipped (status 77) where the bus or its Python binding is missing.
# Usage: accessibility.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

if ! e2e_atspi_available; then
    echo "SKIP: the AT-SPI bus cannot start here (needs at-spi2-core, dbus and python3-pyatspi)"
    exit 77
fi

e2e_start_x
mkdir -p "$E2E_WORK/data" "$E2E_WORK/run"
chmod 700 "$E2E_WORK/run"
export XDG_DATA_HOME="$E2E_WORK/data" XDG_RUNTIME_DIR="$E2E_WORK/run"
# The checker closes the program through its title button; the session then
# reports the checker's verdict, or the program's exit status when it failed.
e2e_atspi_session 90 Закрыть "$(dirname "$0")/accessibility.py"
status=$E2E_ATSPI_STATUS
[ $status -eq 77 ] && exit 77
[ $status -eq 0 ] || { grep -v '^dbus-daemon' "$E2E_WORK/session.log" >&2; fail "status $status"; }
