#!/usr/bin/env bash
# Tests the downloads as a user gets them (run tools/release/release.sh first):
# - the Linux archive unpacked into an empty folder and started with the
#   system's SDL2, SDL2_ttf, FreeType, HarfBuzz, the libraries the download
#   brings along, and the fonts made invisible (a
#   private mount namespace; needs root): the about picture, the pad after OK,
#   a release of button 1 heard through a real PulseAudio server (null sink,
#   recorded from its monitor);
# - its install.sh, then install.sh --remove, in homes with and without menu
#   folders and caches: the home as it was;
# - the Windows zip unpacked into a folder whose path has a space and a
#   non-ASCII letter, started under wine: the about picture.
#   tests/release/run.sh [release folder, default build-release]
set -uo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
OUT=$(cd "${1:-$ROOT/build-release}" && pwd)
VERSION=$(sed -n 's/^project(Snickit VERSION \([0-9.]*\).*/\1/p' "$ROOT/CMakeLists.txt")
BUILD=${SNICKIT_WINDOWS_BUILD:-$ROOT/build-windows}   # the wine prefix lives there
source "$ROOT/tools/windows/wine-env.sh"
WORK=$(mktemp -d /tmp/snickit-release-test.XXXXXX)
# The background jobs: the sound server and its recorder, the programs, the display.
finish() { kill $(jobs -p) 2>/dev/null; wait 2>/dev/null; wine_stop; rm -rf "$WORK"; }
trap finish EXIT
FAILED=0
check() {  # check DESCRIPTION COMMAND...
  if "${@:2}"; then echo "ok   - $1"; else echo "FAIL - $1"; FAILED=1; return 1; fi
}

# ---------------------------------------------------------------- the screen
find_window() {  # waits up to 20 s for the visible window titled Snickit; sets X and Y, its place
  place=$(timeout 20 xdotool search --sync --onlyvisible --name '^Snickit$' getwindowgeometry --shell) &&
    eval "$place" && sleep 0.3
}
shot() { import -window root -crop "240x95+$X+$Y" +repage "$WORK/shot.png"; }
shows() {  # shows BMP: the window shows that picture, within 5 s
  for _ in $(seq 25); do
    shot
    [[ $(compare -metric AE "$WORK/shot.png" "$1" null: 2>&1) == 0 ]] && return 0
    sleep 0.2
  done
  return 1
}
click() { xdotool mousemove $((X + $1)) $((Y + $2)) click 1; sleep 0.2; }

# ---------------------------------------------------------------- sound server
export XDG_RUNTIME_DIR=$WORK/run HOME=$WORK/home
mkdir -m 700 "$XDG_RUNTIME_DIR" "$HOME"
export PULSE_SERVER=unix:$XDG_RUNTIME_DIR/pulse-native
pulseaudio --daemonize=no --exit-idle-time=-1 -n --use-pid-file=no --log-target=stderr \
  --load="module-null-sink sink_name=snickit" \
  --load="module-native-protocol-unix socket=${PULSE_SERVER#unix:} auth-anonymous=1" >"$WORK/pulseaudio.log" 2>&1 &
for i in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
parec -d snickit.monitor --format=s16le --channels=1 --rate=44100 --raw >"$WORK/heard.raw" 2>/dev/null &
peak() {  # peak FROM-BYTE: the loudest sample recorded since
  tail -c +$(($1 / 2 * 2 + 1)) "$WORK/heard.raw" | od -An -v -td2 -w2 |
    awk '{ v = $1 < 0 ? -$1 : $1; if (v > m) m = v } END { print m + 0 }'
}

wine_start

