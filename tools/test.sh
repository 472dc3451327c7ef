#!/usr/bin/env bash
# Sets up the machine, builds everything and runs every test: the static checks,
# the platform-free logic natively under AddressSanitizer and UBSan and under
# libFuzzer, then the Windows build under Wine on a virtual X display.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

bash "$root/tools/setup.sh"

bash "$root/tools/check.sh"

echo "== native logic tests (ASan, UBSan)"
cmake -S "$root" -B "$root/build/native" -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build/native" -j"$jobs"
ctest --test-dir "$root/build/native" --output-on-failure -j"$jobs"

# About a minute of fuzzing the name logic (FUZZ_SECONDS=600 bash tools/fuzz.sh
# searches longer).
bash "$root/tools/fuzz.sh" 60

echo "== Windows build, tests under Wine"
bash "$root/tools/build.sh"
# One persistent wineserver for the whole run: otherwise every test pays for a
# fresh Wine session (services, virtual desktop) of a few seconds.
export WINEPREFIX="$root/build/win/wineprefix"
"$root/tools/wine-prefix" "$WINEPREFIX"
status=0
xvfb-run -a -s "-screen 0 1024x768x24" bash -c '
    wineserver -k 2>/dev/null  # a session left on an earlier display would draw on a dead X server
    wineserver -p
    # Start the session services now, so that they do not inherit (and hold
    # open) the output pipe of the first test.
    wine cmd /c exit >/dev/null 2>&1 </dev/null
    ctest --test-dir "$1" --output-on-failure -j"$2" --timeout 600
    status=$?
    wineserver -k
    exit $status' _ "$root/build/win" "$jobs" || status=$?
exit "$status"
