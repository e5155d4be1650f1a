#!/usr/bin/env bash
# Snickit's one entry point for building, running and testing.
#   ./dev.sh run       install what is missing, build, start Snickit from build/snickit/
#   ./dev.sh test      install what is missing, build, run every test suite
#   ./dev.sh windows   build the Windows program folder build-windows/snickit/ and its zip
#   ./dev.sh release   build both downloads in build-release/ (tools/release/release.sh)
# Each first installs the Debian packages it misses, saying which and why;
# SNICKIT_NO_INSTALL=1 only reports them.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc 2>/dev/null || echo 2)

# Debian packages each task needs, and why. Other systems: README.md, "Build
# by hand".
declare -A PKGS WHY
PKGS[build]="cmake g++ make libgtest-dev googletest libsdl2-dev libx11-dev libfreetype-dev fonts-dejavu-core"
WHY[build]="to build Snickit and its unit tests (FreeType and DejaVu Sans only while building, for the list's glyphs)"
PKGS[e2e]="python3 xvfb xdotool openbox imagemagick x11-apps x11-utils sox pulseaudio pulseaudio-utils"
WHY[e2e]="for the desktop tests (a private X server, input, pixels, sound, a private sound server)"
PKGS[windows]="g++-mingw-w64-x86-64 wine wine64 zip"
WHY[windows]="to cross-build the Windows program and run its tests under wine"
PKGS[release]="g++-mingw-w64-x86-64 zip unzip imagemagick"
WHY[release]="to build the downloads (the Windows program, its zip, the menu icons) and unpack them in the tests"

# install_packages TASK...: installs the packages these tasks miss, after
# saying which and why. Never escalates silently: sudo only when it exists
# (and says so); SNICKIT_NO_INSTALL=1, or a system without apt and dpkg, only
# reports what is missing.
install_packages() {
  local task p missing=() lines=()
  if ! command -v dpkg-query >/dev/null 2>&1 || ! command -v apt-get >/dev/null 2>&1; then
    echo "dev.sh: no apt-get/dpkg on this system, so nothing is installed. Make sure you have"
    for task in "$@"; do echo "  ${WHY[$task]}: the equivalents of ${PKGS[$task]}"; done
    echo "  (README.md, \"Build by hand\", names them for Fedora and Arch)"
    return 0
  fi
  for task in "$@"; do
    local task_missing=()
    for p in ${PKGS[$task]}; do
      [[ " ${missing[*]} " == *" $p "* ]] && continue
      dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || task_missing+=("$p")
    done
    ((${#task_missing[@]} == 0)) && continue
    missing+=("${task_missing[@]}")
    lines+=("  ${task_missing[*]}: ${WHY[$task]}")
  done
  ((${#missing[@]} == 0)) && return 0
  echo "dev.sh: these packages are missing:"
  printf '%s\n' "${lines[@]}"
  if [[ -n ${SNICKIT_NO_INSTALL:-} ]]; then
    echo "dev.sh: SNICKIT_NO_INSTALL is set: not installing them; what follows may fail."
    return 0
  fi
  local sudo=()
  if [[ $(id -u) -ne 0 ]]; then
    if ! command -v sudo >/dev/null 2>&1; then
      echo "dev.sh: you are not root and there is no sudo: install them as root, then run again."
      return 0
    fi
    echo "dev.sh: installing them with sudo apt-get (sudo may ask for your password)."
    sudo=(sudo)
  else
    echo "dev.sh: installing them with apt-get."
  fi
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq -o DPkg::Lock::Timeout=900 "${missing[@]}"
}

build_linux() {  # build_linux DIR [cmake options...]
  local dir=$1; shift
  cmake -S . -B "$dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build "$dir" -j "$JOBS"
}

PASSED=0
FAILED=0
stage() {  # stage NAME COMMAND...
  local name=$1; shift
  echo
  echo "=== $name"
  if "$@"; then
    PASSED=$((PASSED + 1)); echo "=== $name: passed"
  else
    FAILED=$((FAILED + 1)); echo "=== $name: FAILED"
  fi
}

unit_tests() { ctest --test-dir "$1" --output-on-failure -j "$JOBS"; }

case "${1:-}" in
  run)
    install_packages build
    build_linux build
    exec build/snickit/snickit
    ;;
  test)
    install_packages build e2e windows release
    build_linux build
    stage "unit tests" unit_tests build
    build_linux build-asan -DSNICKIT_SANITIZE=ON -DSNICKIT_BUILD_APP=OFF
    stage "unit tests under AddressSanitizer and UndefinedBehaviorSanitizer" unit_tests build-asan
    if [[ -f tests/e2e/linux/run.sh ]]; then
      stage "Linux desktop tests (Xvfb)" bash tests/e2e/linux/run.sh build/snickit
    fi
    if [[ -f tools/windows/build.sh ]]; then
      stage "Windows build" bash tools/windows/build.sh
      stage "unit tests for Windows (wine)" bash tools/windows/unit-tests.sh
      if [[ -f tests/e2e/windows/run.sh ]]; then
        stage "Windows desktop tests (wine, Xvfb)" bash tests/e2e/windows/run.sh build-windows/snickit
      fi
    fi
    stage "release downloads" bash -c 'JOBS=$1 bash tools/release/release.sh && bash tests/release/run.sh' - "$JOBS"
    echo
    echo "suites: $PASSED passed, $FAILED failed"
    ((FAILED == 0))
    ;;
  windows)
    install_packages windows
    bash tools/windows/build.sh
    ;;
  release)
    install_packages build release
    JOBS=$JOBS bash tools/release/release.sh
    ;;
  *)
    sed -n '2,8p' "$0"
    exit 2
    ;;
esac
