#!/usr/bin/env bash
# Installs every Debian package Pendra needs to build, run and test.
# Idempotent: when everything is present it prints nothing and installs nothing.
set -euo pipefail

packages=(
  # build tools
  build-essential cmake ninja-build pkg-config clang-format git
  # Qt 6 widgets and multimedia, X11 access through xcb; Chinese texts in Qt's own dialogs
  qt6-base-dev qt6-base-dev-tools qt6-multimedia-dev libqt6multimedia6 qt6-translations-l10n
  libxcb1-dev libx11-dev libgl-dev
  # texture picture of the clock text
  libjpeg62-turbo-dev
  # sound cues: GStreamer back end with wave, MIDI and Windows Media support
  gstreamer1.0-plugins-base gstreamer1.0-plugins-good gstreamer1.0-plugins-bad
  gstreamer1.0-plugins-ugly gstreamer1.0-libav gstreamer1.0-tools timgm6mb-soundfont
  # faces for the fonts that settings files written on Chinese Windows name
  fonts-arphic-uming fonts-arphic-ukai fonts-noto-cjk fonts-dejavu-core
  # Arial's metrics, for the time fields
  fonts-liberation2
  # tests and benchmarks; clang's libFuzzer and sanitizer runtimes for the fuzz targets
  googletest libgtest-dev libgmock-dev libbenchmark-dev clang libclang-rt-14-dev
  xvfb xdotool x11-utils xauth pulseaudio pulseaudio-utils
  # remote control tests: a private session bus
  dbus-daemon
  # a Wayland session for the tests: a headless compositor
  weston
  # a small window manager, for how the docked progress bar lives beside other windows
  jwm
  # the Debian package: icon rendering, its tools and the checks of its files
  librsvg2-bin dpkg-dev fakeroot file desktop-file-utils appstream man-db
  # what the package names beside its libraries, so that it installs here as elsewhere
  qt6-wayland
)

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q '^install ok installed$'; then
    missing+=("$p")
  fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

echo "setup: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
export DEBIAN_FRONTEND=noninteractive
# A fresh machine has no package lists yet; refresh them when an install fails.
if ! $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >/tmp/pendra-setup.log 2>&1; then
  $sudo apt-get update -q >>/tmp/pendra-setup.log 2>&1
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}" >>/tmp/pendra-setup.log 2>&1 \
    || { tail -n 30 /tmp/pendra-setup.log; exit 1; }
fi
