#!/usr/bin/env bash
# Printing benchmark, figures only (no pass/fail): a 100-page GDI print (text and a filled
# shape on each page) through the queue "Vellumcast PDF" on our port monitor to the stored
# PDF, against Ghostscript alone on the same PostScript (both the Windows Ghostscript of the
# build's bitness). The monitor's own CPU time and the time spent in its calls come from its
# log line for the job.
#   bench/print.sh [build dir] (default: build)   PAGES=n (100)
# Runs in a Wine prefix of its own (build dir/wineprefix-bench), set up on the first run.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)
if [ -z "${DISPLAY:-}" ]; then # the converter needs an X display, even when invisible
    exec "$root/scripts/with-display" "$0" "$build"
fi
pages=${PAGES:-100}
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
export WINEPREFIX="$build/wineprefix-bench"
wine="$root/scripts/wine"
[ -d "$WINEPREFIX" ] || { "$wine" wineboot -i >/dev/null 2>&1; wineserver -w || true; }
wineserver -p5 >/dev/null 2>&1 || true # one server for all runs: no run pays for its start

now() { date +%s.%N; }
elapsed() { echo "$2 - $1" | bc; }
drive_c="$WINEPREFIX/drive_c"
app="$drive_c/vellumcast-bench"
data="$drive_c/bench-pdf"
rm -rf "$app" "$data"
mkdir -p "$app" "$data"
# The spooler's side (monitor, setup program, printing program) is 64-bit on this 64-bit
# prefix: a 32-bit tree takes it from the x86_64 tree beside it.
spooler=$(sed -n 's/^VELLUMCAST_X64_TREE:PATH=//p' "$build/CMakeCache.txt")
spooler=${spooler:-$build}
cp "$spooler/monitor/VellumcastMon.dll" "$drive_c/windows/system32/"
cp "$build/capture/Spoolwick.exe" "$build/converter/app/Vellumcast.exe" \
    "$spooler/printer_setup/Vellumcast-setup.exe" "$build/printer_setup/Vellumcast.ppd" \
    "$build/tools/job_sink.exe" "$spooler/tools/gdi_print.exe" "$app/"
cp "$("$root/scripts/windows-ghostscript" "$build")" "$app/"
ghostscript="C:\\vellumcast-bench\\$(cd "$app" && ls gswin*c.exe)"
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=C:\\bench-pdf\\\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[PDF]\r\nRes=3\r\n' \
    "$ghostscript" >"$app/Vellumcast.ini"
log="$drive_c/ProgramData/Vellumcast/VellumcastMon.log"
setup() { "$wine" 'C:\vellumcast-bench\Vellumcast-setup.exe' install "$1" >/dev/null; }
print() { "$wine" 'C:\vellumcast-bench\gdi_print.exe' "Vellumcast PDF" "$1" "$pages"; }
figures() { grep -F "\"$1\": printed" "$log" | tail -1 | sed 's/.*printed, //'; }

echo "== $pages pages through the spooler and the monitor into a program that only reads"
setup 'C:\vellumcast-bench\job_sink.exe'
start=$(now)
VELLUMCAST_SINK_COPY='C:\vellumcast-bench\job.ps' print "bench sink"
sink_s=$(elapsed "$start" "$(now)")
printf '%-44s %8.2f s\n' "GDI print, wall (gdi_print.exe)" "$sink_s"
echo "monitor: $(figures "bench sink")"

echo "== $pages pages to the stored PDF (Spoolwick.exe, Vellumcast.exe, Ghostscript)"
setup 'C:\vellumcast-bench\Spoolwick.exe'
start=$(now)
print "bench pdf"
spooled_s=$(elapsed "$start" "$(now)")
while [ ! -f "$data/bench pdf.pdf" ]; do sleep 0.05; done
pdf_s=$(elapsed "$start" "$(now)")
printf '%-44s %8.2f s\n' "GDI print until the spooler is done, wall" "$spooled_s"
printf '%-44s %8.2f s\n' "GDI print until the PDF is stored, wall" "$pdf_s"
echo "monitor: $(figures "bench pdf")"
echo "PDF: $(pdfinfo "$data/bench pdf.pdf" | grep -E '^Pages:' | tr -s ' ')," \
    "$(stat -c %s "$data/bench pdf.pdf") bytes"

echo "== Ghostscript alone on the same PostScript ($(stat -c %s "$app/job.ps") bytes)"
start=$(now)
"$wine" "$ghostscript" -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 \
    '-sOutputFile=C:\vellumcast-bench\alone.pdf' -c 300000 setvmthreshold save pop \
    -f 'C:\vellumcast-bench\job.ps' >/dev/null
gs_s=$(elapsed "$start" "$(now)")
printf '%-44s %8.2f s\n' "Ghostscript alone, wall" "$gs_s"
printf '%-44s %8.2f s\n' "whole road minus Ghostscript alone" "$(echo "$pdf_s - $gs_s" | bc)"
