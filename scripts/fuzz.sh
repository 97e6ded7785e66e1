#!/usr/bin/env bash
# Builds the fuzz targets of tests/fuzz with clang's libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, and runs each for a bounded time, starting
# from its seed corpus in tests/fuzz/corpus/<target> (new inputs go to build-fuzz/corpus).
# A crash, a sanitizer report, a leak, a hang (10 s per input) or more than 2 GB of memory
# fails the run; the input is kept in build-fuzz/artifacts/.
# Usage: scripts/fuzz.sh [seconds per target, default 60] [target ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
[ $# -gt 0 ] && shift
targets=("$@")
[ ${#targets[@]} -eq 0 ] && targets=(settings_fuzz texts_fuzz jpeg_fuzz)

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is not installed, nothing fuzzed (scripts/setup.sh installs it)"
    exit 0
fi

build=$root/build-fuzz
flags="-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=undefined"
flags="$flags -fno-omit-frame-pointer -gline-tables-only"
launcher=()
command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
    -DCMAKE_CXX_FLAGS="$flags" -DPENDRA_TESTS=OFF -DPENDRA_BENCH=OFF -DPENDRA_FUZZ=ON >/dev/null
cmake --build "$build" -j"$(nproc)" --target "${targets[@]}"

export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
mkdir -p "$build/artifacts"
for t in "${targets[@]}"; do
    corpus=$build/corpus/$t
    mkdir -p "$corpus"
    dict=()
    [ -f "$root/tests/fuzz/$t.dict" ] && dict=(-dict="$root/tests/fuzz/$t.dict")
    echo "fuzz: $t for ${seconds}s"
    "$build/tests/fuzz/$t" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
        -malloc_limit_mb=1024 -print_final_stats=1 "${dict[@]}" \
        -artifact_prefix="$build/artifacts/$t-" "$corpus" "$root/tests/fuzz/corpus/$t" \
        2>"$build/$t.log" || { tail -n 60 "$build/$t.log"; exit 1; }
    grep -E '^stat::number_of_executed_units|^stat::peak_rss_mb' "$build/$t.log" | tr '\n' ' '
    echo
done
