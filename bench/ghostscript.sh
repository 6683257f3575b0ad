#!/usr/bin/env bash
# Ghostscript benchmark, figures only: the Windows Ghostscript built from Debian's source
# (gswin64c.exe under Wine) beside Debian's Linux gs, on the same jobs with the converter's
# arguments: the 100-page text job of bench/jobs.sh and the 348-page bash manual of
# bench/convert.sh (man -t bash, four times). Wine's server is kept running, so its start-up
# is not counted; each program's own start is.
#   bench/ghostscript.sh    RUNS=n rounds (default 1)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ -z "${DISPLAY:-}" ]; then # gswin64c.exe starts a window thread, as on Windows
    exec "$root/scripts/with-display" "$0" "$@"
fi
runs=${RUNS:-1}
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
gs_dir=$("$root/third_party/ghostscript/build.sh" x86_64)
work=$(mktemp -d /tmp/vellumcast-gs-bench.XXXXXX)
export WINEPREFIX=${WINEPREFIX:-$work/wineprefix}
trap 'wineserver -k >/dev/null 2>&1 || true; rm -rf "$work"' EXIT
wine="$root/scripts/wine"
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
# Let the new prefix's start-up work end first: runs during it took 10 s longer.
wineserver -w >/dev/null 2>&1 || true
wineserver -p >/dev/null 2>&1 || true
cp "$gs_dir/x86_64/gswin64c.exe" "$work/"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
now() { date +%s.%N; }

# The jobs, made as the other benchmarks make them.
"$root/bench/text_job.sh" 100 >"$work/text100.ps"
man -t bash >"$work/manual.ps" 2>/dev/null
for _ in 1 2 3 4; do cat "$work/manual.ps"; done >"$work/bash4.ps"

# seconds PROGRAM... : wall time of one run, which must succeed.
seconds() {
    local start
    start=$(now)
    "$@" >/dev/null 2>&1 || { echo "failed: $*" >&2; exit 1; }
    awk -v a="$(now)" -v b="$start" 'BEGIN { printf "%.3f", a - b }'
}
pages() { pdfinfo "$1" | awk '/^Pages:/ { print $2 }'; }
args=(-q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300)

printf '%-10s %6s %4s %12s %12s %7s\n' job pages run linux_gs_s gswin64c_s ratio
for job in text100 bash4; do
    for run in $(seq "$runs"); do
        linux=$(seconds /usr/bin/gs "${args[@]}" -sOutputFile="$work/linux.pdf" \
            -c 300000 setvmthreshold save pop -f "$work/$job.ps")
        windows=$(seconds "$wine" "$work/gswin64c.exe" "${args[@]}" \
            -sOutputFile="$(winpath "$work/windows.pdf")" -c 300000 setvmthreshold save pop \
            -f "$(winpath "$work/$job.ps")")
        [ "$(pages "$work/windows.pdf")" = "$(pages "$work/linux.pdf")" ] ||
            { echo "page counts differ on $job" >&2; exit 1; }
        printf '%-10s %6s %4s %12s %12s %7.2f\n' "$job" "$(pages "$work/linux.pdf")" "$run" \
            "$linux" "$windows" "$(awk -v w="$windows" -v l="$linux" 'BEGIN { print w / l }')"
    done
done
echo "gswin64c.exe: $(stat -c %s "$work/gswin64c.exe") bytes (from $gs_dir)"
echo "ratio: gswin64c.exe under Wine / Linux gs, wall time of one run each, $(nproc) cores."
