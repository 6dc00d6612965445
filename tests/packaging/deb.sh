#!/usr/bin/env bash
# `cpack` makes a .deb of the installed tree that lintian has nothing to say
# about: its files, a Homepage, one version in the package, its changelog and
# its metainfo, and dependencies that are the Debian packages the programs
# need at run time, Qt's Wayland platform plugin among them. Its programs
# answer --help and --version without a display.
set -euo pipefail
BUILD=$1 APP_ID=$2 WORK=$3 VERSION=$5
source "$(dirname "$0")/files.sh"
fail() { echo "FAIL: $*" >&2; exit 1; }
rm -rf "$WORK" && mkdir -p "$WORK" && cd "$WORK"
cpack --config "$BUILD/CPackConfig.cmake" -B "$WORK" >cpack.log 2>&1 || { cat cpack.log; fail "cpack failed"; }
deb=$(echo nebulo_*.deb)
[ -f "$deb" ] || fail "no .deb: $(ls)"
dpkg-deb --info "$deb"

# Errors and warnings fail; the rest is shown.
lintian --fail-on error,warning --display-info --pedantic --show-overrides "$deb" >lintian.log 2>&1 \
  || { cat lintian.log; fail "lintian finds errors or warnings"; }
echo "lintian:"; grep -v '^running with root privileges' lintian.log || echo "(nothing)"

[ "$(dpkg-deb -f "$deb" Package)" = nebulo ] || fail "the package is not called nebulo"
[ "$(dpkg-deb -f "$deb" Architecture)" = "$(dpkg --print-architecture)" ] || fail "wrong architecture"
[ -n "$(dpkg-deb -f "$deb" Homepage)" ] || fail "no Homepage"

files=$(dpkg-deb -c "$deb" | awk '$1 !~ /^d/ {print $6}' | sort)
[ "$files" = "$(installed_files "$APP_ID" | sed 's|^|./usr/|')" ] || fail "the .deb holds:
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

dpkg-deb -x "$deb" root
[ "$(dpkg-deb -f "$deb" Version)" = "$VERSION" ] || fail "the package's version is $(dpkg-deb -f "$deb" Version)"
changelog_version=$(dpkg-parsechangelog -l root/usr/share/doc/nebulo/changelog.gz -S Version)
[ "$changelog_version" = "$VERSION" ] || fail "the changelog's newest entry is $changelog_version"
release=$(grep -o '<release version="[^"]*"' "root/usr/share/metainfo/$APP_ID.metainfo.xml" | head -n 1)
[ "$release" = "<release version=\"$VERSION\"" ] || fail "the metainfo's newest release is $release"

# The packaged programs are the built ones, stripped, and answer the usual
# options before they need a display, the window also -h.
! file root/usr/bin/nebulo | grep -q "not stripped" || fail "the packaged nebulo is not stripped"
without_display() { env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$@"; }
for program in bin/nebulo bin/nebulo-blur libexec/nebulo/nebulo-keep-clipboard; do
  name=$(basename "$program")
  version=$(without_display "root/usr/$program" --version) || fail "$name --version failed"
  [ "$version" = "$name $VERSION" ] || fail "$name --version says: $version"
  help=$(without_display "root/usr/$program" --help) || fail "$name --help failed"
  [[ "$help" == "Usage: $name "* ]] || fail "$name --help says: $help"
done
[ "$(without_display root/usr/bin/nebulo -h)" = "$(without_display root/usr/bin/nebulo --help)" ] \
  || fail "nebulo -h is not its --help"
echo "PASS: $deb, $(stat -c %s "$deb") bytes; Depends: $depends"
