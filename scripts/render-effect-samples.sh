#!/usr/bin/env bash
# Renders docs/effects.png: the clock text once per text effect.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh" >/dev/null
"$root/build/tools/effect_samples" "$root/docs/effects.png"
