#!/usr/bin/env bash
# Installs the built suite into a temporary prefix and checks what a desktop and a package manager read of
# it: the programs, desktop entries, AppStream metadata, icons and manual pages; then builds the Debian
# package and checks its contents and dependencies.
#   install_test.sh BUILD_DIR
set -euo pipefail
build=$1
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() { echo "install_test: $*" >&2; exit 1; }

prefix=$tmp/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
apps=(calamo aracnide travaso)
id=org.suiteweb

for p in "${apps[@]}"; do
  [ -x "$prefix/bin/$p" ] || fail "bin/$p is not installed"
  if ldd "$prefix/bin/$p" | grep -q 'not found'; then fail "bin/$p misses a library"; fi

  desktop=$prefix/share/applications/$id.$p.desktop
  [ -f "$desktop" ] || fail "no desktop entry for $p"
  desktop-file-validate "$desktop" || fail "$desktop does not validate"
  grep -qx "Exec=$p\( %F\)\?" "$desktop" || fail "$desktop does not start $p"

  meta=$prefix/share/metainfo/$id.$p.metainfo.xml
  [ -f "$meta" ] || fail "no AppStream metadata for $p"
  appstreamcli validate --no-net "$meta" >/dev/null || { appstreamcli validate --no-net "$meta"; fail "$meta"; }

  [ -f "$prefix/share/icons/hicolor/scalable/apps/$id.$p.svg" ] || fail "no scalable icon for $p"
  for size in 16 22 24 32 48 64 128 256; do
    png=$prefix/share/icons/hicolor/${size}x$size/apps/$id.$p.png
    [ -f "$png" ] || fail "no ${size}px icon for $p"
    # The PNG header holds width and height as big-endian 32-bit numbers at bytes 16 to 23.
    dims=$(od -An -tu4 --endian=big -j16 -N8 "$png" | tr -s ' ' | sed 's/^ //')
    [ "$dims" = "$size $size" ] || fail "$png is not ${size}x$size ($dims)"
  done

  page=$prefix/share/man/man1/$p.1
  [ -f "$page" ] || fail "no manual page for $p"
  warnings=$(MANWIDTH=80 man --warnings=all -l "$page" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "$page: $warnings"
done

# Only the editor opens files, and it declares the pages it opens.
grep -qx 'Exec=calamo %F' "$prefix/share/applications/$id.calamo.desktop" || fail "calamo takes no files"
grep -q '^MimeType=.*text/html;' "$prefix/share/applications/$id.calamo.desktop" || fail "calamo opens no HTML"
for p in aracnide travaso; do
  ! grep -q '^MimeType=' "$prefix/share/applications/$id.$p.desktop" || fail "$p declares MIME types"
done

# Every command-line flag of the link checker is in its manual page.
manual=$(LC_ALL=C MANWIDTH=200 man -l "$prefix/share/man/man1/aracnide.1")
for flag in $("$prefix/bin/aracnide" --help | grep -o -- '--[a-z-]*' | sort -u); do
  grep -q -- "$flag" <<<"$manual" || fail "aracnide.1 does not document $flag"
done

# The Debian package: the same files under /usr, with its library dependencies found by dpkg-shlibdeps.
( cd "$build" && cpack -G DEB -B "$tmp/package" >/dev/null ) || fail "cpack -G DEB failed"
deb=$(ls "$tmp"/package/*.deb)
contents=$(dpkg-deb -c "$deb")
for p in "${apps[@]}"; do
  grep -q "\./usr/bin/$p\$" <<<"$contents" || fail "the package lacks usr/bin/$p"
  grep -q "\./usr/share/applications/$id.$p.desktop\$" <<<"$contents" || fail "the package lacks $p's entry"
done
depends=$(dpkg-deb -f "$deb" Depends)
for lib in libqt6widgets6 libcurl4 qt6-qpa-plugins; do
  grep -q "$lib" <<<"$depends" || fail "the package does not depend on $lib: $depends"
done
echo "install_test: ok ($(basename "$deb"))"
