#!/usr/bin/env bash
# Builds the Windows program with MinGW-w64 and leaves the portable program
# folder build-windows/snickit/ (snickit.exe, config.sn, skins/) and its zip
# build-windows/snickit-windows.zip.
#
# Where the artwork of resources/ or dist/ is not there yet, stand-ins made
# here in build-windows/stand-ins/ are used, with a warning; they never go
# into resources/ or dist/.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${SNICKIT_WINDOWS_BUILD:-$ROOT/build-windows}
JOBS=${JOBS:-2}
STANDINS=$BUILD/stand-ins

mkdir -p "$BUILD"
options=()
standin() {  # standin NAME: path of a stand-in for resources/NAME
  local file=$STANDINS/$1
  mkdir -p "$STANDINS"
  echo "warning: resources/$1 is missing; using a stand-in ($file)" >&2
  case $1 in
    about.bmp) /usr/bin/convert -size 240x95 xc:'rgb(160,160,160)' -fill 'rgb(255,220,0)' \
                 -draw 'rectangle 10,10 190,45' -fill 'rgb(200,200,200)' \
                 -draw 'rectangle 32,58 92,84' -draw 'rectangle 130,56 235,90' \
                 -draw 'rectangle 205,3 220,15' -draw 'rectangle 221,3 236,16' \
                 -type TrueColor BMP3:"$file" ;;
    icon.ico) /usr/bin/convert -size 32x32 xc:'rgb(255,220,0)' -fill red -draw 'circle 16,16 16,4' \
                -colors 256 -define icon:auto-resize=32,16 "$file" ;;
    ding.wav) sox -n -r 22050 -b 16 -c 1 "$file" synth 0.25 sine 880 fade 0 0.25 0.1 ;;
  esac
  echo "$file"
}
resource() {  # resource NAME: resources/NAME, or a stand-in while it is missing
  if [[ -f $ROOT/resources/$1 ]]; then echo "$ROOT/resources/$1"; else standin "$1"; fi
}
# Always given, so that a folder configured with a stand-in picks up the
# real file once it is there.
options+=("-DSNICKIT_ICON_FILE=$(resource icon.ico)")
options+=("-DSNICKIT_ABOUT_FILE=$(resource about.bmp)")
options+=("-DSNICKIT_DING_FILE=$(resource ding.wav)")

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSNICKIT_BUILD_APP=ON "${options[@]}" >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target program_folder
# The about picture that went into the program, for the desktop tests.
cp "$(sed -n 's/^SNICKIT_ABOUT_FILE:FILEPATH=//p' "$BUILD/CMakeCache.txt")" "$BUILD/built-in-about.bmp"

FOLDER=$BUILD/snickit
if [[ ! -f $FOLDER/config.sn || ! -d $FOLDER/skins ]]; then
  # dist/ is not complete yet: a stand-in skin and settings file, so that the
  # folder runs.
  echo "warning: dist/ has no config.sn or skins/; the program folder gets stand-ins" >&2
  skin=$FOLDER/skins/Blue
  mkdir -p "$skin"
  /usr/bin/convert -size 240x95 xc:'rgb(40,80,200)' BMP3:"$skin/box.bmp"
  /usr/bin/convert -size 240x95 xc:'rgb(20,40,120)' BMP3:"$skin/box2.bmp"
  /usr/bin/convert -size 240x95 xc:'rgb(90,130,230)' BMP3:"$skin/menu.bmp"
  for n in 1 2 3 4; do
    sox -n -r 22050 -b 16 -c 1 "$skin/$n.wav" synth 0.2 sine $((300 * n)) 2>/dev/null
  done
  printf ' 1500 \r\n 1500 \r\nBlue\\\r\n' >"$FOLDER/config.sn"
fi

rm -f "$BUILD/snickit-windows.zip"
(cd "$BUILD" && zip -qr snickit-windows.zip snickit)
echo "Program folder: $FOLDER"
echo "Zip: $BUILD/snickit-windows.zip"
