#!/usr/bin/env bash
# Builds everything and runs every test: Windows programs under Wine with the Japanese
# code page, window tests on a virtual X display. Run scripts/setup.sh once before.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"

# The logic that calls no Windows API, natively under AddressSanitizer and UBSan.
cmake -S "$root" -B "$root/build-native" -DVELLUMCAST_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build "$root/build-native" -j"$(nproc)"
ctest --test-dir "$root/build-native" --output-on-failure

# The fuzz targets, briefly: a smoke run of each (bench/fuzz.sh runs them for longer).
bash "$root/bench/fuzz.sh" "${VELLUMCAST_FUZZ_SECONDS:-10}"

export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
export WINEPREFIX="$root/build/wineprefix"
# A fresh prefix for every run, created once up front rather than by the first test.
rm -rf "$WINEPREFIX"
"$root/scripts/wine" wineboot -i >/dev/null 2>&1 || true
# Let that Wine server end: one started without a display would keep a desktop that
# cannot create windows for every test that follows.
wineserver -w >/dev/null 2>&1 || true
status=0
"$root/scripts/with-display" ctest --test-dir "$root/build" --output-on-failure --timeout 600 "$@" || status=$?
wineserver -k >/dev/null 2>&1 || true
exit $status
