#!/usr/bin/env bash
# `cpack` makes a .deb of the installed tree: its files, and dependencies that
# are the Debian packages the programs need at run time, Qt's Wayland
# platform plugin among them.
set -euo pipefail
BUILD=$1 APP_ID=$2 WORK=$3
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$WORK" && mkdir -p "$WORK" && cd "$WORK"
cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK" >cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
deb=$(echo nebulo_*.deb)
[ -f "$deb" ] || fail "no .deb: $(ls)"
dpkg-deb --info "$deb"

[ "$(dpkg-deb -f "$deb" Package)" = nebulo ] || fail "the package is not called nebulo"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "wrong architecture"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
expected=(./usr/bin/nebulo ./usr/bin/nebulo-blur ./usr/bin/nebulo-keep-clipboard "./usr/share/applications/$APP_ID.desktop"
          "./usr/share/metainfo/$APP_ID.metainfo.xml" ./usr/share/man/man1/nebulo.1.gz
          ./usr/share/man/man1/nebulo-blur.1.gz)
for size in 16 32 48 64 128 256; do expected+=("./usr/share/icons/hicolor/${size}x$size/apps/$APP_ID.png"); done
[ "$files" = "$(printf '%s\n' "${expected[@]}" | sort)" ] || fail "the .deb holds:
$files"

depends=$(dpkg-deb -f "$deb" Depends)
names=$(echo "$depends" | tr ',' '\n' | sed 's/(.*//; s/|.*//; s/ //g')
for needed in libqt6core6 libqt6gui6 libqt6widgets6 libc6 libstdc++6 qt6-wayland wl-clipboard; do
  grep -qx "$needed" <<<"$names" || fail "Depends lacks $needed: $depends"
done
# Each is a package of this Debian, installed here as the programs' build needs it.
for name in $names; do
  dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" || fail "$name is no package here"
done

# The packaged programs are the built ones, stripped, and run.
dpkg-deb -x "$deb" root
root/usr/bin/nebulo-blur --help >/dev/null || fail "the packaged nebulo-blur does not run"
! file root/usr/bin/nebulo | grep -q "not stripped" || fail "the packaged nebulo is not stripped"
echo "PASS: $deb, $(stat -c %s "$deb") bytes; Depends: $depends"
