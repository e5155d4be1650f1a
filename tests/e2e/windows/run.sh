#!/usr/bin/env bash
# End-to-end tests of the Windows program under wine, in a private Xvfb with
# openbox, driven with xdotool; what the window shows is read back as pixels
# with ImageMagick. Each session runs a copy of the program folder in a
# temporary folder, with test skins of known solid colours.
#   tests/e2e/windows/run.sh <program-folder>     (e.g. build-windows/snickit)
set -uo pipefail
PROGRAM=$(cd "${1:?usage: run.sh <program-folder>}" && pwd)
ROOT=$(cd "$(dirname "$0")/../../.." && pwd)
BUILD=${SNICKIT_WINDOWS_BUILD:-$ROOT/build-windows}
CONVERT=/usr/bin/convert
IMPORT=/usr/bin/import
source "$ROOT/tools/windows/wine-env.sh"
# winmm's trace names each sound that is started.
export WINEDEBUG=-all,trace+winmm

WORK=$(mktemp -d /tmp/snickit-e2e-win.XXXXXX)
PASSED=0
FAILED=0
PID=""
finish() {
  [[ -n $PID ]] && kill "$PID" 2>/dev/null
  wine_stop
  rm -rf "$WORK"
}
trap finish EXIT
trap 'exit 130' INT TERM

# ---------------------------------------------------------------- reporting
CASE_OK=1
CASE_WHY=""
begin() { CASE_OK=1; CASE_WHY=""; }
check() {  # check DESCRIPTION ACTUAL EXPECTED
  if [[ $2 != "$3" ]]; then
    CASE_OK=0
    CASE_WHY+=" [$1: got '$2', expected '$3']"
  fi
}
end() {  # end NAME
  if ((CASE_OK)); then
    PASSED=$((PASSED + 1)); echo "ok   - $1"
  else
    FAILED=$((FAILED + 1)); echo "FAIL - $1:$CASE_WHY"
  fi
}

# ---------------------------------------------------------------- test skins
# Solid colours: normal, pressed, menu.
ALPHA=(200,0,0 0,160,0 0,0,180)
BETA=(220,220,0 200,0,200 0,200,200)
GREY=192,192,192
make_skin() {  # make_skin FOLDER NORMAL PRESSED MENU [SOUNDS...]
  local dir=$1 n; shift
  mkdir -p "$dir"
  $CONVERT -size 240x95 "xc:rgb($1)" -type TrueColor BMP3:"$dir/box.bmp"
  $CONVERT -size 240x95 "xc:rgb($2)" -type TrueColor BMP3:"$dir/box2.bmp"
  $CONVERT -size 240x95 "xc:rgb($3)" -type TrueColor BMP3:"$dir/menu.bmp"
  shift 3
  for n in "$@"; do cp "$WORK/tone.wav" "$dir/$n.wav"; done
}
sox -n -r 22050 -b 16 -c 1 "$WORK/tone.wav" synth 0.1 sine 440 2>/dev/null
make_skin "$WORK/skins/Alpha" "${ALPHA[@]}" 1 2 3   # no 4.wav: the default sound
make_skin "$WORK/skins/Beta" "${BETA[@]}" 1 2 3 4

# The desktop's URL opener, as wine's browser bridge calls it: records the
# address instead of starting a browser.
mkdir -p "$WORK/bin"
printf '#!/bin/sh\necho "$@" >>"%s"\n' "$WORK/opened" >"$WORK/bin/xdg-open"
chmod +x "$WORK/bin/xdg-open"
export PATH=$WORK/bin:$PATH

# The built-in about picture the build used.
ABOUT=$BUILD/built-in-about.bmp
[[ -f $ABOUT ]] || ABOUT=$ROOT/resources/about.bmp

new_folder() {  # new_folder NAME CONFIG-TEXT|-: a program folder with the test skins
  local dir=$WORK/$1
  mkdir -p "$dir"
  cp "$PROGRAM/snickit.exe" "$dir/"
  cp -r "$WORK/skins" "$dir/skins"
  [[ $2 != - ]] && printf '%b' "$2" >"$dir/config.sn"
  echo "$dir"
}

