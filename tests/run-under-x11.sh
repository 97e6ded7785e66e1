#!/usr/bin/env bash
# Runs one test program on an X server of its own (Xvfb, 1280x1024), and with a
# PulseAudio daemon whose only sink is a null sink, so that sound really plays.
set -u
xdir=$(mktemp -d)
trap 'kill $xpid $papid 2>/dev/null; wait 2>/dev/null; rm -rf "$xdir"' EXIT

exec 3>"$xdir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$xdir/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 100); do
  [ -s "$xdir/display" ] && break
  sleep 0.05
done
export DISPLAY=":$(head -n1 "$xdir/display")"
export QT_QPA_PLATFORM=xcb

export XDG_RUNTIME_DIR="$xdir"
export PULSE_RUNTIME_PATH="$xdir/pulse"
export PULSE_SERVER="unix:$xdir/pulse/native"
papid=""
if command -v pulseaudio >/dev/null; then
  mkdir -p "$xdir/pulse"
  HOME="$xdir" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=no --system=no \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$xdir/pulse/native" \
    >"$xdir/pulse.log" 2>&1 &
  papid=$!
  for _ in $(seq 100); do
    [ -S "$xdir/pulse/native" ] && break
    sleep 0.05
  done
fi

"$@"
