#!/usr/bin/env bash
# Static checks of the sources, failing on any finding:
#  - clang-format: every C++ file of the project is formatted as .clang-format says;
#  - clang-tidy: every product source, with the checks of .clang-tidy, parsed as
#    the Windows build sees it (clang targeting i686-w64-mingw32 with MinGW's
#    headers), so the platform-free logic and the Win32 code are checked alike.
# Needs clang-format, clang-tidy and the MinGW-w64 toolchain (tools/setup.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
cd "$root"

echo "== clang-format"
find app base rename settings tests tools -name '*.cpp' -o -name '*.h' | sort |
    xargs clang-format --style=file --dry-run --Werror

echo "== clang-tidy"
cxx=$(ls -d /usr/lib/gcc/i686-w64-mingw32/*-posix/include/c++ | sort -V | tail -1)
flags=(--target=i686-w64-mingw32 -std=c++20 -I"$root" -DWIN32_LEAN_AND_MEAN -DNOMINMAX
       -isystem "$cxx" -isystem "$cxx/i686-w64-mingw32" -isystem /usr/i686-w64-mingw32/include)
find app base rename settings -name '*.cpp' | sort |
    xargs -P "$(nproc)" -I{} clang-tidy --quiet {} -- "${flags[@]}"
echo "no findings"