# ---------------------------------------------------------------- the program
launch() {  # launch FOLDER: starts snickit.exe there; its output goes to FOLDER.log
  (cd "$1" && exec wine snickit.exe) >"$1.log" 2>&1 &
  PID=$!
}
WID=""
wait_window() {  # the shown window, within 30 s
  local i
  WID=""
  for i in $(seq 150); do
    WID=$(xdotool search --onlyvisible --name '^Snickit$' 2>/dev/null | head -n1)
    [[ -n $WID ]] && { sleep 0.5; return 0; }
    kill -0 "$PID" 2>/dev/null || return 1
    sleep 0.2
  done
  return 1
}
wait_exit() {  # wait_exit SECONDS: prints the exit status, or "running"
  local i
  for i in $(seq $(($1 * 10))); do
    if ! kill -0 "$PID" 2>/dev/null; then
      wait "$PID"; echo $?; PID=""; return
    fi
    sleep 0.1
  done
  echo running
}
WX=0 WY=0
where() {  # the window's place on the screen into WX, WY
  eval "$(xdotool getwindowgeometry --shell "$WID" | grep -E '^(X|Y)=')"
  WX=$X WY=$Y
}
settle() { sleep "${1:-0.4}"; }
click() {  # click X Y [BUTTON]: client pixels
  xdotool mousemove $((WX + $1)) $((WY + $2)); settle 0.1
  xdotool click "${3:-1}"; settle
}
shot() { $IMPORT -window root "$WORK/shot.png"; }
colour() {  # colour X Y W H (client pixels, from the last shot): "r,g,b" or "mixed"
  local out
  out=$($CONVERT "$WORK/shot.png" -crop "$3x$4+$((WX + $1))+$((WY + $2))" +repage \
         -depth 8 -unique-colors txt:- | tail -n +2)
  if [[ $(wc -l <<<"$out") -eq 1 ]]; then
    sed -E 's/^[^(]*\(([0-9]+),([0-9]+),([0-9]+).*/\1,\2,\3/' <<<"$out"
  else
    echo mixed
  fi
}
sounds() { grep -c "$1" "$FOLDER.log"; }  # how many sounds matching a pattern started
about_difference() {  # pixels of the window (last shot) that differ from the about picture
  [[ -f $ABOUT ]] || { echo "no $ABOUT"; return; }
  $CONVERT "$WORK/shot.png" -crop "240x95+$WX+$WY" +repage "$WORK/window.png" &&
    compare -metric AE "$WORK/window.png" "$ABOUT" null: 2>&1
}
cpu_ticks() {  # processor time used so far by the running snickit.exe, in clock ticks
  local pid="" p
  for p in $(pgrep -x snickit.exe); do   # ours: the one in this wine prefix
    tr '\0' '\n' <"/proc/$p/environ" 2>/dev/null | grep -qx "WINEPREFIX=$WINEPREFIX" && pid=$p
  done
  [[ -n $pid ]] && awk '{print $14 + $15}' "/proc/$pid/stat" || echo none
}
idle_ticks() {  # clock ticks used over 3 s of leaving the program alone
  local a b
  a=$(cpu_ticks); sleep 3; b=$(cpu_ticks)
  [[ $a == none || $b == none ]] && { echo none; return; }
  echo $((b - a))
}

# Hot spots (client pixels: left, top, width, height).
BTN=("3 19 60 71" "62 19 58 71" "119 19 58 71" "176 19 60 71")
centre() { local r=($1); echo $((r[0] + r[2] / 2)) $((r[1] + r[3] / 2)); }
# The button's rectangle without the columns it shares with its neighbours.
inner() { local r=($1); echo $((r[0] + 1)) ${r[1]} $((r[2] - 2)) ${r[3]}; }

