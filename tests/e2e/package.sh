#!/bin/sh
# The Debian package: built by CPack, its dependencies worked out from the
# program's libraries plus the font packages, its files under /usr, and the
# program, unpacked from it into a bare folder, starts and shows its runes.
# Usage: package.sh PROGRAM BUILD_DIR
set -eu
. "$(dirname "$0")/lib.sh"

(cd "$BUILD" && cpack --config CPackConfig.cmake -B "$E2E_WORK/out") >"$E2E_WORK/cpack.log" 2>&1 ||
    fail "cpack failed: $(cat "$E2E_WORK/cpack.log")"
DEB=$(ls "$E2E_WORK"/out/charolist_*.deb)

depends=$(dpkg-deb -f "$DEB" Depends)
for p in libqt6widgets6 libqt6gui6 libqt6multimedia6 libpng16-16 libjpeg62-turbo zlib1g libc6 \
    fonts-paratype fonts-liberation2 fonts-sil-andika qt6-qpa-plugins; do
    echo "$depends" | grep -q "\b$p\b" || fail "the package does not depend on $p: $depends"
done
dpkg-deb -f "$DEB" Recommends | grep -q "\bqt6-wayland\b" || fail "the package does not recommend qt6-wayland"
contents=$(dpkg-deb -c "$DEB" | awk '{ print $6 }')
for f in ./usr/bin/charolist ./usr/lib/charolist/charolist-sound.so \
    ./usr/share/applications/charolist.desktop \
    ./usr/share/icons/hicolor/256x256/apps/charolist.png ./usr/share/doc/charolist/copyright \
    ./usr/share/charolist/skins/Береста.asz; do
    echo "$contents" | grep -qx "$f" || fail "the package lacks $f"
done
echo "$contents" | grep -qv "^\./usr/" && fail "files outside /usr: $(echo "$contents" | grep -v '^\./usr/')"

dpkg-deb -x "$DEB" "$E2E_WORK/root"
grep -qx 'Exec=charolist --skin "/usr/share/charolist/skins/Береста.asz"' \
    "$E2E_WORK/root/usr/share/applications/charolist.desktop" ||
    fail "the packaged desktop action does not name the installed skin"
e2e_start_x
cd "$E2E_WORK"
e2e_start_program "$E2E_WORK/root/usr/bin/charolist"
e2e_wait_for_backs "$E2E_WORK/unpacked.png"
e2e_close_and_expect_exit_0
echo "e2e package: $(basename "$DEB") depends on its libraries and fonts; unpacked, it runs"
