#!/usr/bin/env bash
# Sets up the machine, builds, and starts Quandrel under Wine (code page 936).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh"
bash "$root/tools/build.sh"
if [ -z "${DISPLAY:-}" ]; then
    echo "run: no X display is set; Quandrel starts on a private virtual display (Xvfb)." >&2
fi
exec "$root/build/win/wine-run" "$root/build/win/bin/quandrel.exe"
