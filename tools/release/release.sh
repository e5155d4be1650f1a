#!/usr/bin/env bash
# Builds both downloads into build-release/ (or $SNICKIT_RELEASE_DIR):
#   snickit-<version>-linux-x86_64.tar.gz   the Linux program folder, SDL2
#                                            linked in, with menu entry and icons
#   snickit-<version>-windows-x64.zip       the Windows program folder
# each with README.txt, LICENSE and THIRD-PARTY.txt. The version is
# project(VERSION) in CMakeLists.txt.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=${SNICKIT_RELEASE_DIR:-$ROOT/build-release}
JOBS=${JOBS:-2}
VERSION=$(sed -n 's/^project(Snickit VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
[[ -n $VERSION ]] || { echo "release: no project(VERSION) in CMakeLists.txt" >&2; exit 1; }
LINUX=snickit-$VERSION-linux-x86_64
WINDOWS=snickit-$VERSION-windows-x64
HERE=$ROOT/tools/release
# The Windows program is built where ./dev.sh windows builds it (the same
# configuration), so that a test run does not build it twice.
WINDOWS_BUILD=${SNICKIT_WINDOWS_BUILD:-$ROOT/build-windows}

# What each download carries besides its program folder (which ships whole:
# a program the build puts there ships without a line here). One line per
# file: ship linux|windows|both SOURCE [NAME IN THE DOWNLOAD].
extra_files() {
  ship both    "$ROOT/LICENSE"
  ship both    "$HERE/README.txt"
  ship linux   "$HERE/THIRD-PARTY-linux.txt" THIRD-PARTY.txt
  ship windows "$HERE/THIRD-PARTY-windows.txt" THIRD-PARTY.txt
  ship linux   "$HERE/install.sh"
  ship linux   "$HERE/snickit.desktop"
}
ship() {  # ship SYSTEM SOURCE [NAME]
  local name=${3:-$(basename "$2")}
  [[ $1 == windows ]] || cp -p "$2" "$STAGE/$LINUX/$name"
  [[ $1 == linux ]] || cp -p "$2" "$STAGE/$WINDOWS/$name"
}

STAGE=$OUT/stage
rm -rf "$STAGE" "$OUT/$LINUX.tar.gz" "$OUT/$WINDOWS.zip"
mkdir -p "$STAGE/$LINUX" "$STAGE/$WINDOWS"

echo "=== Linux program (SDL2 linked statically)"
rm -rf "$OUT/linux/snickit"   # made afresh: nothing left from an earlier build
cmake -S "$ROOT" -B "$OUT/linux" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSNICKIT_STATIC_SDL2=ON \
  -DSNICKIT_BUILD_TESTS=OFF >/dev/null
cmake --build "$OUT/linux" -j "$JOBS"
cp -r "$OUT/linux/snickit/." "$STAGE/$LINUX/"
cp "$ROOT/dist/config.sn" "$STAGE/$LINUX/config.sn"   # not one a local run changed
strip --strip-unneeded "$STAGE/$LINUX/snickit" "$STAGE/$LINUX/snickit-skin-check"
# Debian's static SDL2 links to a few libraries that are not on every desktop
# (libdecor is missing from a stock Ubuntu 22.04, for one): they go into
# lib/, where the program's run path ($ORIGIN/lib) finds them first. Both
# are named by SDL2's code itself (not loaded with dlopen), so the program
# cannot start without them. (libsamplerate, 1.5 MB, is not among them:
# platform/sdl/NoSampleRate.cpp takes its place.)
BUNDLED=(libdecor-0.so.0 libXss.so.1)
mkdir "$STAGE/$LINUX/lib"
for lib in "${BUNDLED[@]}"; do
  path=$(ldd "$STAGE/$LINUX/snickit" | awk -v lib="$lib" '$1 == lib { print $3 }')
  [[ -f $path ]] || { echo "release: $lib not found" >&2; exit 1; }
  cp -L "$path" "$STAGE/$LINUX/lib/$lib"
  strip --strip-unneeded "$STAGE/$LINUX/lib/$lib"
done
mkdir "$STAGE/$LINUX/icons"
for size in 16 24 32 48 64 128 256; do
  # The icon's own 16 and 32 pixel pictures; the others scaled from the 32
  # one, with hard edges when enlarged.
  from="$ROOT/resources/icon.ico[$((size == 16 ? 0 : 1))]"
  filter=()
  ((size > 32)) && filter=(-filter point)
  /usr/bin/convert "$from" "${filter[@]}" -resize "${size}x$size" -strip "PNG32:$STAGE/$LINUX/icons/snickit-$size.png"
done

echo "=== Windows program"
SNICKIT_WINDOWS_BUILD=$WINDOWS_BUILD JOBS=$JOBS bash "$ROOT/tools/windows/build.sh"
if [[ -d $WINDOWS_BUILD/stand-ins ]]; then
  echo "release: the Windows build used stand-ins for missing resources" >&2
  exit 1
fi
cp -r "$WINDOWS_BUILD/snickit/." "$STAGE/$WINDOWS/"

extra_files
# The licences of SDL2 (every file) and of the bundled libraries, as the
# build machine's packages document them.
for package in libsdl2-2.0-0 libdecor-0-0 libxss1; do
  title="$package (Debian package): its files and licences"
  { printf '\n\n%s\n%s\n\n' "$title" "${title//?/-}"
    cat "/usr/share/doc/$package/copyright"; } >>"$STAGE/$LINUX/THIRD-PARTY.txt"
done
sed -i "s/@VERSION@/$VERSION/" "$STAGE/$LINUX/README.txt" "$STAGE/$WINDOWS/README.txt"
# Windows readers expect CR LF in text files.
for f in README.txt LICENSE THIRD-PARTY.txt; do sed -i 's/$/\r/' "$STAGE/$WINDOWS/$f"; done

# Same inputs, same archives: fixed owners, order and times.
stamp=$(git -C "$ROOT" log -1 --format=%ct 2>/dev/null || date +%s)
find "$STAGE" -exec touch -h -d "@$stamp" {} +
tar -C "$STAGE" --sort=name --owner=0 --group=0 --numeric-owner -cf - "$LINUX" | gzip -9n >"$OUT/$LINUX.tar.gz"
(cd "$STAGE" && find "$WINDOWS" | LC_ALL=C sort | zip -qX -9 "$OUT/$WINDOWS.zip" -@)

echo
echo "=== Downloads"
ls -l "$OUT/$LINUX.tar.gz" "$OUT/$WINDOWS.zip" | awk '{ print $5, $9 }'
echo "The Linux program needs the C library $(objdump -T "$STAGE/$LINUX/snickit" | grep -oE 'GLIBC_[0-9.]+' | sort -uV | tail -n1) or later."
echo "Libraries the Linux program takes from the system (besides lib/: ${BUNDLED[*]}):"
readelf -d "$STAGE/$LINUX/snickit" | sed -n 's/.*NEEDED.*\[\(.*\)\]/\1/p' | grep -vxF -f <(printf '%s\n' "${BUNDLED[@]}") |
  sed 's/^/  /'
