#!/usr/bin/env bash
# Last byte to stored PDF, figures only (no pass/fail): a one-page print job is piped into the
# real Spoolwick.exe, which hands it to the real Vellumcast.exe (automatic storing, no
# after-action, the Windows Ghostscript of the build's bitness); the figure is the time from
# the moment the job's last byte went into the capture's standard input to the moment the PDF
# stands in the data folder, beside that Ghostscript alone on the same job.
#   bench/last_byte.sh [build dir] (default: build)   RUNS=n (default 3)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then # the converter needs an X display, even when invisible
    exec "$root/scripts/with-display" "$0" "$build"
fi
runs=${RUNS:-3}
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
export WINEPREFIX=${WINEPREFIX:-$build/wineprefix}
wine="$root/scripts/wine"
[ -d "$WINEPREFIX" ] || "$wine" wineboot -i >/dev/null 2>&1
# Let the new prefix's start-up work end first: runs during it took 10 s longer. Then one
# Wine server for all runs, so that no run pays for starting it.
wineserver -w >/dev/null 2>&1 || true
wineserver -p5 >/dev/null 2>&1 || true
ghostscript=$("$root/scripts/windows-ghostscript" "$build")

work=$(mktemp -d "$build/last-byte-bench.XXXXXX")
trap 'rm -rf "$work"' EXIT
now() { date +%s.%N; }
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
mkdir -p "$work/real" "$work/pdf"
cp "$build/capture/Spoolwick.exe" "$build/converter/app/Vellumcast.exe" "$work/real/"
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[PDF]\r\nRes=3\r\n' \
    "$(winpath "$ghostscript")" "$(winpath "$work/pdf")" >"$work/real/Vellumcast.ini"
cat >"$work/job.ps" <<'EOF'
%!PS-Adobe-3.0
%%Pages: 1
%%EndComments
%%Page: 1 1
/Helvetica findfont 24 scalefont setfont
72 720 moveto (Vellumcast one-page job) show
showpage
%%EOF
EOF
echo "job: one page, $(stat -c %s "$work/job.ps") bytes"
printf '%-4s %16s %12s %12s\n' run last_byte_to_pdf_s gs_alone_s overhead_s
for run in $(seq "$runs"); do
    rm -f "$work/pdf/"*
    # The job's last byte is written and the time taken before the pipe closes.
    { cat "$work/job.ps"; now >"$work/last_byte"; } |
        REDMON_DOCNAME="bench $run.doc" "$wine" "$work/real/Spoolwick.exe" &
    capture=$!
    deadline=$(($(date +%s) + 120))
    until [ -f "$work/pdf/bench $run.pdf" ]; do
        [ "$(date +%s)" -lt "$deadline" ] || { echo "no PDF after 120 s" >&2; exit 1; }
        sleep 0.005
    done
    stored=$(now)
    wait "$capture"
    total_s=$(echo "$stored - $(cat "$work/last_byte")" | bc -l)
    start=$(now)
    "$wine" "$ghostscript" -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 \
        -sOutputFile="$(winpath "$work/alone.pdf")" -c 300000 setvmthreshold save pop \
        -f "$(winpath "$work/job.ps")" >/dev/null
    gs_s=$(echo "$(now) - $start" | bc -l)
    printf '%-4s %16.3f %12.3f %12.3f\n' "$run" "$total_s" "$gs_s" "$(echo "$total_s - $gs_s" | bc -l)"
    # The converter may still be running (it ends after the PDF is stored); let it end.
    sleep 1
done
