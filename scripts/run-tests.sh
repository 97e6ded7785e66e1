#!/usr/bin/env bash
# Set-up, build, and run the whole test suite. Every GUI test starts its own Xvfb
# (and PulseAudio null sink) through tests/run-under-x11.sh, so no display is needed.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
ctest --test-dir "$root/build" --output-on-failure -j2 "$@"
