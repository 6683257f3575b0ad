#!/usr/bin/env bash
# Back-to-back print benchmark, figures only (no pass/fail): twenty prints of a 100-page job
# captured one after the other as the spooler sends them, each converted by its own
# Vellumcast.exe with automatic storing. Prints the wall time from the first capture's start
# to the last stored PDF against twenty sequential runs of Ghostscript alone, the time each
# capture took to end (none should wait for another job's conversion) and the longest.
#   bench/jobs.sh [build dir] (default: build)   JOBS=n (20), PAGES=n (100)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then # the converter needs an X display, even when invisible
    exec "$root/scripts/with-display" "$0" "$build"
fi
jobs=${JOBS:-20}
pages=${PAGES:-100}
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
wine="$root/scripts/wine"
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
wineserver -p5 >/dev/null 2>&1 || true

work=$(mktemp -d "$build/jobs-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
mkdir -p "$work/printer" "$work/pdf" "$work/alone"
cp "$build/capture/Spoolwick.exe" "$build/converter/app/Vellumcast.exe" "$work/printer/"
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[PDF]\r\nRes=3\r\n' \
    "$(winpath "$build/tools/gswin32c.exe")" "$(winpath "$work/pdf")" >"$work/printer/Vellumcast.ini"

# A job of text pages, as a word processor's print would send it.
{
    echo '%!PS-Adobe-3.0'
    echo '/Times-Roman findfont 11 scalefont setfont'
    for page in $(seq "$pages"); do
        echo "%%Page: $page $page"
        for line in $(seq 60); do
            echo "72 $((760 - line * 11)) moveto (Page $page line $line: the quick brown fox jumps over the lazy dog 0123456789) show"
        done
        echo showpage
    done
} >"$work/job.ps"
echo "job: $pages pages, $(stat -c %s "$work/job.ps") bytes; $jobs prints back to back"

echo "== Ghostscript alone, $jobs sequential runs"
start=$(now)
for run in $(seq "$jobs"); do
    /usr/bin/gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 -sOutputFile="$work/alone/$run.pdf" \
        -c 300000 setvmthreshold save pop -f "$work/job.ps"
done
alone_s=$(elapsed "$start" "$(now)")

echo "== $jobs prints: capture start -> stored PDF"
longest=0
first=$(now)
for run in $(seq "$jobs"); do
    start=$(now)
    REDMON_DOCNAME="bench $run.doc" "$wine" "$work/printer/Spoolwick.exe" <"$work/job.ps" ||
        echo "capture $run ended with exit code $?" >&2
    took=$(elapsed "$start" "$(now)")
    printf 'capture %2d ended after %7.3f s\n' "$run" "$took"
    if [ "$(echo "$took > $longest" | bc)" -eq 1 ]; then longest=$took; fi
done
deadline=$(($(date +%s) + 1800))
until [ "$(ls "$work/pdf" | wc -l)" -ge "$jobs" ]; do
    [ "$(date +%s)" -lt "$deadline" ] || { echo "only $(ls "$work/pdf" | wc -l) PDFs after 1800 s" >&2; exit 1; }
    sleep 0.05
done
total_s=$(elapsed "$first" "$(now)")

printf '%-44s %10.3f s\n' "$jobs prints, first capture to last stored PDF" "$total_s"
printf '%-44s %10.3f s\n' "$jobs sequential Ghostscript runs alone" "$alone_s"
printf '%-44s %10.3f\n' "ratio prints / Ghostscript alone" "$(echo "$total_s / $alone_s" | bc -l)"
printf '%-44s %10.3f s\n' "longest capture" "$longest"
echo "(the converters run side by side on $(nproc) cores; Ghostscript alone runs one at a time)"
