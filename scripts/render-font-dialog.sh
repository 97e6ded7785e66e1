#!/usr/bin/env bash
# Renders docs/font-dialog.png: the font-and-effect dialog as a 100 % desktop shows it.
# Pass a scale to look at it scaled, e.g. `render-font-dialog.sh 1.5 /tmp/dialog.png`.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
scale=${1:-1}
out=${2:-$root/docs/font-dialog.png}
bash "$root/scripts/build.sh" >/dev/null
QT_SCALE_FACTOR=$scale "$root/build/tools/font_dialog_shot" "$out"
