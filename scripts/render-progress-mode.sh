#!/usr/bin/env bash
# Renders docs/progress-mode.png: the real program in the progress-bar mode on an X server
# of its own, a small screen with the bars docked along its bottom edge, the plan row on,
# a stage running and its hint open under the mouse.
#   render-progress-mode.sh [OUT.png]   (the build in build/ is used as it is, when there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/progress-mode.png}
[ -x "$root/build/src/app/pendra" ] && [ -x "$root/build/tools/screen_shot" ] ||
    bash "$root/scripts/build.sh" >/dev/null

work=$(mktemp -d)
xpid=""
ppid_=""
cleanup() {
    [ -n "$ppid_" ] && kill "$ppid_" 2>/dev/null
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 960x240x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 200); do
    [ -s "$work/display" ] && break
    sleep 0.05
done
export DISPLAY=":$(head -n1 "$work/display")"
export QT_QPA_PLATFORM=xcb
export XDG_RUNTIME_DIR=$work/run
mkdir -m 700 "$work/run"
export DBUS_SESSION_BUS_ADDRESS="unix:path=$work/no-bus"

# Four stages in the plan row; the first, 20 s, runs with F9.
printf '%s\r\n' '[SYSTEM]' 'StartMode=1' 'Total=1' \
    '[Progress]' 'Align=1' 'Height=22' 'Grident_Style=3' \
    'Total_Color=12615680' \
    '[Hotkey]' 'start=F9' 'Pri=' 'Next=' \
    '[Group]' 'Name1=开场' 'Time1=00:20' 'Alarm1=00:15' 'Color1=15780518' \
    'Name2=主题演讲' 'Time2=01:00' 'Alarm2=00:50' 'Color2=14745599' \
    'Name3=提问' 'Time3=00:40' 'Alarm3=00:30' 'Color3=15794160' \
    'Name4=总结' 'Time4=00:20' 'Alarm4=00:15' 'Color4=14544639' >"$work/js.ini"
(cd "$work" && exec "$root/build/src/app/pendra") >"$work/pendra.log" 2>&1 &
ppid_=$!
sleep 2.5 # the hotkeys are registered a second after start-up
xdotool key F9
sleep 8.3 # 8 of the 20 seconds: 40 %
xdotool mousemove 250 205 # on the plan row, which shows the window's hint
sleep 1.5 # the hint opens under the resting mouse
"$root/build/tools/screen_shot" "$out"
echo "wrote $out"
