#!/usr/bin/env bash
# Back-to-back print benchmark, figures only (no pass/fail): twenty prints of a 100-page job
# captured one after the other as the spooler sends them, each converted by its own
# Vellumcast.exe with automatic storing. Prints the wall time from the first capture's start
# to the last stored PDF against twenty sequential runs of Ghostscript alone (the Windows
# Ghostscript of the build's bitness, which the prints run too), the time each
# capture took to end (none should wait for another job's conversion) and the longest.
# Both kinds of copy in one run: a portable one (jobs beside the programs) and an installed
# one (the install marker: jobs in the user's own %LOCALAPPDATA%\Vellumcast\).
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
# Let the new prefix's start-up work end first: runs during it took 10 s longer.
wineserver -w >/dev/null 2>&1 || true
wineserver -p5 >/dev/null 2>&1 || true
ghostscript=$("$root/scripts/windows-ghostscript" "$build")

work=$(mktemp -d "$build/jobs-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
mkdir -p "$work/printer" "$work/pdf" "$work/alone"
cp "$build/capture/Spoolwick.exe" "$build/converter/app/Vellumcast.exe" "$work/printer/"
settings() {
    printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[PDF]\r\nRes=3\r\n' \
        "$(winpath "$ghostscript")" "$(winpath "$work/pdf")"
}

# A job of text pages, as a word processor's print would send it.
"$root/bench/text_job.sh" "$pages" >"$work/job.ps"
echo "job: $pages pages, $(stat -c %s "$work/job.ps") bytes; $jobs prints back to back"

echo "== Ghostscript alone, $jobs sequential runs"
start=$(now)
for run in $(seq "$jobs"); do
    "$wine" "$ghostscript" -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 \
        -sOutputFile="$(winpath "$work/alone/$run.pdf")" -c 300000 setvmthreshold save pop \
        -f "$(winpath "$work/job.ps")" >/dev/null
done
alone_s=$(elapsed "$start" "$(now)")

# print_round KIND: the prints of one kind of copy; sets total_s and longest.
print_round() {
    echo "== $jobs prints, $1 copy: capture start -> stored PDF"
    rm -f "$work/pdf/"*
    longest=0
    local first start took deadline
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
}

settings >"$work/printer/Vellumcast.ini"
print_round portable
portable_s=$total_s portable_longest=$longest
rm -f "$work/printer/log.txt" # the portable round's hand-off log
{ settings; printf '[Install]\r\nPerUser=1\r\n'; } >"$work/printer/Vellumcast.ini"
print_round installed
[ -z "$(ls -A "$work/printer" | grep -v -e '^Spoolwick.exe$' -e '^Vellumcast.exe$' -e '^Vellumcast.ini$')" ] ||
    echo "the installed copy wrote beside the programs: $(ls "$work/printer")" >&2

printf '%-52s %10.3f s\n' "$jobs prints, portable, first capture to last PDF" "$portable_s"
printf '%-52s %10.3f s\n' "$jobs prints, installed, first capture to last PDF" "$total_s"
printf '%-52s %10.3f\n' "ratio installed / portable" "$(echo "$total_s / $portable_s" | bc -l)"
printf '%-52s %10.3f s\n' "$jobs sequential Ghostscript runs alone" "$alone_s"
printf '%-52s %10.3f\n' "ratio portable prints / Ghostscript alone" "$(echo "$portable_s / $alone_s" | bc -l)"
printf '%-52s %10.3f s / %.3f s\n' "longest capture, portable / installed" "$portable_longest" "$longest"
echo "(the converters run side by side on $(nproc) cores; Ghostscript alone runs one at a time)"
