#!/usr/bin/env bash
# Snickit's one entry point for building, running and testing.
#   ./dev.sh run       install what is missing, build, start Snickit from build/snickit/
#   ./dev.sh test      install what is missing, build, run every test suite
#   ./dev.sh windows   build the Windows program folder build-windows/snickit/ and its zip
#   ./dev.sh bench [RUNS]  build, then measure Snickit against a bare SDL2 program under Xvfb
#                      (15 runs of each; one table; timings on a busy machine are noisy)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc 2>/dev/null || echo 2)

# Debian packages each task needs.
PKG_BUILD="cmake g++ make libgtest-dev googletest libsdl2-dev libsdl2-ttf-dev libx11-dev fonts-dejavu-core"
PKG_E2E="python3 xvfb xdotool openbox imagemagick x11-apps x11-utils sox"
PKG_WINDOWS="g++-mingw-w64-x86-64 wine wine64 zip"
PKG_BENCH="python3 xvfb openbox libxtst6"

install_packages() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  ((${#missing[@]} == 0)) && return 0
  local sudo=""
  [[ $(id -u) -ne 0 ]] && sudo="sudo"
  echo "Installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
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
    install_packages $PKG_BUILD
    build_linux build
    exec build/snickit/snickit
    ;;
  test)
    install_packages $PKG_BUILD $PKG_E2E $PKG_WINDOWS
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
    echo
    echo "suites: $PASSED passed, $FAILED failed"
    ((FAILED == 0))
    ;;
  bench)
    install_packages $PKG_BUILD $PKG_BENCH
    # Its own build folder: the program and the bare program, no tests.
    build_linux build-bench -DSNICKIT_BUILD_TESTS=OFF -DSNICKIT_BUILD_BENCH=ON
    exec python3 bench/bench.py build-bench/snickit build-bench/bench/snickit-bare "${2:-15}"
    ;;
  windows)
    install_packages $PKG_WINDOWS
    bash tools/windows/build.sh
    ;;
  *)
    sed -n '2,7p' "$0"
    exit 2
    ;;
esac
