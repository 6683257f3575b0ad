#!/usr/bin/env bash
# Runs every libFuzzer target for a while and prints its executions and findings.
#   bash bench/fuzz.sh [seconds per target, default 60]
# Builds build-fuzz/ (native clang, -fsanitize=fuzzer,address,undefined). Each target starts
# from its seed corpus (<folder>/fuzz_seeds/<target>) and keeps what it learns in
# build-fuzz/corpus/<target>; a finding is saved in build-fuzz/findings/ and makes the exit
# status 1. scripts/test.sh runs it briefly as a smoke run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
build="$root/build-fuzz"

CC=clang CXX=clang++ cmake -S "$root" -B "$build" -DVELLUMCAST_FUZZ=ON \
    -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" -j"$(nproc)" >/dev/null

mkdir -p "$build/findings"
status=0
printf '%-20s %8s %14s %10s %9s\n' target seconds executions exec/s findings
while IFS= read -r source; do
    target=$(basename "$source" .cpp)
    seeds="$root/$(dirname "$source")/fuzz_seeds/$target"
    corpus="$build/corpus/$target"
    mkdir -p "$corpus"
    log="$build/$target.log"
    set +e
    "$build/fuzz/$target" -max_total_time="$seconds" -print_final_stats=1 \
        -artifact_prefix="$build/findings/$target-" "$corpus" "$seeds" >"$log" 2>&1
    result=$?
    set -e
    runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
    findings=0
    if [ $result -ne 0 ]; then
        findings=1
        status=1
        grep -m1 -E 'property failed|ERROR: ' "$log" >&2 || true
    fi
    printf '%-20s %8s %14s %10s %9s\n' "$target" "$seconds" "${runs:-0}" \
        "$(( ${runs:-0} / (seconds > 0 ? seconds : 1) ))" "$findings"
done < <(cd "$root" && git ls-files '*_fuzz.cpp')
exit $status
