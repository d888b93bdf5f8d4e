#!/bin/bash
# Makes the Debian package from a build folder, checks it with lintian, installs it into a
# fresh root with dpkg, runs both programs from there, and removes it again: nothing may be
# left behind. The libraries come from this machine (the root holds only the package).
# Arguments: the build folder.
set -u
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
if ! command -v cpack >/dev/null || ! command -v dpkg-shlibdeps >/dev/null; then
  echo "skipped: cpack or dpkg-shlibdeps (dpkg-dev) missing"
  exit 0
fi
(cd "$build" && cpack -G DEB -B "$work/out" >"$work/cpack.log" 2>&1) || { cat "$work/cpack.log"; exit 1; }
deb=$(ls "$work"/out/tarvelin_*_amd64.deb) || exit 1
status=0
fail() { echo "$*"; status=1; }
if command -v lintian >/dev/null; then
  errors=$(lintian "$deb" 2>/dev/null | grep '^E:')
  [ -z "$errors" ] || fail "lintian: $errors"
fi
dpkg-deb -f "$deb" Depends | grep -q 'qt6-qpa-plugins' || fail "Depends lacks qt6-qpa-plugins"
root="$work/root"
mkdir -p "$root/var/lib/dpkg/updates" "$root/var/lib/dpkg/info"
touch "$root/var/lib/dpkg/status"
dpkg --root="$root" --force-depends --force-not-root -i "$deb" >"$work/dpkg.log" 2>&1 ||
  { cat "$work/dpkg.log"; exit 1; }
for f in usr/bin/tarvelin usr/bin/tarvelin-table usr/share/applications/org.tarvelin.Tarvelin.desktop \
  usr/share/metainfo/org.tarvelin.Tarvelin.metainfo.xml usr/share/man/man1/tarvelin-table.1.gz \
  usr/share/man/man1/tarvelin.1.gz usr/share/bash-completion/completions/tarvelin-table \
  usr/share/icons/hicolor/48x48/apps/org.tarvelin.Tarvelin.png; do
  [ -e "$root/$f" ] || fail "not installed: /$f"
done
"$root/usr/bin/tarvelin-table" --help | grep -q '^Usage: tarvelin-table export' || fail "--help"
printf '0\n0.5\n1\n0.5\n0\n-0.5\n-1\n-0.5\n' >"$work/sine.txt"
"$root/usr/bin/tarvelin-table" export --scale auto "$work/sine.txt" -o "$work/sine.h" &&
  grep -q 'Table\[8\]' "$work/sine.h" || fail "export from the installed package"
# The editor starts offscreen and keeps running until it is stopped.
QT_QPA_PLATFORM=offscreen timeout 2 "$root/usr/bin/tarvelin" "$work/sine.txt" >"$work/run.log" 2>&1
[ $? -eq 124 ] || { cat "$work/run.log"; fail "tarvelin did not keep running"; }
dpkg --root="$root" --force-not-root -P tarvelin >"$work/dpkg.log" 2>&1 || { cat "$work/dpkg.log"; status=1; }
left=$(cd "$root" && find . -path ./var -prune -o -type f -print)
[ -z "$left" ] || fail "left behind after removal: $left"
exit $status
