#!/bin/sh
# Printing from Windows end to end under Wine, in a prefix of its own: the setup program
# registers our port monitor, port and queue; a GDI print (gdi_print.exe) goes through the
# spooler and the monitor to the real Spoolwick.exe, Vellumcast.exe and the Windows Ghostscript
# built from Debian's source, which store "<document name>.pdf"; its pages are rendered and its
# Title read.
# Then the failure paths (a program that stops reading early, one that fails, a missing one)
# must each end the job in error with a line in the monitor's log, and uninstall must remove
# everything, twice over.
# Usage: printing.sh BUILD_DIR SPOOLWICK VELLUMCAST GHOSTSCRIPT MONITOR_DLL SETUP_EXE PPD
#        GDI_PRINT JOB_SINK (needs a display)
set -eu
build=$1 spoolwick=$2 vellumcast=$3 ghostscript=$4 dll=$5 setup=$6 ppd=$7 gdi_print=$8 sink=$9
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../wine-run"
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
# Under Wine the monitor loads into the printing program itself, so the setup program and
# gdi_print run in this one prefix: the 64-bit monitor and printing programs on the 64-bit
# prefix, as the 64-bit spooler on 64-bit Windows (the x86_64 tree's builds beside a 32-bit
# tree; the 32-bit programs are started by the monitor).
export WINEPREFIX="$build/wineprefix-printing"
rm -rf "$WINEPREFIX"
"$here/../../scripts/wine" wineboot -i >/dev/null 2>&1 || true
wineserver -w >/dev/null 2>&1 || true
trap 'wineserver -k >/dev/null 2>&1 || true' EXIT

drive_c="$WINEPREFIX/drive_c"
cp "$dll" "$drive_c/windows/system32/VellumcastMon.dll"
app="$drive_c/Program Files/Vellumcast 表"
app_win='C:\Program Files\Vellumcast 表'
data="$drive_c/PDF 出力"
mkdir -p "$app" "$data"
cp "$spoolwick" "$app/Spoolwick.exe"
cp "$vellumcast" "$app/Vellumcast.exe"
cp "$setup" "$app/Vellumcast-setup.exe"
cp "$ppd" "$app/Vellumcast.ppd"
cp "$sink" "$app/job_sink.exe"
cp "$gdi_print" "$app/gdi_print.exe"
ghostscript_win=$(printf 'Z:%s' "$ghostscript" | tr / '\\')
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=C:\\PDF 出力\\\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n' \
    "$ghostscript_win" | iconv -f UTF-8 -t CP932 >"$app/Vellumcast.ini"
log="$drive_c/ProgramData/Vellumcast/VellumcastMon.log"

fail() {
    echo "FAIL: $*" >&2
    [ ! -f "$log" ] || { echo "--- monitor log:" >&2; cat "$log" >&2; }
    ls -la "$app" "$data" >&2
    exit 1
}
setup() { "$wine_run" "$app/Vellumcast-setup.exe" "$@"; }
print() { "$wine_run" "$app/gdi_print.exe" "Vellumcast PDF" "$@"; }
# expect_log TEXT: the monitor's log has a line holding TEXT.
expect_log() {
    grep -qF -- "$1" "$log" 2>/dev/null || fail "no log line with: $1"
    echo "ok: log: $1"
}

# ---- install, twice ------------------------------------------------------------------
out=$(setup install "$app_win\\Spoolwick.exe") || fail "install: exit $?"
case $out in *installed*) ;; *) fail "install said: $out" ;; esac
setup install "$app_win\\Spoolwick.exe" >/dev/null || fail "second install: exit $?"
echo "ok: installed (twice)"

# ---- a Japanese document of two pages to the stored PDF --------------------------------
doc='見積書 第3版.doc'
pdf="$data/見積書 第3版.pdf"
print "$doc" 2 || fail "gdi_print exit $?"
waited=0
while [ ! -f "$pdf" ]; do
    [ $waited -lt 180 ] || fail "no $pdf after ${waited}s"
    sleep 1
    waited=$((waited + 1))
