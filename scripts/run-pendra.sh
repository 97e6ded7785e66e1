#!/usr/bin/env bash
# Set-up, build, and start Pendra. js.ini is read from the directory you start it in.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/scripts/build.sh"
exec "$root/build/src/app/pendra"
