#!/bin/sh
# The whole road of print jobs under Wine: PostScript piped into Spoolwick.exe with a
# Japanese document name, the real Vellumcast.exe in job mode, the Windows Ghostscript built
# from Debian's source, PDFs stored automatically. First one job, then twenty captured back to back while
# earlier converters still run (two of them with the same document name); every PDF must
# carry its own name and its own text, and no job may be left behind.
# Usage: print_jobs.sh SPOOLWICK_EXE VELLUMCAST_EXE GHOSTSCRIPT_EXE (needs a display).
set -eu
spoolwick=$1 vellumcast=$2 ghostscript=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../wine-run"
export LC_ALL=ja_JP.UTF-8

work=$(mktemp -d "${TMPDIR:-/tmp}/capture-e2e.XXXXXX")
trap 'rm -rf "$work"' EXIT
printer="$work/printer folder"
data="$work/pdf"
mkdir -p "$printer" "$data"
cp "$spoolwick" "$printer/Spoolwick.exe"
cp "$vellumcast" "$printer/Vellumcast.exe"

windows_path() { printf 'Z:%s' "$1" | tr / '\\'; }
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n' \
    "$(windows_path "$ghostscript")" "$(windows_path "$data")" >"$printer/Vellumcast.ini"

fail() {
    echo "FAIL: $*" >&2
    ls -la "$printer" "$data" >&2
    exit 1
}

# print NAME TEXT: one job through the capture, as the printer port would send it.
print() {
    printf '%%!PS-Adobe-3.0\n/Helvetica findfont 20 scalefont setfont\n72 700 moveto (%s) show\nshowpage\n' "$2" |
        REDMON_DOCNAME=$1 "$wine_run" "$printer/Spoolwick.exe" || fail "capture exit status $?"
}

# expect_pdf FILE TEXT: waits (bounded) for the stored PDF and checks its text.
expect_pdf() {
    waited=0
    while [ ! -f "$data/$1" ]; do
        [ $waited -lt 240 ] || fail "no $1 after ${waited}s"
        sleep 1
        waited=$((waited + 1))
    done
    text=$(pdftotext "$data/$1" - 2>/dev/null) || fail "$1 is not a readable PDF"
    case $text in
    *"$2"*) ;;
    *) fail "$1 holds \"$text\", not \"$2\"" ;;
    esac
    echo "ok: $1: $2"
}

print '議事録 - 第2版.doc' 'Minutes of the second edition'
expect_pdf '議事録 - 第2版.pdf' 'Minutes of the second edition'

names='第1版 ソース 表計算 report 議事録 見積書 請求書 納品書 agenda notes'
jobs=0
for round in 1 2; do
    for name in $names; do
        jobs=$((jobs + 1))
        print "$name $round.doc" "Job $jobs of twenty"
    done
done
jobs=0
for round in 1 2; do
    for name in $names; do
        jobs=$((jobs + 1))
        expect_pdf "$name $round.pdf" "Job $jobs of twenty"
    done
done
# The same document name twice in a row: two PDFs, each with its own text.
print 'same.doc' 'Same name first'
print 'same.doc' 'Same name second'
expect_pdf 'same.pdf' 'Same name'
expect_pdf 'same(1).pdf' 'Same name'
[ "$(pdftotext "$data/same.pdf" - | head -1)" != "$(pdftotext "$data/same(1).pdf" - | head -1)" ] ||
    fail "both same-name PDFs hold the same job"

count=$(ls "$data" | wc -l)
[ "$count" -eq 23 ] || fail "$count files in the PDF folder, 23 expected"
[ ! -e "$printer/\$\$temp.ps" ] || fail "the job file was left behind"
[ -z "$(ls "$printer" | grep '^\$\$' || true)" ] || fail "kept jobs or private PDFs were left behind"
echo "all $count PDFs stored with their own names and text"
