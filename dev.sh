#!/usr/bin/env bash
# Snickit's one entry point for building, running and testing.
#   ./dev.sh run       install what is missing, build, start Snickit from build/snickit/
#   ./dev.sh test      install what is missing, build, run every test suite
#   ./dev.sh windows   build the Windows program folder build-windows/snickit/ and its zip
#   ./dev.sh fuzz [SECONDS]  build the fuzzers (build-fuzz/) and run each for SECONDS (30)
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc 2>/dev/null || echo 2)

# Debian packages each task needs.
PKG_BUILD="cmake g++ make libgtest-dev googletest libsdl2-dev libsdl2-ttf-dev libx11-dev fonts-dejavu-core"
PKG_E2E="python3 xvfb xdotool openbox imagemagick x11-apps x11-utils sox"
PKG_WINDOWS="g++-mingw-w64-x86-64 wine wine64 zip"
PKG_FUZZ="clang-14 libclang-rt-14-dev"

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

# The libFuzzer targets of tests/fuzz, each run in turn for $1 seconds on its
# corpus build-fuzz/corpus/NAME, seeded from the shipped skins and settings.
# A finding is left as build-fuzz/crash-* (or leak-*, oom-*, timeout-*).
fuzz() {
  local seconds=${1:-30} name status=0
  CC=clang-14 CXX=clang++-14 cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DSNICKIT_FUZZ=ON -DSNICKIT_BUILD_APP=OFF -DSNICKIT_BUILD_TESTS=OFF >/dev/null
  cmake --build build-fuzz -j "$JOBS"
  mkdir -p build-fuzz/corpus/settings build-fuzz/corpus/picture build-fuzz/corpus/sound
  cp -n dist/config.sn build-fuzz/corpus/settings/
  for f in dist/skins/*/*.bmp resources/*.bmp; do cp -n "$f" "build-fuzz/corpus/picture/$(basename "$(dirname "$f")")-$(basename "$f")"; done
  for f in dist/skins/*/*.wav resources/*.wav; do cp -n "$f" "build-fuzz/corpus/sound/$(basename "$(dirname "$f")")-$(basename "$f")"; done
  # Short sounds of every layout SDL decodes, so that the decoders are reached.
  if command -v sox >/dev/null && [[ ! -f build-fuzz/corpus/sound/ima.wav ]]; then
    local layout
    for layout in "u8:-b 8 -e unsigned-integer -r 8000" "ima:-e ima-adpcm -r 11025" "ms:-e ms-adpcm -c 2" \
                  "float:-b 32 -e floating-point -r 96000" "s24:-b 24 -r 32000" "s32:-b 32 -c 2 -r 8000" \
                  "alaw:-e a-law" "ulaw:-e u-law -c 2" "ext:-b 24 -c 3 -r 48000"; do
      sox -n ${layout#*:} "build-fuzz/corpus/sound/${layout%%:*}.wav" synth 0.02 sine 440 2>/dev/null || true
    done
  fi
  for name in settings picture sound; do
    echo "--- fuzz_$name for $seconds s"
    (cd build-fuzz && ./tests/fuzz/fuzz_$name -max_total_time="$seconds" -rss_limit_mb=1024 -timeout=60 \
      -print_final_stats=1 "corpus/$name" 2>&1 | grep -E '^(#[0-9]+.*(DONE|INITED)|stat::number_of_executed_units|==[0-9]+==|SUMMARY|artifact_prefix|Test unit written)') || status=1
  done
  return $status
}

case "${1:-}" in
  run)
    install_packages $PKG_BUILD
    build_linux build
    exec build/snickit/snickit
    ;;
  test)
    install_packages $PKG_BUILD $PKG_E2E $PKG_WINDOWS $PKG_FUZZ
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
    stage "fuzzers (30 s each)" fuzz 30
    echo
    echo "suites: $PASSED passed, $FAILED failed"
    ((FAILED == 0))
    ;;
  windows)
    install_packages $PKG_WINDOWS
    bash tools/windows/build.sh
    ;;
  fuzz)
    install_packages $PKG_BUILD $PKG_FUZZ
    fuzz "${2:-30}"
    ;;
  *)
    sed -n '2,6p' "$0"
    exit 2
    ;;
esac
