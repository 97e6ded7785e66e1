#!/usr/bin/env bash
# Builds the Debian package from the build folder as the README says (cpack -G DEB),
# unpacks it into a scratch root and checks what it installs: the program runs from there,
# the desktop entry, icons, metainfo and man page are in place and pass Debian's checkers,
# and the package's dependencies can be met on this machine.
# Usage: package_test.sh BUILD_DIR
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
check() { local what=$1; shift; if "$@" >"$work/out" 2>&1; then echo "ok: $what"; else fail "$what"; cat "$work/out"; fi; }

if ! (cd "$build" && cpack -G DEB -B "$work/out-deb") >"$work/cpack.log" 2>&1; then
  cat "$work/cpack.log"; echo "FAIL: cpack"; exit 1
fi
debs=("$work"/out-deb/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, got ${debs[*]}"; exit 1; }
deb=${debs[0]}
echo "ok: built $(basename "$deb")"

field() { dpkg-deb -f "$deb" "$1"; }
[ "$(field Package)" = pendra ] || fail "package name is '$(field Package)'"
depends=$(field Depends)
# From the linked libraries (dpkg-shlibdeps) and the run-time parts named by hand.
for dep in libqt6widgets6 libqt6dbus6 libqt6multimedia6 libjpeg62-turbo libxcb1 \
           gstreamer1.0-plugins-good gstreamer1.0-plugins-bad gstreamer1.0-libav \
           fonts-noto-cjk qt6-wayland; do
  grep -qE "(^|[ ,|])$dep( |,|$)" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

root=$work/root
dpkg -x "$deb" "$root" || { echo "FAIL: dpkg -x"; exit 1; }
outside=$(dpkg-deb -c "$deb" | awk '{print $6}' | grep -v '^\./usr/' | grep -v '^\./$')
[ -z "$outside" ] || fail "files outside /usr: $outside"

id=org.pendra.Pendra
expect_file() { [ -f "$root/$1" ] && echo "ok: $1" || fail "missing /$1"; }
expect_file usr/bin/pendra
# The sound module, without which every cue would stay silent (it is loaded at run time).
expect_file usr/lib/pendra/pendra_mediasound.so
[ -x "$root/usr/bin/pendra" ] || fail "usr/bin/pendra is not executable"
expect_file usr/share/applications/$id.desktop
expect_file usr/share/metainfo/$id.metainfo.xml
expect_file usr/share/icons/hicolor/scalable/apps/$id.svg
expect_file usr/share/man/man1/pendra.1.gz
expect_file usr/share/doc/pendra/copyright
for size in 16 22 24 32 48 64 128 256; do
  png=usr/share/icons/hicolor/${size}x${size}/apps/$id.png
  if [ -f "$root/$png" ]; then
    file -b "$root/$png" | grep -q "PNG image data, $size x $size," \
      && echo "ok: $png" || fail "$png is $(file -b "$root/$png")"
  else
    fail "missing /$png"
  fi
done

# The program from the unpacked tree, not from the build.
version=$("$root/usr/bin/pendra" --version 2>&1)
[[ $version =~ ^pendra\ [0-9]+\.[0-9]+\.[0-9]+$ ]] && echo "ok: $version" || fail "--version said: $version"

desktop=$root/usr/share/applications/$id.desktop
check "desktop-file-validate" desktop-file-validate "$desktop"
grep -qx "Exec=pendra --config-dir" "$desktop" || fail "the menu start is not in the settings folder"
grep -qx "Icon=$id" "$desktop" || fail "the desktop entry names another icon"
grep -qx "Categories=Utility;Clock;" "$desktop" || fail "categories"
grep -q "^Name\[zh_CN\]=" "$desktop" || fail "no Chinese name"
grep -q "^Keywords=" "$desktop" || fail "no keywords"

metainfo=$root/usr/share/metainfo/$id.metainfo.xml
check "appstreamcli validate --no-net" appstreamcli validate --no-net "$metainfo"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" "$metainfo" || fail "launchable"
grep -q "<release version=\"${version#pendra }\"" "$metainfo" || fail "no release for ${version#pendra }"
grep -q "<screenshot" "$metainfo" || fail "no screenshot"

# The man page renders without a warning.
warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l "$root/usr/share/man/man1/pendra.1.gz" 2>&1 >/dev/null)
[ -z "$warnings" ] && echo "ok: man page" || fail "man page: $warnings"
LC_ALL=C.UTF-8 MANWIDTH=80 man -E UTF-8 -l "$root/usr/share/man/man1/pendra.1.gz" 2>/dev/null \
  | grep -q -- "--config-dir" || fail "man page lacks --config-dir"

# Every dependency can be met here: apt would install the package and nothing else is missing.
if apt-get install --simulate -q "$deb" >"$work/apt.log" 2>&1 && grep -q "^Inst pendra " "$work/apt.log"; then
  echo "ok: installable"
else
  fail "apt-get install --simulate"; cat "$work/apt.log"
fi

if [ "$failures" -eq 0 ]; then echo "package test: everything in place"; else echo "package test: FAILED"; exit 1; fi
