#!/usr/bin/env bash
# The main job, end to end: installs what is needed, builds, then prints the sample job
# through the capture program the way the printer port would, and shows the PDF it became.
#   demo-output/printer/   Spoolwick.exe, Vellumcast.exe and Vellumcast.ini, side by side
#   demo-output/pdf/       where the converter stores the PDF (automatic storing)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
if [ "${1:-}" != "--no-setup" ]; then
    bash "$root/scripts/setup.sh"
    # A shell started before the Japanese locale existed cannot switch to it: go on in a
    # new one.
    exec bash "$0" --no-setup
fi
"$root/scripts/build.sh"

out="$root/demo-output"
rm -rf "$out"
mkdir -p "$out/printer" "$out/pdf" "$out/gs"
cp "$root/build/capture/Spoolwick.exe" "$root/build/converter/app/Vellumcast.exe" "$out/printer/"
# The Windows Ghostscript built from Debian's source (scripts/build.sh made it, or took it from
# its cache), of the test programs' bitness.
gs_program=$("$root/scripts/windows-ghostscript" "$root/build")
gs_exe=$(basename "$gs_program")
cp "$gs_program" "$out/gs/"

export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all WINEPREFIX="$out/wineprefix"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
# The settings file: automatic storing into demo-output/pdf, nothing started afterwards.
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\\\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n' \
    "$(winpath "$out/gs/$gs_exe")" "$(winpath "$out/pdf")" |
    iconv -f UTF-8 -t CP932 >"$out/printer/Vellumcast.ini"

"$root/scripts/wine" wineboot -i >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true # the next Wine server starts with the display
docname='議事録 - 第2版.doc'
echo "Printing samples/sample-job.ps as \"$docname\" ..."
REDMON_DOCNAME="$docname" "$root/scripts/with-display" bash -c '
    "$1/tests/wine-run" "$2/printer/Spoolwick.exe" <"$1/samples/sample-job.ps"
    # The capture ends once the converter has taken the job over; wait for the converter.
    wineserver -w' _ "$root" "$out"

pdf="$out/pdf/議事録 - 第2版.pdf"
if [ ! -f "$pdf" ]; then
    echo "No PDF was stored; expected $pdf" >&2
    exit 1
fi
echo "Stored: $pdf"
pdfinfo "$pdf" | grep -E '^(Pages|Producer):'
echo "--- text of the PDF ---"
pdftotext -layout "$pdf" - | sed '/^\s*$/d'
