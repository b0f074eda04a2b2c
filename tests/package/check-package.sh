#!/usr/bin/env bash
# Builds the Debian package from a build tree, unpacks it into a scratch root and checks
# that a desktop installs what it needs: the program, a valid menu entry, the icon in
# every size, the help file (when the tree has one), and Depends naming the Qt runtime.
#
#     check-package.sh <cpack> <build folder> <source folder>
set -euo pipefail
cpack=$1 build=$2 source=$3

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failures=0
fail() { echo "FAIL: $*" >&2; failures=$((failures + 1)); }

# The package goes to the scratch folder, not into the build tree.
"$cpack" -G DEB --config "$build/CPackConfig.cmake" -B "$scratch/out" >"$scratch/cpack.log" 2>&1 ||
  { cat "$scratch/cpack.log" >&2; echo "FAIL: cpack" >&2; exit 1; }
debs=("$scratch"/out/*.deb)
[ ${#debs[@]} -eq 1 ] && [ -f "${debs[0]}" ] || { echo "FAIL: expected one .deb, found: ${debs[*]}" >&2; exit 1; }
deb=${debs[0]}
[ "$(basename "$deb")" = "corvane_1.0_$(dpkg --print-architecture).deb" ] || fail "package file name $(basename "$deb")"

root=$scratch/root
dpkg-deb -x "$deb" "$root"

[ -x "$root/usr/bin/corvane" ] || fail "usr/bin/corvane is missing or not executable"
# The program is the package's only program: no tests, benchmarks or fuzz targets.
stray=$(find "$root" -type f \( -perm -u+x -o -name '*.a' \) ! -path "$root/usr/bin/corvane" -print)
[ -z "$stray" ] || fail "files that do not belong in the package: $stray"

desktop=$root/usr/share/applications/corvane.desktop
if [ -f "$desktop" ]; then
  desktop-file-validate "$desktop" || fail "corvane.desktop does not validate"
else
  fail "usr/share/applications/corvane.desktop is missing"
fi

# A PNG keeps its width and height as big-endian 32-bit numbers at bytes 16 and 20.
png_size() { od -An -tu1 -j16 -N8 "$1" | awk '{ printf "%dx%d", $3 * 256 + $4, $7 * 256 + $8 }'; }
for size in 16 22 24 32 48 64 128 256; do
  png=$root/usr/share/icons/hicolor/${size}x${size}/apps/corvane.png
  if [ ! -f "$png" ]; then
    fail "icon ${size}x${size} is missing"
  elif [ "$(png_size "$png")" != "${size}x${size}" ]; then
    fail "icon ${size}x${size} is $(png_size "$png")"
  fi
done
grep -q '<svg' "$root/usr/share/icons/hicolor/scalable/apps/corvane.svg" 2>/dev/null || fail "scalable icon is missing"

help=$root/usr/share/corvane/corvane.html
if [ -f "$source/help/corvane.html" ]; then
  cmp -s "$source/help/corvane.html" "$help" || fail "help file missing or not the one of the tree"
else
  [ ! -e "$help" ] || fail "a help file is packaged that the tree does not have"
fi

depends=$(dpkg-deb -f "$deb" Depends)
echo "Depends: $depends"
# Debian 13 renamed libraries for its 64-bit time as <name>t64.
for package in libqt6core6 libqt6gui6 libqt6widgets6 libqt6svg6 libqt6dbus6 libxcb-screensaver0 libmosquitto1 qt6-qpa-plugins qt6-translations-l10n libqt6sql6 libqt6sql6-sqlite; do
  grep -Eq "(^|, )$package(t64)?( |,|$)" <<<"$depends" || fail "Depends lacks $package"
done

[ $failures -eq 0 ] || exit 1
echo "package $(basename "$deb") is complete"
