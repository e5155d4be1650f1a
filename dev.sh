#!/usr/bin/env bash
# Snickit's one entry point for building, running and testing.
#   ./dev.sh run               install what is missing, build, start Snickit from build/snickit/
#   ./dev.sh test [SUITE...]   install what is missing, build, run the named test suites
#                              (every suite without names); ./dev.sh test --list names them
#   ./dev.sh windows           build the Windows program folder build-windows/snickit/ and its zip
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=$(nproc 2>/dev/null || echo 2)

# Debian packages each task needs.
PKG_BUILD="cmake g++ make libgtest-dev googletest libsdl2-dev libsdl2-ttf-dev libx11-dev fonts-dejavu-core"
PKG_E2E="python3 xvfb xdotool libxtst6 openbox imagemagick x11-apps x11-utils sox"
PKG_WINDOWS="g++-mingw-w64-x86-64 wine wine64 zip"

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

unit_tests() { ctest --test-dir "$1" --output-on-failure -j "$JOBS"; }

# The test suites, one line each, in the order `./dev.sh test` runs them:
#   name | packages it needs | what it is | command
SUITES='
unit            | BUILD             | unit tests (GoogleTest)                   | build_linux build && unit_tests build
unit-asan       | BUILD             | unit tests under ASan and UBSan           | build_linux build-asan -DSNICKIT_SANITIZE=ON -DSNICKIT_BUILD_APP=OFF && unit_tests build-asan
linux-desktop   | BUILD E2E         | the Linux program in Xvfb                 | build_linux build && python3 tests/e2e/e2e.py linux build/snickit
windows-build   | BUILD WINDOWS     | the Windows program folder (MinGW-w64)    | bash tools/windows/build.sh
windows-unit    | BUILD WINDOWS     | unit tests for Windows under wine         | bash tools/windows/unit-tests.sh
windows-desktop | BUILD E2E WINDOWS | the Windows program under wine in Xvfb    | bash tools/windows/build.sh >/dev/null && python3 tests/e2e/e2e.py windows build-windows/snickit
'
suite_field() {  # suite_field NAME COLUMN: one column of a suite's line
  awk -F' *[|] *' -v name="$1" -v column="$2" '$1 == name { print $column }' <<<"$SUITES"
}

run_tests() {  # run_tests [SUITE...]
  local names=("$@") name kind packages=() passed=0 failed=0
  ((${#names[@]})) || read -ra names <<<"$(awk -F' *[|] *' 'NF > 1 { printf "%s ", $1 }' <<<"$SUITES")"
  for name in "${names[@]}"; do
    [[ -n $(suite_field "$name" 4) ]] || { echo "no test suite '$name'; ./dev.sh test --list names them" >&2; exit 2; }
    for kind in $(suite_field "$name" 2); do kind=PKG_$kind; packages+=(${!kind}); done
  done
  install_packages "${packages[@]}"
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
    install_packages $PKG_BUILD
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
    install_packages $PKG_WINDOWS
    bash tools/windows/build.sh
    ;;
  *)
    sed -n '2,6p' "$0"
    exit 2
    ;;
esac
