#!/usr/bin/env bash
# Builds the libFuzzer targets of the name logic (tests/fuzz) with clang, ASan
# and UBSan in build/fuzz, and runs each from its seed corpus for a bounded time.
#
#   tools/fuzz.sh [SECONDS]     or     FUZZ_SECONDS=SECONDS tools/fuzz.sh
#
# SECONDS (default 60) is the fuzzing time of all targets together, shared
# evenly; give more for a longer search. The seeds are copied to a scratch
# corpus, so the inputs a run adds never land in the repository. Exits non-zero
# when a target finds anything; the input that did it is kept in
# build/fuzz/findings/<target>/ and its log in build/fuzz/logs/<target>.log.
# Needs clang and libclang-rt-14-dev (the libFuzzer runtime).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build/fuzz
targets=(gbk_text_fuzzer suffix_match_fuzzer new_name_fuzzer)

total=${1:-${FUZZ_SECONDS:-60}}
if ! [[ $total =~ ^[0-9]+$ ]] || [ "$total" -lt 1 ]; then
    echo "fuzz: the time must be a whole number of seconds, not '$total'" >&2
    exit 2
fi
each=$(( total / ${#targets[@]} ))
[ "$each" -ge 1 ] || each=1

if ! command -v clang++ >/dev/null; then
    echo "fuzz: clang++ is missing (Debian packages clang and libclang-rt-14-dev)" >&2
    exit 2
fi

echo "== fuzz targets (clang, ASan, UBSan)"
cmake -S "$root/tests/fuzz" -B "$build" -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build" -j1

scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
mkdir -p "$build/logs"

# Names run up to 255 characters in a path of up to 260; 1024 bytes leave room
# for both, and longer inputs only slow the quadratic reference checks.
max_len=1024
export ASAN_OPTIONS=${ASAN_OPTIONS:-detect_leaks=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}

status=0
for target in "${targets[@]}"; do
    corpus=$scratch/$target
    findings=$build/findings/$target
    log=$build/logs/$target.log
    mkdir -p "$corpus"
    rm -rf "$findings" && mkdir -p "$findings"
    cp "$root/tests/fuzz/corpus/${target%_fuzzer}/"* "$corpus/"

    rc=0
    "$build/$target" "$corpus" -max_total_time="$each" -max_len="$max_len" -timeout=10 -rss_limit_mb=2048 \
        -print_final_stats=1 -artifact_prefix="$findings/" >"$log" 2>&1 || rc=$?

    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    rate=$(sed -n 's/^stat::average_exec_per_sec: *//p' "$log" | tail -n 1)
    found=$(find "$findings" -type f -print -quit)
    if [ "$rc" -ne 0 ] || [ -n "$found" ] || [ -z "$runs" ]; then
        echo "FAIL $target: exit code $rc after ${runs:-no} executions"
        # The broken rule with its values; else the sanitizer's report; else the log's end.
        sanitizer='ERROR: (AddressSanitizer|libFuzzer|LeakSanitizer)|runtime error:'
        if grep -q '^==== invariant broken' "$log"; then
            awk '/^==== invariant broken/ { shown = 1 } shown && /^==[0-9]+==/ { exit } shown' "$log"
        elif grep -q -E "$sanitizer" "$log"; then
            grep -A 12 -E "$sanitizer" "$log" | head -n 40 || true
        else
            tail -n 40 "$log"
        fi
        [ -z "$found" ] || echo "     input: $found ($(od -An -tx1 -v "$found" | head -c 600 | tr -s ' \n' ' '))"
        echo "     log: $log"
        status=1
    else
        echo "ok   $target: $runs executions in ${each}s ($rate/s)"
    fi
done
exit "$status"
