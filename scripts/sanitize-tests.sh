#!/usr/bin/env bash
# Builds the test suite with AddressSanitizer and UndefinedBehaviorSanitizer into
# build-asan/ (the tests and the program they start; no benchmarks, tools or package) and
# runs it. Any memory error or undefined behaviour fails the run. Leaks are checked in the
# core tests; in the others the system's libraries (fontconfig, Xlib, GStreamer) keep
# memory to the end on purpose, so leak checking is off there.
# Usage: scripts/sanitize-tests.sh [ctest arguments]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-asan
flags="-fsanitize=address,undefined -fno-sanitize-recover=all -fno-omit-frame-pointer"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DCMAKE_EXE_LINKER_FLAGS="-fsanitize=address,undefined" \
    -DPENDRA_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)" --target pendra_tests

common=abort_on_error=1:detect_stack_use_after_return=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
ASAN_OPTIONS=$common:detect_leaks=1 \
    ctest --test-dir "$build" --output-on-failure -j2 -R '^core\.' "$@"
ASAN_OPTIONS=$common:detect_leaks=0 \
    ctest --test-dir "$build" --output-on-failure -j2 -E '^(core|package)\.' "$@"
