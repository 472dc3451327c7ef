#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine: the rename run against its floor
# (in-process), then the real quandrel.exe through its window.
#   bash tools/benchmark.sh [N ...]                   both, the first at N archives
#   bash tools/benchmark.sh window [renamed N | unmatched N] ...   the window alone
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh" >/dev/null
bash "$root/tools/build.sh" >/dev/null
if [ "${1:-}" = window ]; then
    shift
    exec "$root/build/win/wine-run" "$root/build/win/bin/window_benchmark.exe" "$@"
fi
"$root/build/win/wine-run" "$root/build/win/bin/rename_benchmark.exe" "$@"
exec "$root/build/win/wine-run" "$root/build/win/bin/window_benchmark.exe"
