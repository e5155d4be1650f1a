#!/usr/bin/env bash
# Snickit's one entry point for building, running and testing.
#   ./dev.sh run               install what is missing, build, start Snickit from build/snickit/
#   ./dev.sh test [SUITE...]   install what is missing, build, run the named test suites
#                              (every suite without names); ./dev.sh test --list names them
#   ./dev.sh windows           build the Windows program folder build-windows/snickit/ and its zip
#   ./dev.sh release           build both downloads in build-release/ (tools/release/release.sh)
#   ./dev.sh fuzz [SECONDS]    build the fuzzers (build-fuzz/) and run each for SECONDS (30)
#   ./dev.sh bench [RUNS]      measure Snickit against a bare SDL2 program under Xvfb (25 runs each)
# Each first installs the Debian packages it misses, saying which and why;
# SNICKIT_NO_INSTALL=1 only reports them.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc 2>/dev/null || echo 2)

# Debian packages each task needs, and why. Other systems: README.md, "Build
# by hand".
declare -A PKGS WHY
needs() { PKGS[$1]=$2; WHY[$1]=$3; }  # needs TASK "PACKAGES" "WHY"
needs build "cmake g++ make libgtest-dev googletest libsdl2-dev libx11-dev libfreetype-dev fonts-dejavu-core libfontconfig-dev libharfbuzz-dev fonts-droid-fallback fonts-tlwg-loma-ttf" \
  "to build Snickit and its unit tests (FreeType and DejaVu Sans only while building, for the list's glyphs; fontconfig's and HarfBuzz's headers for names in other scripts; Droid Sans Fallback (CJK) and Loma (Thai) for the tests that draw them)"
needs e2e "python3 xvfb xdotool libxtst6 openbox imagemagick x11-apps x11-utils sox pulseaudio pulseaudio-utils" \
  "for the desktop tests (a private X server, input, pixels, sound, a private sound server)"
needs windows "g++-mingw-w64-x86-64 wine wine64 zip" "to cross-build the Windows program and run its tests under wine"
needs release "g++-mingw-w64-x86-64 zip unzip imagemagick desktop-file-utils gtk-update-icon-cache" \
  "to build the downloads (the Windows program, its zip, the menu icons) and test them (unpacked; install.sh with the menu's caches)"
needs fuzz "clang-14 libclang-rt-14-dev sox" "for the fuzzers (clang's libFuzzer; sox makes seed sounds)"
needs bench "python3 xvfb openbox libxtst6" "for the benchmark (a private X server and input)"

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

unit_tests() { ctest --test-dir "$1" --output-on-failure -j "$JOBS"; }

# The test suites, one line each, in the order `./dev.sh test` runs them:
#   name | packages it needs | what it is | command
SUITES='
unit            | BUILD             | unit tests (GoogleTest)                   | build_linux build && unit_tests build
unit-asan       | BUILD             | unit tests under ASan and UBSan           | build_linux build-asan -DSNICKIT_SANITIZE=ON -DSNICKIT_BUILD_APP=OFF && unit_tests build-asan
unit-tsan       | BUILD             | unit tests under ThreadSanitizer          | build_linux build-tsan -DSNICKIT_TSAN=ON -DSNICKIT_BUILD_APP=OFF && SDL_AUDIODRIVER=dummy unit_tests build-tsan
linux-desktop   | BUILD E2E         | the Linux program in Xvfb, also at 200 %  | build_linux build && python3 tests/e2e/e2e.py linux build/snickit --density 100,200
windows-build   | BUILD WINDOWS     | the Windows program folder (MinGW-w64)    | bash tools/windows/build.sh
windows-unit    | BUILD WINDOWS     | unit tests for Windows under wine         | bash tools/windows/unit-tests.sh
windows-desktop | BUILD E2E WINDOWS | the Windows program under wine in Xvfb    | bash tools/windows/build.sh >/dev/null && python3 tests/e2e/e2e.py windows build-windows/snickit --density 100,200
release         | BUILD RELEASE E2E | the downloads, unpacked and started       | JOBS=$JOBS bash tools/release/release.sh && bash tests/release/run.sh
fuzz            | BUILD FUZZ        | each fuzzer for 30 s                      | fuzz 30
'
suite_field() {  # suite_field NAME COLUMN: one column of a suite's line
  awk -F' *[|] *' -v name="$1" -v column="$2" '$1 == name { print $column }' <<<"$SUITES"
}

run_tests() {  # run_tests [SUITE...]
  local names=("$@") name kind packages=() passed=0 failed=0
  ((${#names[@]})) || read -ra names <<<"$(awk -F' *[|] *' 'NF > 1 { printf "%s ", $1 }' <<<"$SUITES")"
  for name in "${names[@]}"; do
    [[ -n $(suite_field "$name" 4) ]] || { echo "no test suite '$name'; ./dev.sh test --list names them" >&2; exit 2; }
    for kind in $(suite_field "$name" 2); do packages+=("${kind,,}"); done
  done
  install_packages $(printf '%s\n' "${packages[@]}" | sort -u)
  for name in "${names[@]}"; do
    echo
    echo "=== $name: $(suite_field "$name" 3)"
    if eval "$(suite_field "$name" 4)"; then
      passed=$((passed + 1)); echo "=== $name: passed"
    else
      failed=$((failed + 1)); echo "=== $name: FAILED"
    fi
  done
  echo
  echo "suites: $passed passed, $failed failed"
  ((failed == 0))
}

case "${1:-}" in
  run)
    install_packages build
    build_linux build
    exec build/snickit/snickit
    ;;
  test)
    shift
    if [[ ${1:-} == --list ]]; then
      awk -F' *[|] *' 'NF > 1 { printf "%-16s %s\n", $1, $3 }' <<<"$SUITES"
      exit 0
    fi
    run_tests "$@"
    ;;
  windows)
    install_packages windows
    bash tools/windows/build.sh
    ;;
  release)
    install_packages build release
    JOBS=$JOBS bash tools/release/release.sh
    ;;
  fuzz)
    install_packages build fuzz
    fuzz "${2:-30}"
    ;;
  bench)
    install_packages build bench
    # Its own build folder: the program and the bare program, no tests.
    build_linux build-bench -DSNICKIT_BUILD_TESTS=OFF -DSNICKIT_BUILD_BENCH=ON
    exec python3 bench/bench.py build-bench/snickit build-bench/bench/snickit-bare "${2:-25}"
    ;;
  *)
    sed -n '2,10p' "$0"
    exit 2
    ;;
esac
