#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the platform-free
# logic natively under AddressSanitizer and UBSan, then the Windows build under
# Wine on a virtual X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$root/tools/setup.sh"

echo "== native logic tests (ASan, UBSan)"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/native" -j"$jobs"
ctest --test-dir "$root/build/native" --output-on-failure -j"$jobs"

echo "== Windows build, tests under Wine"
bash "$root/tools/build.sh"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" \
    ctest --test-dir "$root/build/win" --output-on-failure -j"$jobs" --timeout 600 || status=$?
WINEPREFIX="$root/build/win/wineprefix" wineserver -k 2>/dev/null || true
exit "$status"