wine_start
# NumLock on, as on most desktops. The keypad keys are then sent by their
# NumLock-off names (KP_End ... KP_Left), which are their keys' first
# symbols: xdotool then presses just the key, and with NumLock on wine
# reports VK_NUMPAD1 ... VK_NUMPAD4.
xdotool key Num_Lock
KP=(KP_End KP_Down KP_Next KP_Left)
echo "wine $(wine --version 2>/dev/null), display $DISPLAY, prefix $WINEPREFIX"

# ================================================================ session 1
FOLDER=$(new_folder main ' 3000 \r\n 1500 \r\nAlpha\\\r\n')
launch "$FOLDER"

begin
if wait_window; then
  where; shot
  check "place" "$WX,$WY" "200,100"
  check "size" "$(xdotool getwindowgeometry "$WID" | sed -n 's/.*Geometry: //p')" "240x95"
  check "pixels differing from the about picture" "$(about_difference)" "0"
else
  check "window shown" "no" "yes"
fi
end "start-up: the window stands at the config.sn position (3000, 1500 twips) showing the about picture"

begin
ticks=$(idle_ticks)
check "idle while waiting for OK uses at most 5 ticks in 3 s" "$([[ $ticks != none ]] && ((ticks <= 5)) && echo yes || echo "no ($ticks)")" "yes"
end "the start-up screen waits for OK without using the processor"

begin
click 183 73   # Image_Net
for i in $(seq 30); do [[ -s $WORK/opened ]] && break; sleep 0.2; done
url=$(sed -n 's/.*kProductWebPage = "\([^"]*\)".*/\1/p' "$ROOT/screens/AboutScreen.cpp")
check "address given to the desktop's opener" "$(cat "$WORK/opened" 2>/dev/null)" "${url:-(no address in the source)}"
shot
check "still running" "$(kill -0 "$PID" 2>/dev/null && echo yes || echo no)" "yes"
check "pixels differing from the about picture" "$(about_difference)" "0"
end "the web link opens the product's address with the desktop's opener; the about screen stays"

begin
click 62 71   # OK
shot
check "pad picture" "$(colour 0 0 240 95)" "${ALPHA[0]}"
ticks=$(idle_ticks)
check "idle on the pad uses at most 5 ticks in 3 s" "$([[ $ticks != none ]] && ((ticks <= 5)) && echo yes || echo "no ($ticks)")" "yes"
end "OK leads to the pad with the skin's normal picture; the idle pad uses no processor time"

begin
read -r cx cy < <(centre "${BTN[1]}")
xdotool mousemove $((WX + cx)) $((WY + cy)) mousedown 1; settle
shot
check "button 2 while pressed" "$(colour $(inner "${BTN[1]}"))" "${ALPHA[1]}"
check "button 1 while 2 is pressed" "$(colour $(inner "${BTN[0]}"))" "${ALPHA[0]}"
check "button 3 while 2 is pressed" "$(colour $(inner "${BTN[2]}"))" "${ALPHA[0]}"
check "sounds before the release" "$(sounds 'Alpha\\\\2.wav')" "0"
xdotool mouseup 1; settle
shot
check "button 2 after the release" "$(colour 0 0 240 95)" "${ALPHA[0]}"
check "2.wav started" "$(sounds 'SoundName=L".*\\\\skins\\\\Alpha\\\\2.wav"')" "1"
end "a sound button by mouse: pressed look from box2.bmp, then 2.wav and box.bmp"

begin
read -r cx cy < <(centre "${BTN[0]}")
xdotool mousemove $((WX + cx)) $((WY + cy)) mousedown 3; settle
shot
check "button 1 pressed by the right button" "$(colour $(inner "${BTN[0]}"))" "${ALPHA[1]}"
xdotool mousemove $((WX + 400)) $((WY + 300)); settle
xdotool mouseup 3; settle
shot
check "button 1 after a release outside the window" "$(colour 0 0 240 95)" "${ALPHA[0]}"
check "1.wav started" "$(sounds 'SoundName=L".*\\\\skins\\\\Alpha\\\\1.wav"')" "1"
end "the capture holds from press to release: a right-button release outside the window still plays"

