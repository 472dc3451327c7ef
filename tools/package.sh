#!/usr/bin/env bash
# Builds the release package: dist/quandrel-2.0.zip (program, zlibwapi.dll, usage notes).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
bash "$root/tools/setup.sh" >/dev/null
bash "$root/tools/build.sh" >/dev/null
mkdir -p "$root/dist"
cp "$root"/build/win/quandrel-*.zip "$root/dist/"
ls -l "$root"/dist/quandrel-*.zip
