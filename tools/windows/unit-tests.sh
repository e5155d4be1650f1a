#!/usr/bin/env bash
# Builds the unit tests for Windows (MinGW-w64) and runs them under wine, in
# a private wine prefix and, when there is no display, a private Xvfb.
# Prints GoogleTest's summary; exits non-zero when a test fails.
set -euo pipefail
ROOT=$(cd "$(dirname "$0")/../.." && pwd)
BUILD=${SNICKIT_WINDOWS_BUILD:-$ROOT/build-windows}
JOBS=${JOBS:-2}
source "$ROOT/tools/windows/wine-env.sh"

cmake -S "$ROOT" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$ROOT/cmake/mingw-w64.cmake" \
  -DCMAKE_BUILD_TYPE=Release -DSNICKIT_BUILD_TESTS=ON >/dev/null
cmake --build "$BUILD" -j "$JOBS" --target snickit_tests

wine_start
trap wine_stop EXIT
log=$BUILD/unit-tests.log
status=0
# The tests find their data through Windows paths; run from the build folder.
(cd "$BUILD/tests" && timeout 600 wine ./snickit_tests.exe --gtest_brief=1) >"$log" 2>&1 || status=$?
grep -v -e '^ALSA lib' "$log" | tail -n 40
if ((status != 0)); then
  echo "unit tests for Windows: FAILED (status $status; full output in $log)"
  exit 1
fi
echo "unit tests for Windows: passed"
