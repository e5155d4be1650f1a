#!/usr/bin/env bash
# Builds the Windows program with MinGW-w64 and leaves the portable program
# folder build-windows/snickit/ (snickit.exe, config.sn, skins/) and its zip
# build-windows/snickit-windows.zip.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${SNICKIT_WINDOWS_BUILD:-$ROOT/build-windows}
JOBS=${JOBS:-2}

mkdir -p "$BUILD"
cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSNICKIT_BUILD_APP=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target program_folder
# The about picture that went into the program, for the desktop tests.
cp "$(sed -n 's/^SNICKIT_ABOUT_FILE:FILEPATH=//p' "$BUILD/CMakeCache.txt")" "$BUILD/built-in-about.bmp"

FOLDER=$BUILD/snickit
rm -f "$BUILD/snickit-windows.zip"
(cd "$BUILD" && zip -qr snickit-windows.zip snickit)
echo "Program folder: $FOLDER"
echo "Zip: $BUILD/snickit-windows.zip"
