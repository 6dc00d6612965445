#!/usr/bin/env bash
# `cmake --install` into a fresh prefix: exactly the files a desktop looks for,
# where it looks, and metainfo that AppStream finds whole there; the icon at
# every launcher size without smoothing, and scalable with the same pixels;
# manual pages that read without warnings; and both programs running from
# there, the window started by the launcher entry's own command.
BUILD=$1 APP_ID=$2 WORK=$3 BUILT_BLUR=$4
prefix=$WORK/usr
artwork=$(cd "$(dirname "$0")/../.." && pwd)/resources/icons/MAINICON.bmp
source "$(dirname "$0")/../e2e/session.sh" "$prefix/bin/nebulo" "$prefix/bin/nebulo-blur" "$WORK"
source "$(dirname "$0")/files.sh"
cmake --install "$BUILD" --prefix "$prefix" >install.log

icon() { echo "share/icons/hicolor/$1x$1/apps/$APP_ID.png"; }
installed=$(cd "$prefix" && find . -type f -printf '%P\n' | sort)
[ "$installed" = "$(installed_files "$APP_ID")" ] || fail "installed files:
$installed"
[ -x "$prefix/bin/nebulo" ] && [ -x "$prefix/bin/nebulo-blur" ] || fail "the programs are not executable"

# The 32 × 32 icon is the artwork with its bottom-left colour transparent;
# every other size holds only its colours (no smoothing), the doublings exactly.
backdrop=$(convert "$artwork" -format '%[pixel:p{0,31}]' info:)
convert "$prefix/$(icon 32)" -background "$backdrop" -flatten -alpha off icon-on-backdrop.png
same_pixels icon-on-backdrop.png "$artwork" || fail "the 32-pixel icon is not the artwork"
[ "$(convert "$prefix/$(icon 32)" -format '%[fx:p{0,31}.a]' info:)" = 0 ] || fail "the icon's backdrop is not transparent"
colours() { convert "$1" -unique-colors txt:- | tail -n +2 | awk '{print $3}' | sort -u; }
for size in $ICON_SIZES; do
  file=$prefix/$(icon $size)
  [ "$(identify -format %wx%h "$file")" = "${size}x$size" ] || fail "$(icon $size) is $(identify -format %wx%h "$file")"
  [ -z "$(comm -23 <(colours "$file") <(colours "$prefix/$(icon 32)"))" ] || fail "$(icon $size) is smoothed"
  if [ $((size % 32)) = 0 ]; then
    convert "$prefix/$(icon 32)" -sample "${size}x$size" sampled.png
    same_pixels sampled.png "$file" || fail "$(icon $size) is not the artwork's pixels enlarged"
  fi
done

# Drawn at whole multiples of the artwork, the scalable icon is the bitmaps.
for size in 32 256; do
  rsvg-convert -w $size -h $size "$prefix/share/icons/hicolor/scalable/apps/$APP_ID.svg" -o scalable-$size.png
  expect_same_pixels scalable-$size.png "$prefix/$(icon $size)" "the scalable icon drawn at $size differs from the artwork"
done

appstream=$(appstreamcli validate-tree --pedantic --no-net "$WORK" 2>&1) || fail "appstreamcli: $appstream"
! grep -q '[EWIP]: ' <<<"$appstream" || fail "appstreamcli: $appstream"

for page in nebulo nebulo-blur; do
  file=$prefix/share/man/man1/$page.1.gz
  warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z "$file" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page.1: $warnings"
  MANWIDTH=80 man -l "$file" 2>/dev/null | grep -q "^ *$page - " || fail "$page.1 has no NAME line"
done

convert -size 40x30 gradient:'#102030'-'#f0e0d0' in.png
"$prefix/bin/nebulo-blur" --border --amount 2.5 in.png installed.png || fail "the installed nebulo-blur failed"
"$BUILT_BLUR" --border --amount 2.5 in.png built.png
same_pixels installed.png built.png || fail "the installed nebulo-blur gives another picture"

entry=$prefix/share/applications/$APP_ID.desktop
command=$(sed -n 's/^Exec=//p' "$entry")
[ "$(sed -n 's/^Icon=//p' "$entry")" = "$APP_ID" ] || fail "the launcher entry names another icon"
PATH=$prefix/bin:$PATH start_nebulo "$command"
[ "$(readlink "/proc/$NEBULO_PID/exe")" = "$prefix/bin/nebulo" ] || fail "\"$command\" started $(readlink "/proc/$NEBULO_PID/exe")"
echo "PASS: $(wc -l <<<"$installed") files installed; \"$command\" from the launcher entry opened the window; nebulo-blur ran"
