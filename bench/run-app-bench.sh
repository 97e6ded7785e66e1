#!/usr/bin/env bash
# Whole-program benchmarks: Pendra beside a bare Qt label (bench/minimal_label.cpp).
#   1. start-up to the first frame (exec to the first Expose of the mapped window), median
#   2. resident memory 5 s after start-up (VmRSS)
#   3. CPU time over 60 s of a running count-down, in % of one core (run twice, as the
#      machine is shared and this figure is sensitive to load); the same for a running
#      stage of the progress-bar mode and of the prompt-window mode
# Usage: bench/run-app-bench.sh [build-dir]     (default: build-bench beside this folder)
# Environment: STARTS (default 10), CPU_SECONDS (default 60), CPU_ROUNDS (default 2),
# CPU_MODES (default "clock bars prompt": the modes whose CPU is measured beside the label).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build-bench}
starts=${STARTS:-10}
cpu_seconds=${CPU_SECONDS:-60}
cpu_rounds=${CPU_ROUNDS:-2}
cpu_modes=" ${CPU_MODES:-clock bars prompt} "
measures() { [[ $cpu_modes == *" $1 "* ]]; }

if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja >/dev/null
fi
cmake --build "$build" -j2 --target pendra minimal_label window_probe >/dev/null
pendra=$build/src/app/pendra
minimal=$build/bench/minimal_label
probe=$build/bench/window_probe

work=$(mktemp -d)
xpid=""
apps=()
cleanup() {
    for p in "${apps[@]}"; do kill "$p" 2>/dev/null || true; done
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

# An X server of our own, so no other window or client disturbs the figures.
exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
export QT_MEDIA_BACKEND=gstreamer
export XDG_RUNTIME_DIR=$work
# No sound server: GStreamer falls back quietly, and no cue is configured anyway.
export PULSE_SERVER=unix:$work/no-pulse

# Pendra reads js.ini from its current directory: one 10-minute stage, F9 starts it.
mkdir -p "$work/app"
printf '%s\r\n' '[Hotkey]' 'start=F9' 'Pri=' 'Next=' '[Group]' 'Name1=Talk' 'Time1=10:00' \
    >"$work/app/ini.template"
# The progress-bar mode with the plan row: a 100 s stage that starts again at its end, so
# that both bars move every second.
printf '%s\r\n' '[SYSTEM]' 'StartMode=1' 'Total=1' '[Progress]' 'Recycle=1' '[Hotkey]' \
    'start=F9' 'Pri=' 'Next=' '[Group]' 'Name1=Talk' 'Time1=01:40' 'Name2=Q&A' 'Time2=05:00' \
    >"$work/app/progress.template"
# The prompt-window mode as it comes: a 10-minute stage, the window up for 5 s every 20 s,
# with its appearance and disappearance each time.
printf '%s\r\n' '[SYSTEM]' 'StartMode=2' '[Hotkey]' 'start=F9' 'Pri=' 'Next=' '[Group]' \
    'Name1=Talk' 'Time1=10:00' >"$work/app/prompt.template"
fresh_ini() { cp "$work/app/${1:-ini}.template" "$work/app/js.ini"; }

median() { sort -n | awk '{a[NR]=$1} END {if (NR%2) print a[(NR+1)/2]; else printf "%.1f\n", (a[NR/2]+a[NR/2+1])/2}'; }
ticks() { awk '{print $14+$15}' "/proc/$1/stat"; } # utime+stime in clock ticks
clk_tck=$(getconf CLK_TCK)

# ---- 1. start-up to the first frame, the two programs taking turns ----
: >"$work/start.pendra"
: >"$work/start.minimal"
start_load=$(cut -d' ' -f1 /proc/loadavg)
for i in $(seq "$starts"); do
    fresh_ini
    (cd "$work/app" && "$probe" launch "$pendra" 2>>"$work/launch.log") >>"$work/start.pendra"
    (cd "$work/app" && "$probe" launch "$minimal" 2>>"$work/launch.log") >>"$work/start.minimal"
done
# A window whose first Expose was missed counts with its map time; say so.
if grep -q no-expose "$work/start.pendra" "$work/start.minimal"; then
    echo "note: some starts had no Expose; their map time was used" >&2
fi
start_p=$(awk '{print $2}' "$work/start.pendra" | median)
start_m=$(awk '{print $2}' "$work/start.minimal" | median)
echo "start-up ms (load $start_load), pendra:  $(awk '{printf "%s ", $2}' "$work/start.pendra")" >&2
echo "start-up ms (load $start_load), minimal: $(awk '{printf "%s ", $2}' "$work/start.minimal")" >&2

# ---- 2 and 3. memory after 5 s, then CPU over a running count-down ----
# Whether the screen changes within a second, tried up to $1 times: a window that is up only
# now and then (the prompt window) is caught in one of its showings.
screen_changes() {
    local a b
    for _ in $(seq "$1"); do
        a=$("$probe" digest)
        sleep 1.1
        b=$("$probe" digest)
        [ "$a" != "$b" ] && return 0
    done
    return 1
}

# run_one NAME PROGRAM [TEMPLATE]: prints "RSS_KB CPU_PERCENT"
run_one() {
    local name=$1 program=$2 pid rss t0 t1 w0 w1 tries=1
    [ "$name" = pendra-prompt ] && tries=25
    fresh_ini "${3:-ini}"
    (cd "$work/app" && exec "$program") >"$work/$name.log" 2>&1 &
    pid=$!
    apps+=("$pid")
    sleep 1.5 # the hotkeys are registered one second after start-up
    case $name in pendra*) xdotool key F9 ;; esac
    sleep 3.5
    rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$pid/status")
    # No cue is configured, so the media module must not have been loaded.
    if grep -q -e libQt6Multimedia -e libgst "/proc/$pid/maps"; then
        echo "$name: a media library is mapped although no cue needs one" >&2
        exit 1
    fi
    # The clock must really be counting: the screen differs from one second to the next.
    screen_changes 1 || { echo "$name: the screen does not change: the run is not counting" >&2; exit 1; }
    t0=$(ticks "$pid")
    w0=$(date +%s.%N)
    sleep "$cpu_seconds"
    t1=$(ticks "$pid")
    w1=$(date +%s.%N)
    screen_changes "$tries" ||
        { echo "$name: the screen stopped changing during the measurement" >&2; exit 1; }
    kill "$pid"
    wait "$pid" 2>/dev/null || true
    apps=()
    awk -v r="$rss" -v d="$((t1 - t0))" -v hz="$clk_tck" -v w0="$w0" -v w1="$w1" \
        'BEGIN {printf "%d %.3f\n", r, 100 * d / hz / (w1 - w0)}'
}

