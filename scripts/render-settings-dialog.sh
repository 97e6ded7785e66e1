#!/usr/bin/env bash
# Renders docs/settings-dialog.png: the real program's settings dialog, opened from its
# popup menu on an X server of its own under a plain window manager (JWM), on the page
# 时间 with a small stage plan loaded.
#   render-settings-dialog.sh [OUT.png] [SCALE] [PAGE]
# SCALE: e.g. 1.5 for a desktop at 150 %; PAGE: how many pages on from 普通 (default 2,
# 时间). The build in build/ is used as it is, when there.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${1:-$root/docs/settings-dialog.png}
scale=${2:-1}
pages=${3:-2}
[ -x "$root/build/src/app/pendra" ] && [ -x "$root/build/tools/screen_shot" ] ||
    bash "$root/scripts/build.sh" >/dev/null

work=$(mktemp -d)
xpid=""
wmpid=""
ppid_=""
cleanup() {
    [ -n "$ppid_" ] && kill "$ppid_" 2>/dev/null
    [ -n "$wmpid" ] && kill "$wmpid" 2>/dev/null
    [ -n "$xpid" ] && kill "$xpid" 2>/dev/null
    wait 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

exec 3>"$work/display"
Xvfb -displayfd 3 -screen 0 1280x800x24 -nolisten tcp -noreset >"$work/xvfb.log" 2>&1 &
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

printf '%s\n' '<?xml version="1.0"?>' '<JWM><FocusModel>click</FocusModel></JWM>' >"$work/jwmrc"
jwm -f "$work/jwmrc" >"$work/jwm.log" 2>&1 &
wmpid=$!
sleep 0.5

printf '%s\r\n' '[System]' 'LEFT0=20' 'TOP0=20' \
    '[Hotkey]' 'start=Shift+Ctrl+Alt+S' 'stop=F12' 'Pri=' 'Next=' \
    '[Group]' 'Name1=开场' 'Time1=02:00' 'Alarm1=01:30' \
    'Name2=主题演讲' 'Time2=20:00' 'Alarm2=18:00' 'Color2=14745599' \
    'Name3=提问' 'Time3=10:00' 'Alarm3=08:00' 'Color3=15794160' \
    'Name4=总结' 'Time4=03:00' 'Alarm4=02:30' 'Color4=14544639' >"$work/js.ini"
(cd "$work" && QT_SCALE_FACTOR=$scale exec "$root/build/src/app/pendra") >"$work/pendra.log" 2>&1 &
ppid_=$!
for _ in $(seq 100); do
    win=$(xdotool search --onlyvisible --pid "$ppid_" 2>/dev/null | head -n1 || true)
    [ -n "$win" ] && break
    sleep 0.1
done
sleep 1
# The popup menu from the clock, then 设置, the fourth item from its end.
xdotool mousemove --window "$win" 10 10 click 3
sleep 0.5
xdotool key Up Up Up Up Return
dialog=""
for _ in $(seq 100); do
    dialog=$(xdotool search --onlyvisible --name '^设置$' 2>/dev/null | head -n1 || true)
    [ -n "$dialog" ] && break
    sleep 0.1
done
[ -n "$dialog" ] || { echo "the settings dialog did not open" >&2; exit 1; }
sleep 0.5
# Ctrl+Tab from 普通 to the page asked for (twice: over 通用 to 时间).
for _ in $(seq "$pages"); do xdotool key ctrl+Tab; done
xdotool mousemove 1270 790
sleep 0.5
# The dialog with its frame: JWM's frame window is the dialog's parent.
frame=$(xwininfo -children -id "$dialog" | sed -n 's/^  Parent window id: \(0x[0-9a-f]*\).*/\1/p')
eval "$(xdotool getwindowgeometry --shell "${frame:-$dialog}")"
"$root/build/tools/screen_shot" "$out" "$X" "$Y" "$WIDTH" "$HEIGHT"
echo "wrote $out"
