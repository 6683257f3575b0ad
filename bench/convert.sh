#!/usr/bin/env bash
# Converter cost benchmark: converts a large multi-page print job (the bash manual page as
# PostScript, made at run time, COPIES times over) through RunConversion with the Ghostscript bridge, then runs
# the same Ghostscript command alone, and prints the figures side by side.
#   bench/convert.sh [build dir] (default: build)    RUNS=n repeats (default 3), COPIES=n (4)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then # the progress window needs an X display
    exec "$root/scripts/with-display" "$0" "$build"
fi
runs=${RUNS:-3}
copies=${COPIES:-4}
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
[ -d "$WINEPREFIX" ] || "$root/scripts/wine" wineboot -i >/dev/null 2>&1
# Let the new prefix's start-up work end first: runs during it took 10 s longer.
wineserver -w >/dev/null 2>&1 || true

work=$(mktemp -d /tmp/vellumcast-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT
winpath() { echo "Z:$1" | tr / '\\'; }
now() { date +%s.%N; }

man -t bash >"$work/manual.ps" 2>/dev/null
for _ in $(seq "$copies"); do cat "$work/manual.ps"; done >"$work/job.ps"
pages=$(grep -c '^%%Page:' "$work/job.ps" || true)
echo "job: man -t bash x $copies, $(stat -c %s "$work/job.ps") bytes, $pages pages"
mkdir -p "$work/gs" "$work/jobs" "$work/pdf"
cp "$build/tools/gswin32c.exe" "$work/gs/"

printf '%-4s %12s %12s %10s %12s %12s %14s %7s %12s\n' run conv_wall_s conv_cpu_s cpu_share gs_alone_s \
    overhead_s meter_check_s window longest_round_s
for run in $(seq "$runs"); do
    cp "$work/job.ps" "$work/jobs/\$\$temp.ps"
    # After the job, as the capture writes it: a hand-off log older than the job is stale.
    printf 'REDMON_DOCNAME=bash.doc\r\n' >"$work/log.txt"
    rm -f "$work/pdf/"*
    figures=$("$root/tests/wine-run" "$build/bench/convert_bench.exe" \
        "$(winpath "$work/gs/gswin32c.exe")" "$(winpath "$work/jobs/\$\$temp.ps")" \
        "$(winpath "$work/log.txt")" "$(winpath "$work/pdf")\\" | tr -d '\r')
    [ -f "$work/pdf/bash.pdf" ] || { echo "no PDF stored" >&2; exit 1; }
    value() { echo "$figures" | awk -v k="$1" '$1 == k { print $2 }'; }
    # Three decimals; a difference that rounds to nothing is "0.000", not "-0.000".
    fixed3() { awk -v x="$1" 'BEGIN { v = sprintf("%.3f", x); if (v == "-0.000") v = "0.000"; print v }'; }

    start=$(now)
    /usr/bin/gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 -sOutputFile="$work/alone.pdf" \
        -c 300000 setvmthreshold save pop -f "$work/job.ps"
    alone=$(awk -v a="$(now)" -v b="$start" 'BEGIN { print a - b }')

    wall=$(value conversion_wall_seconds)
    printf '%-4s %12s %12s %9.2f%% %12s %12s %14s %7s %12s\n' "$run" "$(fixed3 "$wall")" \
        "$(fixed3 "$(value converter_cpu_seconds)")" "$(value converter_cpu_share_percent)" \
        "$(fixed3 "$alone")" "$(fixed3 "$(awk -v a="$wall" -v b="$alone" 'BEGIN { print a - b }')")" \
        "$(fixed3 "$(value calibration_cpu_seconds)")" \
        "$([ "$(value progress_window_shown)" = 1 ] && echo shown || echo none)" \
        "$(value longest_message_round_seconds)"
done
echo "conv_cpu_s: the converter's own processor time during the run (GetProcessTimes);"
echo "gs_alone_s: /usr/bin/gs with the same arguments; overhead_s: conv_wall_s - gs_alone_s."
echo "meter_check_s: the same meter over 0.25 s of busy work (should read about 0.25)."
echo "window: whether the progress window appeared (after about 1 s of Ghostscript);"
echo "longest_round_s: the longest round of window messages during the wait (the window's work)."
echo "goal: cpu_share under 2%"