rss_p=()
rss_m=()
cpu_p=()
cpu_m=()
cpu_b=()
cpu_q=()
loads=()
for r in $(seq "$cpu_rounds"); do
    loads+=("$(cut -d' ' -f1 /proc/loadavg)")
    if measures clock; then
        run_one pendra "$pendra" >"$work/result"
        read -r rss cpu <"$work/result"
        rss_p+=("$rss")
        cpu_p+=("$cpu")
    fi
    run_one minimal "$minimal" >"$work/result"
    read -r rss cpu <"$work/result"
    rss_m+=("$rss")
    cpu_m+=("$cpu")
    if measures bars; then
        run_one pendra-bars "$pendra" progress >"$work/result"
        read -r rss cpu <"$work/result"
        cpu_b+=("$cpu")
    fi
    if measures prompt; then
        run_one pendra-prompt "$pendra" prompt >"$work/result"
        read -r rss cpu <"$work/result"
        cpu_q+=("$cpu")
    fi
    last() { local -n list=$1; [ ${#list[@]} -gt 0 ] && echo "${list[-1]}" || echo -; }
    echo "round $r: load ${loads[-1]}, pendra $(last rss_p) kB $(last cpu_p) %," \
        "minimal ${rss_m[-1]} kB ${cpu_m[-1]} %, progress bars $(last cpu_b) %," \
        "prompt window $(last cpu_q) %" >&2
done

# ---- the table ----
row() { # NAME PENDRA MINIMAL UNIT GOAL_KIND GOAL
    awk -v n="$1" -v p="$2" -v m="$3" -v u="$4" -v k="$5" -v g="$6" 'BEGIN {
        ratio = m > 0 ? p / m : 0
        met = (k == "ratio") ? (ratio <= g) : (p < g)
        goal = (k == "ratio") ? sprintf("<= %sx", g) : sprintf("< %s %s", g, u)
        printf "| %-24s | %10s %-3s | %10s %-3s | %5.2fx | %-9s | %-4s |\n",
            n, p, u, m, u, ratio, goal, met ? "yes" : "no"
    }'
}
echo "| measure                  |         pendra |        minimal | ratio | goal      | met  |"
echo "|--------------------------|----------------|----------------|-------|-----------|------|"
row "start-up, median of $starts" "$start_p" "$start_m" ms ratio 1.15
for i in "${!rss_p[@]}"; do
    row "memory after 5 s, run $((i + 1))" "${rss_p[$i]}" "${rss_m[$i]}" kB ratio 1.1
done
for i in "${!cpu_p[@]}"; do
    row "CPU over ${cpu_seconds} s, run $((i + 1))" "${cpu_p[$i]}" "${cpu_m[$i]}" % abs 0.5
done
for i in "${!cpu_b[@]}"; do
    row "bars CPU ${cpu_seconds} s, run $((i + 1))" "${cpu_b[$i]}" "${cpu_m[$i]}" % abs 0.5
done
for i in "${!cpu_q[@]}"; do
    row "prompt CPU ${cpu_seconds} s, run $((i + 1))" "${cpu_q[$i]}" "${cpu_m[$i]}" % abs 0.2
done
echo "load average (1 min): start-up $start_load, CPU runs ${loads[*]}"
