#!/bin/sh
# An install into a fresh prefix: the desktop entry, the AppStream data, the
# icons, the licences and the second skin land where the desktop looks for
# them, both validators pass without a remark, and the installed program,
# started from the prefix far from the build folder, shows its 24 rune backs
# under a window class that the desktop entry names; the entry's action
# starts it with the second skin. The prefix has a space in its name.
# Usage: install.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

PREFIX="$E2E_WORK/the prefix"
cmake --install "$BUILD" --prefix "$PREFIX" >"$E2E_WORK/install.log" 2>&1 ||
    fail "cmake --install failed: $(cat "$E2E_WORK/install.log")"

DESKTOP="$PREFIX/share/applications/charolist.desktop"
METAINFO=$(ls "$PREFIX"/share/metainfo/*.metainfo.xml)
for f in "$PREFIX/bin/charolist" "$PREFIX/lib/charolist/charolist-sound.so" "$DESKTOP" "$METAINFO" \
    "$PREFIX/share/doc/charolist/copyright" "$PREFIX/share/doc/charolist/GPL-3" \
    "$PREFIX/share/doc/charolist/fonts/LiberationSerif-OFL-1.1.txt" \
    "$PREFIX/share/doc/charolist/fonts/Andika-OFL-1.1.txt" \
    "$PREFIX/share/doc/charolist/fonts/PTSans-ParaType-Free-Font-License.txt" \
    "$PREFIX/share/charolist/skins/Береста.asz"; do
    [ -s "$f" ] || fail "not installed: $f"
done
grep -q "SIL Open Font License" "$PREFIX/share/doc/charolist/fonts/Andika-OFL-1.1.txt" ||
    fail "Andika's licence is not the OFL text"

# Each icon of the theme is a square picture of its folder's size.
for size in 16 24 32 48 64 128 256; do
    icon="$PREFIX/share/icons/hicolor/${size}x${size}/apps/charolist.png"
    [ -f "$icon" ] || fail "no icon at $size"
    got=$(identify -format '%wx%h' "$icon")
    [ "$got" = "${size}x${size}" ] || fail "icon for $size is $got"
done

out=$(desktop-file-validate "$DESKTOP" 2>&1) || fail "desktop-file-validate: $out"
[ -z "$out" ] || fail "desktop-file-validate remarks: $out"
out=$(appstreamcli validate --no-net --strict "$METAINFO" 2>&1) || fail "appstreamcli: $out"
grep -q "Icon=charolist$" "$DESKTOP" || fail "the desktop entry names another icon"
grep -q "<launchable type=\"desktop-id\">charolist.desktop</launchable>" "$METAINFO" ||
    fail "the AppStream data does not launch charolist.desktop"

# Started as the desktop would, from the prefix's bin, in another folder.
e2e_start_x
cd "$E2E_WORK"
PATH="$PREFIX/bin:$PATH" e2e_start_program charolist
e2e_wait_for_backs "$E2E_WORK/installed.png"
class=$(xprop -id "$E2E_WID" WM_CLASS | sed 's/.*, "\(.*\)"$/\1/')
wmclass=$(sed -n 's/^StartupWMClass=//p' "$DESKTOP")
[ "$class" = "$wmclass" ] || fail "window class $class, desktop entry says $wmclass"
e2e_close_and_expect_exit_0

# The desktop action, run as a launcher would (its quotes as the shell reads
# them): the log's text area shows the second skin's EDIT colour.
action=$(sed -n '/^\[Desktop Action birch\]/,$ s/^Exec=//p' "$DESKTOP")
[ -n "$action" ] || fail "the desktop entry has no action for the second skin"
eval "set -- $action"
PATH="$PREFIX/bin:$PATH" e2e_start_program "$@"
e2e_wait_for_backs "$E2E_WORK/birch.png"
paper=$(e2e_count_colour "$E2E_WORK/birch.png" $((E2E_X0 + 340)) $((E2E_Y0 + 20)) 300 300 '#FAFBF8')
[ "$paper" -gt 80000 ] || fail "the action's window shows $paper pixels of the skin's log colour"
e2e_close_and_expect_exit_0
echo "e2e install: files in place, validators silent, installed program runs as $class; its action shows the second skin"
