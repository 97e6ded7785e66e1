#!/usr/bin/env bash
# Runs one test program on an X server of its own (Xvfb, 1280x1024), and with a
# PulseAudio daemon whose only sink is a null sink, so that sound really plays.
set -u
xdir=$(mktemp -d)
trap 'kill $xpid $papid 2>/dev/null; wait 2>/dev/null; rm -rf "$xdir"' EXIT

exec 3>"$xdir/display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset >"$xdir/xvfb.log" 2>&1 &
xpid=$!
for _ in $(seq 400); do
  [ -s "$xdir/display" ] && break
  sleep 0.05
done
export DISPLAY=":$(head -n1 "$xdir/display")"
export QT_QPA_PLATFORM=xcb

export XDG_RUNTIME_DIR="$xdir"
# No session bus but the ones a test starts itself: a window under test must neither meet
# the user's own Pendra on the machine's bus nor another test's.
export DBUS_SESSION_BUS_ADDRESS="unix:path=$xdir/no-session-bus"
export PULSE_RUNTIME_PATH="$xdir/pulse"
export PULSE_SERVER="unix:$xdir/pulse/native"
papid=""
if command -v pulseaudio >/dev/null; then
  mkdir -p "$xdir/pulse" "$xdir/home"
  # As root the daemon only warns (it wants --system for a machine-wide server, which would
  # share one sink between parallel tests). No D-Bus, real-time or shared memory is needed,
  # and a fresh container may offer none of them. Clients find the socket through
  # PULSE_SERVER, need no cookie (auth-anonymous) and must not spawn a daemon of their own.
  HOME="$xdir/home" pulseaudio -n --daemonize=no --exit-idle-time=-1 --disallow-exit \
    --use-pid-file=no --system=no --realtime=no --high-priority=no --disable-shm=yes \
    --log-target=stderr \
    --load="module-null-sink sink_name=nullsink" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$xdir/pulse/native" \
    >"$xdir/pulse.log" 2>&1 &
  papid=$!
  for _ in $(seq 400); do
    [ -S "$xdir/pulse/native" ] && break
    kill -0 $papid 2>/dev/null || { echo "run-under-x11: PulseAudio did not start:" >&2;
                                    tail -n 5 "$xdir/pulse.log" >&2; papid=""; break; }
    sleep 0.05
  done
  printf 'autospawn = no\n' >"$xdir/client.conf" && export PULSE_CLIENTCONFIG="$xdir/client.conf"
fi

"$@"
