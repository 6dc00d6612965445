# What Nebulo installs, below its prefix; sourced by the checks of the
# installed tree and of the .deb.
ICON_SIZES="16 32 48 64 128 256"

# installed_files APP_ID: one file a line, sorted.
installed_files() {
  {
    printf '%s\n' bin/nebulo bin/nebulo-blur libexec/nebulo/nebulo-keep-clipboard \
      "share/applications/$1.desktop" "share/metainfo/$1.metainfo.xml" \
      share/man/man1/nebulo.1.gz share/man/man1/nebulo-blur.1.gz \
      share/doc/nebulo/copyright share/doc/nebulo/changelog.gz "share/icons/hicolor/scalable/apps/$1.svg"
    for size in $ICON_SIZES; do echo "share/icons/hicolor/${size}x$size/apps/$1.png"; done
  } | sort
}