# ---------------------------------------------------------------- Linux
mkdir "$WORK/linux" && tar -xzf "$OUT/snickit-$VERSION-linux-x86_64.tar.gz" -C "$WORK/linux"
folder=$WORK/linux/snickit-$VERSION-linux-x86_64
skins=$folder/skins
# (and those the download brings in its lib/).
hidden=(/usr/lib/x86_64-linux-gnu/lib{SDL2-2.0,SDL2_ttf-2.0,freetype,harfbuzz,decor-0,samplerate,Xss}.so*)
# In its own mount namespace, the program sees empty files in place of those
# libraries and an empty fonts folder.
unshare -m bash -c '
  for f in "${@:2}"; do [[ -f $f && ! -L $f ]] && mount --bind /dev/null "$f"; done
  mount -t tmpfs none /usr/share/fonts
  [[ ! -s /usr/lib/x86_64-linux-gnu/libSDL2-2.0.so.0 && -z $(ls /usr/share/fonts) ]] || exit 99
  cd "$1" && SDL_AUDIODRIVER=pulseaudio exec ./snickit' - "$folder" "${hidden[@]}" >"$WORK/linux.log" 2>&1 &
linux_pid=$!
if check "Linux: the program starts" find_window; then
  check "Linux: the about picture, without system SDL2 and fonts" shows "$ROOT/resources/about.bmp"
  click 62 71
  check "Linux: the pad after OK" shows "$skins/Candy/box.bmp"
  sleep 0.5
  mark=$(stat -c %s "$WORK/heard.raw")
  xdotool mousemove $((X + 33)) $((Y + 60)) mousedown 1 sleep 0.2 mouseup 1
  sleep 1.5
  check "Linux: a release of button 1 heard through PulseAudio" test "$(peak "$mark")" -gt 1000
else
  cat "$WORK/linux.log"
fi
kill "$linux_pid" 2>/dev/null; wait "$linux_pid" 2>/dev/null

# ---------------------------------------------------------------- install.sh
# One row a home as a user may have it: install.sh run twice (the second
# run updates), then --remove, leaves the home as it was, folders and the
# menu's caches included: what install made goes, what was there stays.
listing() { (cd "$1" && find . -printf '%p %s\n' | LC_ALL=C sort); }
run_install() { HOME=$home XDG_DATA_HOME= sh "$folder/install.sh" "$@" >/dev/null; }
check "install.sh: update-desktop-database and gtk-update-icon-cache are here (they make the caches)" \
  eval '{ command -v update-desktop-database && command -v gtk-update-icon-cache; } >/dev/null'
for kind in "nothing" "empty menu folders" "a cache listing nothing" "other entries, icons and caches"; do
  home=$(mktemp -d "$WORK/home.XXXXXX")
  data=$home/.local/share
  case $kind in
    "empty menu folders") mkdir -p "$data/applications" "$data/icons/hicolor" ;;
    "a cache listing nothing") mkdir -p "$data/applications" && update-desktop-database -q "$data/applications" ;;
    "other entries, icons and caches")
      mkdir -p "$data/applications" "$data/icons/hicolor/16x16/apps"
      printf '[Desktop Entry]\nType=Application\nName=Other\nExec=other\nMimeType=text/x-other;\n' \
        >"$data/applications/other.desktop"
      cp "$folder/icons/snickit-16.png" "$data/icons/hicolor/16x16/apps/other.png"
      update-desktop-database -q "$data/applications" && gtk-update-icon-cache -q -t "$data/icons/hicolor" ;;
  esac
  listing "$home" >"$WORK/before"
  check "install.sh in a home with $kind: the entry is there" \
    eval 'run_install && run_install && test -f "$data/applications/snickit.desktop"'
  run_install --remove
  check "install.sh --remove in a home with $kind: the home as it was" eval 'listing "$home" | diff "$WORK/before" -'
done

# ---------------------------------------------------------------- Windows
WINDIR="$WORK/Programme Ä"
mkdir "$WINDIR" && unzip -q "$OUT/snickit-$VERSION-windows-x64.zip" -d "$WINDIR"
(cd "$WINDIR/snickit-$VERSION-windows-x64" && exec wine snickit.exe) >"$WORK/windows.log" 2>&1 &
check "Windows: the about picture, from a path with a space and Ä" \
  eval 'find_window && shows "$ROOT/resources/about.bmp"' || cat "$WORK/windows.log"
exit $FAILED
