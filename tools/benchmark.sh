#!/usr/bin/env bash
# Builds and runs the rename benchmark under Wine: bash tools/benchmark.sh [N ...]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh" >/dev/null
bash "$root/tools/build.sh" >/dev/null
exec "$root/build/win/wine-run" "$root/build/win/bin/rename_benchmark.exe" "$@"
