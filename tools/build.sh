#!/usr/bin/env bash
# Builds the Windows program and zlibwapi.dll into build/win/bin.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cmake -S "$root" -B "$root/build/win" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-i686.cmake" \
    -DCMAKE_BUILD_TYPE=Release >/dev/null
cmake --build "$root/build/win" -j"$(nproc)"
