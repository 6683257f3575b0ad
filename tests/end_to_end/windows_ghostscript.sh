#!/bin/sh
# The Windows Ghostscript built from Debian's source (third_party/ghostscript) as the
# converter runs it: a portable copy of the programs and of gswin64c.exe in a folder whose
# name holds the trail byte 0x5C (表, ソ), jobs printed to it under a document name with 表,
# the PDFs stored beside them. Each PDF must have the page count and the text that Debian's
# own gs makes of the same job, and nothing may be left behind. The jobs are real manuals:
# the bash manual page (man -t) and man-db's PostScript manual. Another Ghostscript 10.00.0
# on the same PC registers its own GS_LIB; ours must not read that installation's files.
# Usage: windows_ghostscript.sh SPOOLWICK_EXE VELLUMCAST_EXE GSWIN_EXE (needs a display).
set -eu
spoolwick=$1 vellumcast=$2 gs_windows=$3
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../wine-run"
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
export WINEPREFIX="${WINEPREFIX:-$here/../../build/wineprefix}"
[ -d "$WINEPREFIX/drive_c" ] || "$here/../../scripts/wine" wineboot -i >/dev/null 2>&1 || true

top="$WINEPREFIX/drive_c/変換テスト"
folder="$top/表ソ 資料"
folder_win='C:\変換テスト\表ソ 資料'
other="$WINEPREFIX/drive_c/other-ghostscript"
other_key='HKLM\Software\GPL Ghostscript\10.00.0'
gs_name=$(basename "$gs_windows")
case $gs_name in gswin32c.exe) view=32 ;; *) view=64 ;; esac # the registry view it reads
work=$(mktemp -d "${TMPDIR:-/tmp}/windows-gs.XXXXXX")
trap '"$wine_run" reg delete "$other_key" /f /reg:$view >/dev/null 2>&1; rm -rf "$work" "$top" "$other"' EXIT
rm -rf "$top"
mkdir -p "$folder/gs"
cp "$spoolwick" "$folder/Spoolwick.exe"
cp "$vellumcast" "$folder/Vellumcast.exe"
cp "$gs_windows" "$folder/gs/$gs_name"
# The settings file is in the ANSI code page, as the settings window writes it; Res=3 is 300 dpi.
printf '[Conv]\r\nPath=%s\\gs\\%s\r\n[Data]\r\nPath=%s\\\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[PDF]\r\nRes=3\r\n' \
    "$folder_win" "$gs_name" "$folder_win" | iconv -f UTF-8 -t CP932 >"$folder/Vellumcast.ini"

fail() {
    echo "FAIL: $*" >&2
    ls -la "$folder" >&2
    # A Ghostscript that hangs, or a converter showing its message, would outlive the test.
    "$wine_run" taskkill /F /IM "$gs_name" /IM Vellumcast.exe >/dev/null 2>&1 || true
    exit 1
}

man -t bash >"$work/bash.ps" 2>/dev/null

# The other installation's start-up file fails every run that reads it.
mkdir -p "$other/lib"
echo '(read the other installation'"'"'s gs_init.ps) = this_is_not_an_operator' >"$other/lib/gs_init.ps"
"$wine_run" reg add "$other_key" /v GS_LIB /d 'C:\other-ghostscript\lib' /f /reg:$view >/dev/null ||
    fail "could not register the other installation"

# convert JOB DOCNAME PDF: prints JOB through the capture under DOCNAME, waits (bounded) for
# the stored PDF, and compares it with Debian's gs on the same job and the same arguments.
convert() {
    job=$1 docname=$2 pdf=$3
    REDMON_DOCNAME=$docname "$wine_run" "$folder/Spoolwick.exe" <"$job" || fail "capture exit status $?"
    waited=0 kept_alone=0
    # The converter moves the PDF under its name only once Ghostscript has ended. A failed
    # run deletes its working PDF and keeps the job (and shows a message that nobody
    # closes): a kept job without a working PDF for a few seconds is that failure.
    while [ ! -f "$folder/$pdf" ]; do
        [ $waited -lt 300 ] || fail "no complete $pdf after ${waited}s"
        if ls "$folder"/\$\$kept-*.ps >/dev/null 2>&1 && ! ls "$folder"/\$\$pdf-* >/dev/null 2>&1; then
            kept_alone=$((kept_alone + 1))
            [ $kept_alone -lt 3 ] || fail "the conversion failed: the job was kept, no $pdf"
        else
            kept_alone=0
        fi
        sleep 1
        waited=$((waited + 1))
    done
    /usr/bin/gs -q -dNOPAUSE -dBATCH -sDEVICE=pdfwrite -r300 -sOutputFile="$work/linux.pdf" \
        -c 300000 setvmthreshold save pop -f "$job" || fail "Debian's gs failed on $job"
    expected_pages=$(pdfinfo "$work/linux.pdf" | awk '/^Pages:/ { print $2 }')
    pages=$(pdfinfo "$folder/$pdf" 2>/dev/null | awk '/^Pages:/ { print $2 }')
    [ -n "$pages" ] || fail "$pdf is not a readable PDF"
    [ "$pages" -eq "$expected_pages" ] || fail "$pdf has $pages pages, Debian's gs made $expected_pages"
    pdftotext "$work/linux.pdf" "$work/expected.txt"
    pdftotext "$folder/$pdf" "$work/actual.txt"
    [ -s "$work/expected.txt" ] || fail "no text in Debian's PDF of $job"
    cmp -s "$work/expected.txt" "$work/actual.txt" ||
        fail "$pdf's text differs from Debian's gs: $(diff "$work/expected.txt" "$work/actual.txt" | head -5)"
    echo "ok: $pdf: $pages pages, $(wc -c <"$work/actual.txt") bytes of text as Debian's gs"
}

convert "$work/bash.ps" '見積書 表.doc' '見積書 表.pdf'
# Debian ships it; an image that leaves out /usr/share/doc has only the first job.
manual=/usr/share/doc/man-db/man-db-manual.ps.gz
if [ -f "$manual" ]; then
    gzip -dc "$manual" >"$work/man-db.ps"
    convert "$work/man-db.ps" 'ソース 表示.txt' 'ソース 表示.pdf'
else
    echo "skipped: no $manual on this machine"
fi

left=$(ls -A "$folder" | grep -v -x -e Spoolwick.exe -e Vellumcast.exe -e Vellumcast.ini -e gs \
    -e '見積書 表.pdf' -e 'ソース 表示.pdf' -e log.txt || true)
[ -z "$left" ] || fail "left behind: $left"
echo "both jobs stored under their names by $gs_name"
