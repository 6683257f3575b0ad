#!/usr/bin/env bash
# Capture benchmark, figures only (no pass/fail):
#  1. throughput: a 1 GiB stream piped through Spoolwick.exe (a stand-in converter that only
#     deletes the job file), against `cat` into a file on the same disk;
#  2. peak memory of the capture for a 1 MiB and a 1 GiB stream: the max RSS of the Wine
#     process that runs Spoolwick.exe, from /usr/bin/time (it includes Wine's own share);
#  3. one print job end to end, from the capture's start to the stored PDF with the real
#     Vellumcast.exe and Ghostscript (through the bridge), against Ghostscript alone.
#   bench/capture.sh [build dir] (default: build)   SIZE_MIB=n (1024), RUNS=n end-to-end runs (3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then # the converter needs an X display, even when invisible
    exec "$root/scripts/with-display" "$0" "$build"
fi
size_mib=${SIZE_MIB:-1024}
runs=${RUNS:-3}
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
wine="$root/scripts/wine"
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
# Let the new prefix's start-up work end first: runs during it took 10 s longer.
wineserver -w >/dev/null 2>&1 || true
# One Wine server for all runs (it ends by itself a few seconds after the last one), so that
# no run pays for starting it.
wineserver -p5 >/dev/null 2>&1 || true

# On the build's disk, like the cat it is compared with.
work=$(mktemp -d "$build/capture-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
mkdir -p "$work/fake" "$work/alone" "$work/real" "$work/pdf"
cp "$build/capture/Spoolwick.exe" "$work/fake/"
cp "$build/tools/fake_converter.exe" "$work/fake/Vellumcast.exe"
cp "$build/capture/Spoolwick.exe" "$work/alone/" # no converter: the job file stays to be checked

bytes=$((size_mib * 1024 * 1024))
echo "== throughput: $size_mib MiB of stream"
start=$(now)
head -c "$bytes" /dev/zero | cat >"$work/cat.out"
cat_s=$(elapsed "$start" "$(now)")
rm -f "$work/cat.out"
start=$(now)
head -c "$bytes" /dev/zero | FAKE_CONVERTER_DISCARD=1 REDMON_DOCNAME=bench.doc "$wine" "$work/fake/Spoolwick.exe"
capture_s=$(elapsed "$start" "$(now)")
printf '%-28s %10s s  %8.1f MiB/s\n' "cat into a file" "$cat_s" "$(echo "$size_mib / $cat_s" | bc -l)"
printf '%-28s %10s s  %8.1f MiB/s\n' "Spoolwick.exe (with Wine)" "$capture_s" \
    "$(echo "$size_mib / $capture_s" | bc -l)"
printf '%-28s %10.2f\n' "time ratio capture / cat" "$(echo "$capture_s / $cat_s" | bc -l)"

echo "== peak memory (max RSS of the Wine process running Spoolwick.exe)"
for mib in 1 "$size_mib"; do
    head -c $((mib * 1024 * 1024)) /dev/zero |
        REDMON_DOCNAME=bench.doc /usr/bin/time -f %M -o "$work/rss" "$wine" "$work/alone/Spoolwick.exe" ||
        true # exit code 2: no converter to hand the job to; the job file stays to be checked
    stored=$(stat -c %s "$work/alone/\$\$temp.ps")
    [ "$stored" -eq $((mib * 1024 * 1024)) ] || echo "WARNING: job file holds $stored bytes"
    printf '%6s MiB stream: %8s KiB peak RSS, job file %s bytes\n' "$mib" "$(cat "$work/rss")" "$stored"
    rm -f "$work/alone/\$\$temp.ps"
done

echo "== one print job end to end (capture start -> stored PDF), $runs runs"
cp "$build/capture/Spoolwick.exe" "$build/converter/app/Vellumcast.exe" "$work/real/"
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[PDF]\r\nRes=3\r\n' \
    "$(winpath "$build/tools/gswin32c.exe")" "$(winpath "$work/pdf")" >"$work/real/Vellumcast.ini"
man -t ls >"$work/job.ps" 2>/dev/null
echo "job: man -t ls, $(stat -c %s "$work/job.ps") bytes, $(grep -c '^%%Page:' "$work/job.ps") pages"
printf '%-4s %14s %14s %12s\n' run end_to_end_s gs_alone_s overhead_s
for run in $(seq "$runs"); do
    rm -f "$work/pdf/"*
    start=$(now)
    REDMON_DOCNAME="bench $run.doc" "$wine" "$work/real/Spoolwick.exe" <"$work/job.ps"
    deadline=$(($(date +%s) + 300))
    until [ -f "$work/pdf/bench $run.pdf" ]; do
        [ "$(date +%s)" -lt "$deadline" ] || { echo "no PDF after 300 s" >&2; exit 1; }
        sleep 0.02
    done
    total_s=$(elapsed "$start" "$(now)")
    start=$(now)
    gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 -sOutputFile="$work/alone.pdf" \
        -c 300000 setvmthreshold save pop -f "$work/job.ps"
    gs_s=$(elapsed "$start" "$(now)")
    printf '%-4s %14.3f %14.3f %12.3f\n' "$run" "$total_s" "$gs_s" "$(echo "$total_s - $gs_s" | bc -l)"
done