begin
xdotool keydown ${KP[2]}; settle
shot
check "button 3 while keypad 3 is down" "$(colour $(inner "${BTN[2]}"))" "${ALPHA[1]}"
check "button 4 while keypad 3 is down" "$(colour $(inner "${BTN[3]}"))" "${ALPHA[0]}"
xdotool keyup ${KP[2]}; settle
shot
check "button 3 after keypad 3 is up" "$(colour 0 0 240 95)" "${ALPHA[0]}"
check "3.wav started" "$(sounds 'SoundName=L".*\\\\skins\\\\Alpha\\\\3.wav"')" "1"
xdotool key 3; settle   # the digit row is no shortcut
shot
check "after the digit key 3" "$(colour 0 0 240 95)" "${ALPHA[0]}"
check "sounds after the digit key 3" "$(sounds 'SoundName=L".*\\\\skins\\\\Alpha\\\\3.wav"')" "1"
end "a sound button by keypad: keypad 3 down shows box2.bmp, up plays 3.wav and shows box.bmp"

begin
before=$(sounds 'fdwSound=00000007')
xdotool key ${KP[3]}; settle
check "built-in default sounds started" "$(sounds 'fdwSound=00000007')" "$((before + 1))"
check "attempts at the missing file" "$(sounds 'Alpha\\\\4.wav')" "0"
end "a skin without 4.wav plays the built-in default sound for keypad 4"

begin
xdotool key Num_Lock   # off
xdotool keydown ${KP[2]}; settle
shot
check "picture while keypad 3 is down with NumLock off" "$(colour 0 0 240 95)" "${ALPHA[0]}"
xdotool keyup ${KP[2]}; settle
check "3.wav after keypad 3 with NumLock off" "$(sounds 'SoundName=L".*\\\\skins\\\\Alpha\\\\3.wav"')" "1"
xdotool key Num_Lock   # on again
end "with NumLock off the keypad keys are no shortcuts"

begin
click 10 10   # Image_Menu
shot
check "menu picture" "$(colour 0 0 240 95)" "${ALPHA[2]}"
read -r cx cy < <(centre "${BTN[2]}")
click 150 80   # a sound button's place below the menu items: background now
shot
check "no button pressed on the menu screen" "$(colour 0 0 240 95)" "${ALPHA[2]}"
click 10 10
shot
check "pad picture again" "$(colour 0 0 240 95)" "${ALPHA[0]}"
end "the menu hot spot opens the menu picture and closes it again"

begin
click 10 10; click 60 30   # menu, Skins
shot
check "the list's background" "$(colour 150 70 60 15)" "$GREY"
check "above the list" "$(colour 0 0 240 20)" "${ALPHA[0]}"
check "below the list" "$(colour 0 89 240 6)" "${ALPHA[0]}"
check "left of the list" "$(colour 0 21 6 67)" "${ALPHA[0]}"
# Entries: Alpha, Beta, one text line each from the list's top.
click 40 $((22 + 13 + 6))   # the second entry, Beta
shot
check "preview of Beta around the list" "$(colour 0 0 240 20)" "${BETA[0]}"
xdotool key Up; settle
shot
check "after the Up arrow" "$(colour 0 0 240 20)" "${ALPHA[0]}"
xdotool key Down; settle
shot
check "after the Down arrow" "$(colour 0 0 240 20)" "${BETA[0]}"
xdotool mousemove $((WX + 40)) $((WY + 22 + 13 + 6)) click --repeat 2 --delay 80 1; settle 0.6
shot
check "after the double click" "$(colour 0 0 240 95)" "${BETA[0]}"
read -r cx cy < <(centre "${BTN[3]}")
xdotool mousemove $((WX + cx)) $((WY + cy)) mousedown 1; settle
shot
check "Beta's pressed picture" "$(colour $(inner "${BTN[3]}"))" "${BETA[1]}"
xdotool mouseup 1; settle
check "Beta's 4.wav" "$(sounds 'SoundName=L".*\\\\skins\\\\Beta\\\\4.wav"')" "1"
click 10 10
shot
check "Beta's menu picture" "$(colour 0 0 240 95)" "${BETA[2]}"
click 10 10
end "the chooser's native list: grey list, preview by click and by arrow keys, apply by double click"

