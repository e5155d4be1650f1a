#!/usr/bin/env bash
# End-to-end tests of the Linux program under Xvfb.
#   tests/e2e/linux/run.sh <program folder> [case name ...]
# Needs xvfb, openbox, xdotool, imagemagick, x11-utils, sox and python3.
set -euo pipefail
exec python3 "$(dirname "$0")/e2e.py" "$@"
