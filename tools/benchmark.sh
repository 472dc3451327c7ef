#!/usr/bin/env bash
# Builds and runs the benchmarks under Wine: the rename run against its floor
# (in-process), then the real quandrel.exe through its window.
#   bash tools/benchmark.sh [N ...]                   both, the first at N archives
#   bash tools/benchmark.sh window [renamed N | unmatched N] ...   the window alone
# The window's 100,000 unmatched archives are laid out natively first: through
# Wine, which scans the folder for every new name, that takes most of an hour.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh" >/dev/null
bash "$root/tools/build.sh" >/dev/null
if [ "${1:-}" = window ]; then
    shift
    exec "$root/build/win/wine-run" "$root/build/win/bin/window_benchmark.exe" "$@"
fi
"$root/build/win/wine-run" "$root/build/win/bin/rename_benchmark.exe" "$@"
big=$(mktemp -d /tmp/quandrel-bench-XXXXXX)
trap 'rm -rf "$big"' EXIT
python3 "$root/tools/bench/lay_archives.py" "$big" 100000 5
# Wine shows the Unix root as drive Z:.
"$root/build/win/wine-run" "$root/build/win/bin/window_benchmark.exe" renamed 10000 unmatched-in "Z:${big//\//\\}" 100000