begin
where; x0=$WX; y0=$WY
xdotool mousemove $((WX + 100)) $((WY + 8)) mousedown 1; settle 0.2
xdotool mousemove $((WX + 130)) $((WY + 28)); settle 0.2
xdotool mousemove $((WX + 160)) $((WY + 48)); settle 0.2
xdotool mouseup 1; settle
where
check "place after a left drag by 60, 40" "$WX,$WY" "$((x0 + 60)),$((y0 + 40))"
shot
check "picture at the new place" "$(colour 0 0 240 95)" "${BETA[0]}"
x0=$WX; y0=$WY
xdotool mousemove $((WX + 100)) $((WY + 8)) mousedown 3; settle 0.2
xdotool mousemove $((WX + 80)) $((WY + 18)); settle 0.2
xdotool mousemove $((WX + 70)) $((WY + 23)); settle 0.2
xdotool mouseup 3; settle
where
check "place after a right drag by -30, 15" "$WX,$WY" "$((x0 - 30)),$((y0 + 15))"
xdotool mousemove $((WX + 150)) $((WY + 50)); settle 0.2   # the pointer is free again
where
check "place after the release" "$WX,$WY" "$((x0 - 30)),$((y0 + 15))"
end "a drag on the background moves the window, with the left and with the right button"

begin
click 212 9   # Image_Min
state=$(xprop -id "$WID" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p')
check "state after the minimize hot spot" "$state" "Iconic"
xdotool windowactivate "$WID" 2>/dev/null; settle 0.8
state=$(xprop -id "$WID" WM_STATE 2>/dev/null | sed -n 's/.*window state: //p')
check "state after restoring" "$state" "Normal"
where; shot
check "pad picture after restoring" "$(colour 0 0 240 95)" "${BETA[0]}"
end "the minimize hot spot minimizes; the window manager restores the same screen"

begin
where
click 229 9   # Image_quit(0)
check "exit status" "$(wait_exit 15)" "0"
expected=$(printf ' %d \r\n %d \r\nBeta\\\r\n' $((WX * 15)) $((WY * 15)) | od -An -c)
check "config.sn" "$(od -An -c "$FOLDER/config.sn")" "$expected"
end "quitting writes config.sn with CR LF, the new position and the chosen skin"

# ================================================================ session 2
begin
FOLDER=$(new_folder closed ' 1500 \r\n 1500 \r\nAlpha\\\r\n')
launch "$FOLDER"
if wait_window; then
  where
  click 62 71   # OK
  click 100 8 1 # a click on the background: focus, no move
  xdotool windowactivate --sync "$WID" key --clearmodifiers alt+F4
  check "exit status" "$(wait_exit 15)" "0"
  check "config.sn" "$(od -An -c "$FOLDER/config.sn")" "$(printf ' 1500 \r\n 1500 \r\nAlpha\\\r\n' | od -An -c)"
else
  check "window shown" "no" "yes"
fi
end "a close from outside (Alt+F4) ends the program without writing config.sn"

# ================================================================ session 3
begin
FOLDER=$(new_folder noconfig -)
launch "$FOLDER"
status=$(wait_exit 30)
check "exit status is non-zero" "$([[ $status != running && $status != 0 ]] && echo yes || echo "no ($status)")" "yes"
check "message names config.sn" "$(grep -c 'Snickit: .*config\.sn' "$FOLDER.log")" "1"
check "config.sn created" "$([[ -e $FOLDER/config.sn ]] && echo yes || echo no)" "no"
end "a missing config.sn ends with a message naming it and a non-zero status"

echo "$PASSED passed, $FAILED failed"
((FAILED == 0))
