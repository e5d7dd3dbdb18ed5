#!/bin/sh
# Starts the real program with each hostile skin installed as the user's
# "Wood" skin. Every start must reach the main window within 20 s without a
# crash, staying under 400 MiB resident at its peak. A skin that must be
# refused shows an error box (grabbed to the build folder, then closed)
# before the main window; a skin that must load shows none and looks exactly
# like the built-in Wood skin. All kinds run; the failures are listed at the
# end. Usage: hostile_skins.sh PROGRAM BUILD_DIR [KIND...]
set -eu
HERE=$(dirname "$0")
[ $# -ge 2 ] || { echo "usage: $0 PROGRAM BUILD_DIR [KIND...]" >&2; exit 2; }
program=$1 build=$2
shift 2
KINDS="$*"
set -- "$program" "$build"
. "$HERE/lib.sh"

LIMIT_KIB=$((400 * 1024))
LIMIT_SECONDS=20
GENERATOR="$HERE/../support/hostile_skins.py"
SHOTS="$BUILD/hostile-skins"
mkdir -p "$SHOTS" "$E2E_WORK/skins"
python3 "$GENERATOR" "$E2E_WORK/skins" --wood "$BUILD/generated/skin/Wood.asz" \
    ${KINDS:+--only $KINDS} || fail "the hostile skins could not be made"

e2e_start_x

# The program's windows, one "id name" line each; boxes have empty names.
windows_of() {
    for w in $(xdotool search --onlyvisible --pid "$1" 2>/dev/null); do
        echo "$w $(xdotool getwindowname "$w" 2>/dev/null)"
    done
}

# The status line's field $2 in KiB for the process $1.
status_kib() {
    awk -v f="$2:" '$1 == f { print $2 }' "/proc/$1/status" 2>/dev/null || echo 0
}

# Starts the program with the data folder as it stands; on return RESULT
# holds "ok" or the reason of the failure, BOXES the number of boxes closed,
# PEAK the peak resident size in KiB and MAIN the main window's grab.
run_once() {
    label=$1
    RESULT=ok BOXES=0 PEAK=0 MAIN=""
    XDG_DATA_HOME="$E2E_WORK/data" XDG_RUNTIME_DIR="$E2E_WORK/run" "$PROGRAM" \
        >"$E2E_WORK/program.log" 2>&1 &
    E2E_APID=$!
    start=$(date +%s)
    wid=""
    while [ -z "$wid" ]; do
        if ! kill -0 "$E2E_APID" 2>/dev/null; then
            status=0
            wait "$E2E_APID" || status=$?
            E2E_APID=""
            RESULT="the program ended before its window (status $status)"
            return
        fi
        rss=$(status_kib "$E2E_APID" VmRSS)
        if [ "${rss:-0}" -gt "$LIMIT_KIB" ]; then
            RESULT="$((rss / 1024)) MiB resident before the main window"
            break
        fi
        if [ $(($(date +%s) - start)) -ge "$LIMIT_SECONDS" ]; then
            RESULT="no main window after $LIMIT_SECONDS s"
            break
        fi
        windows_of "$E2E_APID" >"$E2E_WORK/windows"
        while read -r w name; do
            case $name in
            Чаролист*) wid=$w ;;
            *)
                BOXES=$((BOXES + 1))
                sleep 0.3
                timeout 20 import -window "$w" "$SHOTS/$label-box$BOXES.png" 2>/dev/null || true
                "$E2E_TOOLS/charolist-e2e-close" "$w"
                sleep 0.2
                ;;
            esac
        done <"$E2E_WORK/windows"
        sleep 0.1
    done
    if [ "$RESULT" = ok ]; then
        sleep 1 # the first paint
        MAIN="$SHOTS/$label-main.png"
        timeout 20 import -window "$wid" "$MAIN" 2>/dev/null || RESULT="the main window could not be grabbed"
    fi
    PEAK=$(status_kib "$E2E_APID" VmHWM)
    kill "$E2E_APID" 2>/dev/null || true
    wait "$E2E_APID" 2>/dev/null || true
    E2E_APID=""
    if [ "$RESULT" = ok ] && [ "${PEAK:-0}" -gt "$LIMIT_KIB" ]; then
        RESULT="peak resident size $((PEAK / 1024)) MiB"
    fi
}

# Pixels that differ between two grabs below the title band, whose caption
# is an aphorism picked at random at every start (the caret may blink: a
# few are allowed).
differing() {
    convert "$1" -crop +0+22 +repage "$E2E_WORK/a.png"
    convert "$2" -crop +0+22 +repage "$E2E_WORK/b.png"
    compare -metric AE "$E2E_WORK/a.png" "$E2E_WORK/b.png" null: 2>&1 | cut -d ' ' -f 1
}

skins="$E2E_WORK/data/charolist/Skins"
mkdir -p "$E2E_WORK/data" "$E2E_WORK/run"
chmod 700 "$E2E_WORK/run"

# The built-in skin, for comparison.
run_once internal
[ "$RESULT" = ok ] && [ "$BOXES" -eq 0 ] || fail "the program does not start cleanly: $RESULT"
reference=$MAIN
# "MASKS MASTERSIZE" of a skin package, as the skin tool reads it.
skin_pictures() {
    "$BUILD/charolist-skin" info "$1" 2>&1 |
        awk '$1 == "Masks:" { m = $2 } $1 == "MasterImage:" { i = $2 } END { print m + 0, i }'
}
wood_pictures=$(skin_pictures "$BUILD/generated/skin/Wood.asz")

python3 "$GENERATOR" --list | while read -r kind expect; do
    [ -e "$E2E_WORK/skins/$kind.asz" ] || [ -e "$E2E_WORK/skins/$kind" ] || continue
    rm -rf "$skins"
    mkdir -p "$skins"
    if [ -d "$E2E_WORK/skins/$kind" ]; then
        cp -a "$E2E_WORK/skins/$kind" "$skins/Wood"
    else
        cp "$E2E_WORK/skins/$kind.asz" "$skins/Wood.asz"
    fi
    run_once "$kind"
    if [ "$RESULT" = ok ]; then
        case $expect in
        error) [ "$BOXES" -ge 1 ] || RESULT="no error box" ;;
        load)
            if [ "$BOXES" -ne 0 ]; then
                RESULT="$BOXES message box(es) for a skin that must load"
            else
                diff=$(differing "$reference" "$MAIN")
                [ "${diff:-99999}" -le 40 ] 2>/dev/null ||
                    RESULT="the main window differs from the built-in skin's in $diff pixels"
                # The window shows few of the skin's pictures: the skin tool,
                # on the same readers, tells whether they were all found.
                pictures=$(skin_pictures "$skins/Wood.asz")
                [ "${pictures#* }" = "${wood_pictures#* }" ] &&
                    [ "${pictures%% *}" -ge "${wood_pictures%% *}" ] ||
                    RESULT="pictures missing: masks and master $pictures, Wood's $wood_pictures"
            fi
            ;;
        esac
    fi
    printf '%-36s %-5s boxes %d, peak %4d MiB: %s\n' "$kind" "$expect" "$BOXES" \
        $((PEAK / 1024)) "$RESULT"
    [ "$RESULT" = ok ] || echo "$kind" >>"$E2E_WORK/failed"
done

if [ -s "$E2E_WORK/failed" ]; then
    fail "hostile skins that failed: $(tr '\n' ' ' <"$E2E_WORK/failed")(grabs in $SHOTS)"
fi
echo "e2e hostile skins: every start reached the main window in time and under 400 MiB"
