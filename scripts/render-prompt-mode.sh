#!/usr/bin/env bash
# Renders docs/prompt-mode.png: the real program in the prompt-window mode on an X server of
# its own, a small screen with the two-line window at its saved place, a 5-minute stage
# running past its alarm time, so that the window shows its alarm colour.
#   render-prompt-mode.sh [OUT.png]   (the build in build/ is used as it is, when there)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/prompt-mode.png}
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
Xvfb -displayfd 3 -screen 0 400x160x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
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

# The window stays up (DisplaySec=0) so that it is there when the picture is taken; the
# alarm after 5 s turns it to the alarm colour, the default yellow. F9 starts the run.
printf '%s\r\n' '[SYSTEM]' 'StartMode=2' 'left2=70' 'top2=40' 'elapse=已用：' 'Remain=剩余：' \
    '[Message]' 'Fontsize=26' 'FontStyle=[fsBold]' 'DisplaySec=0' \
    '[Hotkey]' 'start=F9' 'Pri=' 'Next=' \
    '[Group]' 'Name1=主题演讲' 'Time1=05:00' 'Alarm1=00:05' >"$work/js.ini"
(cd "$work" && exec "$root/build/src/app/pendra") >"$work/pendra.log" 2>&1 &
ppid_=$!
sleep 2.5 # the hotkeys are registered a second after start-up
xdotool key F9
sleep 7.5 # past the alarm at 5 s
"$root/build/tools/screen_shot" "$out"
echo "wrote $out"
