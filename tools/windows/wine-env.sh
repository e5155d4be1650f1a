# Shared by the Windows scripts: a private wine prefix under the build folder,
# quiet wine, no sound output, and a private display: Xvfb with openbox as its
# window manager, as a desktop has one.
#   source tools/windows/wine-env.sh; wine_start; ...; wine_stop
export WINEPREFIX=${SNICKIT_WINEPREFIX:-${BUILD:?}/wineprefix}
export WINEDEBUG=${WINEDEBUG:--all}
# No sound card on a build machine: keep wine's audio drivers from trying.
export WINEDLLOVERRIDES="winealsa.drv,winepulse.drv,wineoss.drv=d;mscoree,mshtml=d${WINEDLLOVERRIDES:+;$WINEDLLOVERRIDES}"
export SNICKIT_NO_MESSAGEBOX=1

SNICKIT_XVFB_PID=""
SNICKIT_WM_PID=""
wine_start() {
  local n i
  for n in $(seq 91 130); do
    [[ -e /tmp/.X$n-lock || -e /tmp/.X11-unix/X$n ]] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    SNICKIT_XVFB_PID=$!
    export DISPLAY=":$n"
    for i in $(seq 50); do
      [[ -e /tmp/.X11-unix/X$n ]] && break
      sleep 0.1
    done
    break
  done
  [[ -n $SNICKIT_XVFB_PID ]] || { echo "no free display for Xvfb" >&2; return 1; }
  if [[ -z ${SNICKIT_NO_WM:-} ]]; then
    openbox >/dev/null 2>&1 &
    SNICKIT_WM_PID=$!
    sleep 0.5
  fi
  if [[ ! -f $WINEPREFIX/system.reg ]]; then
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
  fi
  wineserver -p 2>/dev/null || true   # one server for all runs of this script
}

wine_stop() {
  wineserver -k 2>/dev/null || true
  wineserver -w 2>/dev/null || true
  if [[ -n $SNICKIT_WM_PID ]]; then
    kill "$SNICKIT_WM_PID" 2>/dev/null || true
    wait "$SNICKIT_WM_PID" 2>/dev/null || true
    SNICKIT_WM_PID=""
  fi
  if [[ -n $SNICKIT_XVFB_PID ]]; then
    kill "$SNICKIT_XVFB_PID" 2>/dev/null || true
    wait "$SNICKIT_XVFB_PID" 2>/dev/null || true
    SNICKIT_XVFB_PID=""
  fi
}
