#!/usr/bin/env bash
# Pendra started on a huge js.ini: the time to its first frame and its peak memory.
#   - "utf8": 50 MB of key lines in [System], the section start-up reads most, with the
#     program's own keys after them (every read of a key there passes all of them);
#   - "gbk":  the same with Chinese values, in GBK;
#   - "normal": the usual small file, for comparison.
# Usage: bench/run-large-ini-bench.sh [build-dir]   (default: build-bench beside this folder)
# Environment: STARTS (default 5), MB (default 50).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
starts=${STARTS:-5}
mb=${MB:-50}

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" -j2 --target pendra window_probe >/dev/null
pendra=$build/src/app/pendra
probe=$build/bench/window_probe

work=$(mktemp -d)
xpid=""
app=""
cleanup() {
    [ -n "$app" ] && kill "$app" 2>/dev/null
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work
export PULSE_SERVER=unix:$work/no-pulse

tail_keys=$'StartMode=0\r\nTransParent=230\r\nBKCOLOR=15780518\r\nLEFT0=300\r\nTOP0=200\r\n'
tail_keys+=$'[Group]\r\nName1=Talk\r\nTime1=10:00\r\nAlarm1=08:00\r\n'
tail_keys+=$'[AALabel]\r\nFontName=SimSun\r\nFontSize=72\r\n'
# make_ini FILE VALUE BYTES: [System], then MB megabytes of "KeyN=VALUE" lines (VALUE takes
# BYTES bytes in the file's encoding), then the real keys.
make_ini() {
    local lines
    lines=$(( mb * 1024 * 1024 / ($3 + 13) ))
    {
        printf '[System]\r\n'
        awk -v n="$lines" -v v="$2" 'BEGIN { for (i = 0; i < n; ++i) printf "Key%07d=%s\r\n", i, v }'
        printf '%s' "$tail_keys"
    } >"$1"
}
mkdir -p "$work/utf8" "$work/gbk" "$work/normal"
make_ini "$work/utf8/js.ini" "some value of a key" 19
make_ini "$work/gbk/js.utf8" "第一阶段的提示文字" 18
iconv -f UTF-8 -t GBK "$work/gbk/js.utf8" >"$work/gbk/js.ini"
rm "$work/gbk/js.utf8"
printf '[System]\r\n%s' "$tail_keys" >"$work/normal/js.ini"

median() { sort -n | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else printf "%.1f\n", (a[NR/2]+a[NR/2+1])/2}'; }

echo "| js.ini | size | first frame, median of $starts | peak memory (VmHWM) |"
echo "|---|---|---|---|"
for kind in normal utf8 gbk; do
    dir=$work/$kind
    size=$(stat -c %s "$dir/js.ini")
    : >"$work/starts"
    for _ in $(seq "$starts"); do
        (cd "$dir" && "$probe" launch "$pendra") | awk '{print $2}' >>"$work/starts"
    done
    # Memory: started once more, read once its window is up.
    (cd "$dir" && exec "$pendra") >"$work/$kind.log" 2>&1 &
    app=$!
    xdotool search --sync --onlyvisible --pid "$app" >/dev/null
    sleep 1
    hwm=$(awk '/^VmHWM:/ {print $2}' "/proc/$app/status")
    kill "$app"
    wait "$app" 2>/dev/null || true
    app=""
    awk -v k="$kind" -v s="$size" -v t="$(median <"$work/starts")" -v h="$hwm" \
        'BEGIN {printf "| %s | %.1f MB | %s ms | %.1f MB |\n", k, s / 1048576, t, h / 1024}'
done