done
sleep 1 # the converter moves the finished file into place; let it settle
info=$(pdfinfo -enc UTF-8 "$pdf") || fail "pdfinfo cannot read $pdf"
echo "$info" | grep -qx 'Pages: *2' || fail "not 2 pages: $info"
echo "$info" | grep -qx "Title: *$doc" || fail "Title is not $doc: $info"
echo "$info" | grep -qx 'Creator: *Vellumcast' || fail "Creator is not Vellumcast: $info"
# Text drawn by Wine's PostScript driver is an embedded font without a Unicode map, so the
# pages are checked by rendering: each must have ink on a good part of it (the filled
# rectangle alone covers about a fifth of the page).
pdftoppm -r 20 -gray "$pdf" "$WINEPREFIX/page"
for page in "$WINEPREFIX"/page-*.pgm; do
    inked=$(python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
parts = data.split(maxsplit=4)  # P5, width, height, maxval, pixels
width, height = int(parts[1]), int(parts[2])
pixels = parts[4][-width * height:]
print(100 * sum(1 for p in pixels if p < 128) // len(pixels))' "$page")
    [ "$inked" -ge 10 ] || fail "$page is nearly blank ($inked% dark)"
    echo "ok: $(basename "$page"): $inked% of the page dark"
done
expect_log "job 0 \"$doc\": printed"

# ---- the job's environment, exactly --------------------------------------------------
setup install "$app_win\\job_sink.exe" >/dev/null || fail "install with job_sink: exit $?"
odd='引用 "a" & b %PATH% ^ | <x> ソ表.txt'
VELLUMCAST_SINK_RECORD='C:\sink.txt' print "$odd" 1 || fail "gdi_print to job_sink: exit $?"
record="$drive_c/sink.txt"
grep -qxF "REDMON_DOCNAME=$odd" "$record" || fail "document name not exact: $(cat "$record")"
grep -qx 'REDMON_PORT=VELLUMCAST:' "$record" || fail "no port: $(cat "$record")"
grep -q '^REDMON_USER=.' "$record" || fail "no user: $(cat "$record")"
grep -q '^REDMON_MACHINE=.' "$record" || fail "no machine: $(cat "$record")"
grep -q '^bytes=[1-9]' "$record" || fail "no job read: $(cat "$record")"
echo "ok: the program got the exact document name, port, user and machine"

# ---- each failure ends the job in error, with the reason in the log --------------------
if VELLUMCAST_SINK_MODE=early print 'stops early' 3; then fail "early end reported as printed"; fi
expect_log 'job 0 "stops early": FAILED: the program stopped reading the job'
if VELLUMCAST_SINK_MODE=fail print 'fails' 1; then fail "exit code 3 reported as printed"; fi
expect_log 'job 0 "fails": FAILED: the program ended with exit code 3'
mv "$app/job_sink.exe" "$app/job_sink.moved"
if print 'no program' 1; then fail "missing program reported as printed"; fi
expect_log 'job 0 "no program": FAILED: the program "C:\\Program Files\\Vellumcast'
expect_log 'could not be started (Windows error 2)'
# The setup program refuses a program that is not there, or not absolute.
if setup install "$app_win\\job_sink.exe" 2>/dev/null; then fail "setup accepted a missing program"; fi
if setup install 'job_sink.exe' 2>/dev/null; then fail "setup accepted a relative program"; fi
count=$(ls "$data" | wc -l)
[ "$count" -eq 1 ] || fail "$count files in the PDF folder, only the first job's expected"

# ---- uninstall, twice ------------------------------------------------------------------
out=$(setup uninstall) || fail "uninstall: exit $?"
case $out in *uninstalled*) ;; *) fail "uninstall said: $out" ;; esac
out=$(setup uninstall) || fail "second uninstall: exit $?"
case $out in *'queue "Vellumcast PDF" not present'*) ;; *) fail "second uninstall said: $out" ;; esac
if print 'after uninstall' 1 2>/dev/null; then fail "the queue survived uninstall"; fi
echo "ok: uninstalled (twice); all printing checks passed"
