#!/bin/sh
# Starts the real program with each hostile skin installed as the user's
# "Wood" skin. Every start must reach the main window within 8 s without a
# crash, paint it, end within 5 s of a close request and stay under 400 MiB
# resident at its peak; each start's seconds to the main window and to its
# end and its peak are printed. The skin tool's info, dump and render (of the
# window's section) must each end within 5 s and under 500 MiB too, with
# the skin read or refused. A skin that must be
# refused shows an error box (grabbed to the build folder, then closed)
# before the main window; a skin that must load shows none and looks exactly
# like the built-in Wood skin. All kinds run; the failures are listed at the
# end. Some skins are named pipes, or folders holding them: they are copied
# as pipes, and a start that waits on one for ever is ended at the limit.
# Usage: hostile_skins.sh PROGRAM BUILD_DIR [KIND...]
set -eu
HERE=$(dirname "$0")
[ $# -ge 2 ] || { echo "usage: $0 PROGRAM BUILD_DIR [KIND...]" >&2; exit 2; }
program=$1 build=$2
shift 2
KINDS="$*"
set -- "$program" "$build"
. "$HERE/lib.sh"

LIMIT_KIB=$((400 * 1024))
LIMIT_MS=8000
LIMIT_CLOSE_MS=5000
# A start gone astray may take memory faster than it is polled: its address
# space is capped so that it cannot take the machine (a sound start needs a
# small part of this).
LIMIT_ADDRESS_SPACE=$((8 << 30))
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

now_ms() { date +%s%3N; }

# Ends the program under test: with SIGTERM, then with SIGKILL when it is
# still there after 3 s, so that nothing it waits on can hold up the test.
stop_program() {
    [ -n "$E2E_APID" ] || return 0
    kill "$E2E_APID" 2>/dev/null || true
    i=0
    while kill -0 "$E2E_APID" 2>/dev/null && [ $i -lt 30 ]; do
        sleep 0.1
        i=$((i + 1))
    done
    kill -KILL "$E2E_APID" 2>/dev/null || true
    wait "$E2E_APID" 2>/dev/null || true
    E2E_APID=""
}

# Starts the program with the data folder as it stands; on return RESULT
# holds "ok" or the reason of the failure, BOXES the number of boxes closed,
# PEAK the peak resident size in KiB, TO_MAIN the seconds to the main window
# and TO_CLOSE from a close request to the end ("none" where there was no
# window or no end) and MAIN the main window's grab.
run_once() {
    label=$1
    RESULT=ok BOXES=0 PEAK=0 MAIN="" TO_MAIN=none TO_CLOSE=none
    # prlimit runs the program in its own process: the PID is the program's.
    XDG_DATA_HOME="$E2E_WORK/data" XDG_RUNTIME_DIR="$E2E_WORK/run" \
        prlimit --as="$LIMIT_ADDRESS_SPACE" "$PROGRAM" >"$E2E_WORK/program.log" 2>&1 &
    E2E_APID=$!
    start=$(now_ms)
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
        if [ $(($(now_ms) - start)) -ge "$LIMIT_MS" ]; then
            RESULT="no main window after $((LIMIT_MS / 1000)) s"
            break
        fi
        windows_of "$E2E_APID" >"$E2E_WORK/windows"
        while read -r w name; do
            case $name in
            Чаролист*)
                wid=$w
                elapsed=$(($(now_ms) - start))
                TO_MAIN=$((elapsed / 1000)).$(printf %02d $((elapsed % 1000 / 10)))
                ;;
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
        # The first paint: a grab of a window never painted holds a colour
        # or two; a paint still not done after 2 s is a freeze.
        MAIN="$SHOTS/$label-main.png"
        painted=no
        for try in 1 2; do
            sleep 1
            if ! timeout 20 import -window "$wid" "$MAIN" 2>/dev/null; then
                RESULT="the main window could not be grabbed"
                break
            fi
            if [ "$(convert "$MAIN" -format %k info: 2>/dev/null || echo 0)" -ge 16 ]; then
                painted=yes
                break
            fi
        done
        [ "$RESULT" != ok ] || [ $painted = yes ] ||
            RESULT="the main window is not painted 2 s after it appeared"
    fi
    PEAK=$(status_kib "$E2E_APID" VmHWM)
    if [ -n "$wid" ]; then
        # A start that is done answers a close request at once.
        asked=$(now_ms)
        "$E2E_TOOLS/charolist-e2e-close" "$wid" 2>/dev/null || true
        while kill -0 "$E2E_APID" 2>/dev/null &&
            [ $(($(now_ms) - asked)) -lt "$LIMIT_CLOSE_MS" ]; do
            sleep 0.1
        done
        if kill -0 "$E2E_APID" 2>/dev/null; then
            [ "$RESULT" != ok ] ||
                RESULT="still running $((LIMIT_CLOSE_MS / 1000)) s after a close request"
        else
            elapsed=$(($(now_ms) - asked))
            TO_CLOSE=$((elapsed / 1000)).$(printf %02d $((elapsed % 1000 / 10)))
            status=0
            wait "$E2E_APID" || status=$?
            E2E_APID=""
            [ "$RESULT" != ok ] || [ "$status" -eq 0 ] ||
                RESULT="exit status $status after a close request"
        fi
    fi
    stop_program
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

# The skin tool on a skin, as a skin's author would run it: each command
# must end within its time and under 500 MiB, the skin read or refused with
# a message (exit status 0 or 1). TOOLS gets "info 0.05 s 17 MiB, ..." and
# TOOL_FAILURE the first failure, if any.
TOOL_LIMIT_KIB=$((500 * 1024))
run_tool() {
    seconds=$1
    shift
    /usr/bin/time -f "%e %M" -o "$E2E_WORK/tool.time" timeout "$seconds" \
        prlimit --as="$LIMIT_ADDRESS_SPACE" "$BUILD/charolist-skin" "$@" >/dev/null 2>&1
}
tool_runs() {
    TOOLS="" TOOL_FAILURE=""
    for command in info dump render; do
        rm -f "$E2E_WORK/render.png"
        status=0
        if [ "$command" = render ]; then
            # The window's own section at the window's size. (--all writes
            # a picture for every state and size of every section, so that
            # its time follows the number of sections.)
            run_tool 5 render "$1" FORM --size 800x600 --out "$E2E_WORK/render.png" ||
                status=$?
        else
            run_tool 5 "$command" "$1" || status=$?
        fi
        # The last line: time puts the command's exit status above it.
        seconds=$(tail -n 1 "$E2E_WORK/tool.time" | cut -d ' ' -f 1)
        kib=$(tail -n 1 "$E2E_WORK/tool.time" | cut -d ' ' -f 2)
        TOOLS="$TOOLS$command $seconds s $((kib / 1024)) MiB, "
        if [ -z "$TOOL_FAILURE" ] && [ "$status" -gt 1 ]; then
            TOOL_FAILURE="the skin tool's $command ended with status $status"
        elif [ -z "$TOOL_FAILURE" ] && [ "${kib:-0}" -gt "$TOOL_LIMIT_KIB" ]; then
            TOOL_FAILURE="the skin tool's $command took $((kib / 1024)) MiB"
        fi
    done
}

python3 "$GENERATOR" --list | while read -r kind expect; do
    [ -e "$E2E_WORK/skins/$kind.asz" ] || [ -e "$E2E_WORK/skins/$kind" ] || continue
    rm -rf "$skins"
    mkdir -p "$skins"
    # cp -a makes a named pipe anew rather than read from it.
    if [ -d "$E2E_WORK/skins/$kind" ]; then
        cp -a "$E2E_WORK/skins/$kind" "$skins/Wood"
    else
        cp -a "$E2E_WORK/skins/$kind.asz" "$skins/Wood.asz"
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
    if [ -d "$skins/Wood" ]; then tool_runs "$skins/Wood"; else tool_runs "$skins/Wood.asz"; fi
    [ "$RESULT" != ok ] || [ -z "$TOOL_FAILURE" ] || RESULT=$TOOL_FAILURE
    printf '%-36s %-5s boxes %d, main window %5s s, closed in %4s s, peak %4d MiB; %s: %s\n' \
        "$kind" "$expect" "$BOXES" "$TO_MAIN" "$TO_CLOSE" $((PEAK / 1024)) "${TOOLS%, }" "$RESULT"
    [ "$RESULT" = ok ] || echo "$kind" >>"$E2E_WORK/failed"
done

if [ -s "$E2E_WORK/failed" ]; then
    fail "hostile skins that failed: $(tr '\n' ' ' <"$E2E_WORK/failed")(grabs in $SHOTS)"
fi
echo "e2e hostile skins: every start reached a painted main window within" \
    "$((LIMIT_MS / 1000)) s, closed when asked and stayed under 400 MiB; the skin tool" \
    "read or refused every skin in time and under 500 MiB"
