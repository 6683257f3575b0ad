#!/usr/bin/env bash
# The installer under Wine, in a fresh prefix of its own: folders it must refuse, a failed
# step that is rolled back, a fresh install with its own Ghostscript, defaults naming a
# Ghostscript that is gone (moved to the included one) or still there (kept); the printer
# queue, a GDI print to the stored PDF through the user's own data folder
# with the installation folder left exactly as installed, the settings window saving to the
# user's own file while the machine's defaults still reach the keys the user never changed,
# an upgrade that keeps the machine's Vellumcast.ini and moves what an earlier version left in
# the installation folder aside, defaults deployed with /INI=, an uninstall with a failed job
# in the queue while the spooler still holds the monitor DLL, a reinstall before the restart,
# the restart, and an uninstall that removes everything but the user's PDFs and settings.
# Usage: installer.sh INSTALLER GS_BRIDGE LIST_PRINTERS GDI_PRINT JOB_SINK HOLD_MODULE
#                     SETTINGS_WINDOW_DRIVER   (needs a display)
set -euo pipefail
installer=$1 bridge=$2 list_printers=$3 gdi_print=$4 job_sink=$5 hold_module=$6
window_driver=$7
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../wine-run"
export LC_ALL=ja_JP.UTF-8 WINEDEBUG=-all
# No desktop entries in the host's home for the shortcut the installer makes.
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
version=$(basename "$installer" .exe)
version=${version#VellumcastSetup-}

# Beside the installer, in the build tree.
work=$(mktemp -d "$(dirname "$installer")/test.XXXXXX")
export WINEPREFIX="$work/prefix"
cleanup() {
    wineserver -k >/dev/null 2>&1 || true
    rm -rf "$work"
}
trap cleanup EXIT

fail() {
    echo "FAIL: $*" >&2
    local log="$WINEPREFIX/drive_c/ProgramData/Vellumcast/VellumcastMon.log"
    [ ! -f "$log" ] || { echo "--- monitor log:" >&2; cat "$log" >&2; }
    find "$WINEPREFIX/drive_c/users" -name VellumcastSetup.log -exec sh -c \
        'echo "--- installer log:"; iconv -f CP932 -t UTF-8 "$1"' sh {} \; >&2
    exit 1
}
ok() { echo "ok: $*"; }

"$wine_run" wineboot -i >/dev/null 2>&1 || true
wineserver -w
c="$WINEPREFIX/drive_c"
# pe_machine FILE: the PE header's machine field (014c x86, 8664 x64).
pe_machine() {
    local offset
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' '
}
installer_machine=$(pe_machine "$installer")
# The shipped 32-bit installer on this 64-bit prefix is the one of 64-bit Windows: its
# programs go into Program Files (x86), everything that talks to the spooler is 64-bit.
if [ "$installer_machine" = 014c ]; then
    instdir="$c/Program Files (x86)/Vellumcast"
    win_instdir='C:\Program Files (x86)\Vellumcast'
    included_gs=gswin32c.exe
else
    instdir="$c/Program Files/Vellumcast"
    win_instdir='C:\Program Files\Vellumcast'
    included_gs=gswin64c.exe
fi
# The Ghostscript the installer brings, built from Debian's source: every print below uses it.
win_included_gs="$win_instdir\\gs\\$included_gs"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\Vellumcast'
monitor_key='HKLM\System\CurrentControlSet\Control\Print\Monitors\Vellumcast Monitor'
system_dll="$c/windows/system32/VellumcastMon.dll"

# In the native (64-bit) registry view, where the installer writes, whatever reg.exe's own.
reg_value() { # KEY NAME: the value's data, or nothing
    "$wine_run" reg query "$1" /v "$2" /reg:64 2>/dev/null | iconv -f CP932 -t UTF-8 |
        sed -n "s/^ *$2 *REG_[A-Z_]* *//p" | tr -d '\r'
}
key_exists() { "$wine_run" reg query "$1" /reg:64 >/dev/null 2>&1; }
queues() { "$wine_run" "$list_printers" | tr -d '\r'; }

# run_installer ARGS...: the installer's exit status in $status, its time in $seconds.
run_installer() {
    local start
    start=$(date +%s.%N)
    status=0
    "$wine_run" "$installer" "$@" || status=$?
    seconds=$(printf '%.1f' "$(echo "$(date +%s.%N) - $start" | bc)")
}
# The uninstaller copies itself into a temporary folder ("~nsu…") and runs from there: wait
# for that copy to start (or to have finished already), then to end.
run_uninstaller() {
    local start waited=0
    start=$(date +%s.%N)
    "$wine_run" "$instdir/uninstall.exe" /S || fail "uninstall.exe did not start: $?"
    while ! pgrep -f '~nsu' >/dev/null && [ -e "$instdir/uninstall.exe" ] && [ $waited -lt 50 ]; do
        sleep 0.1
        waited=$((waited + 1))
    done
    while pgrep -f '~nsu' >/dev/null; do
        [ $waited -lt 1200 ] || fail "the uninstaller still runs after 120 s"
        sleep 0.1
        waited=$((waited + 1))
    done
    seconds=$(printf '%.1f' "$(echo "$(date +%s.%N) - $start" | bc)")
}

# Nothing of an installation is left: files, Programs and Features, printer, monitor.
expect_nothing_installed() { # WHEN
    for f in Spoolwick.exe Vellumcast.exe Vellumcast-setup.exe Vellumcast.ppd uninstall.exe \
        '$$temp.ps' log.txt LICENSE.txt "gs/$included_gs" gs; do
        [ ! -e "$instdir/$f" ] || fail "$1: $f left in the installation folder"
    done
    ! key_exists "$uninstall_key" || fail "$1: the Programs and Features entry is left"
    [ ! -e "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vellumcast" ] ||
        fail "$1: the Start menu folder is left"
    ! queues | grep -q '^Vellumcast PDF' || fail "$1: the queue Vellumcast PDF is left"
    ! key_exists "$monitor_key" || fail "$1: the monitor's registry key is left"
    [ ! -e "$system_dll" ] || fail "$1: VellumcastMon.dll is left in system32"
    [ ! -e "$c/ProgramData/Vellumcast/VellumcastMon.log" ] || fail "$1: the monitor's log is left"
}

# --- Folders the capture program cannot work in are refused before anything is written. ------
# 3 + 113 + 1 bytes with the final "\": two more than the capture program allows.
long_name="C:\\$(printf 'v%.0s' $(seq 1 113))"
for folder in 'C:\Vellumcasté' "$long_name"; do
    run_installer /S "/D=$folder"
    [ "$status" -ne 0 ] || fail "installing into $folder succeeded"
    unix_folder=$("$wine_run" winepath -u "$folder" 2>/dev/null | tr -d '\r')
    [ ! -e "$unix_folder" ] || fail "installing into $folder created it"
    ! key_exists "$uninstall_key" || fail "installing into $folder left an uninstall entry"
done
ok "folders outside the ANSI code page or longer than 115 bytes are refused"

# --- A step that fails undoes what the installation did. -------------------------------------
mkdir -p "$instdir/uninstall.exe" # the uninstaller cannot be written: the last step fails
run_installer /S
[ "$status" -ne 0 ] || fail "an installation whose last step failed reported success"
rmdir "$instdir/uninstall.exe"
expect_nothing_installed "after the rolled-back installation"
rmdir "$instdir" || fail "the rolled-back installation left files: $(ls "$instdir")"
ok "a failed step rolls the installation back (exit status $status)"

# --- A fresh installation: its own Ghostscript in the defaults, with the install marker. ------
run_installer /S
[ "$status" -eq 0 ] || fail "silent installation: exit status $status"
[ -f "$instdir/Spoolwick.exe" ] && [ -f "$instdir/Vellumcast.exe" ] || fail "programs missing"
[ -f "$instdir/gs/$included_gs" ] || fail "no gs\\$included_gs in the installation folder"
grep -q 'GNU AFFERO GENERAL PUBLIC LICENSE' "$instdir/gs/THIRD-PARTY-NOTICES.txt" &&
    grep -q '^MIT License' "$instdir/LICENSE.txt" || fail "the licences are not installed"
ini="$instdir/Vellumcast.ini"
# expect_ini WHAT FORMAT ARGS...: the defaults hold exactly printf's text in Shift-JIS, the
# encoding the converter reads.
expect_ini() {
    local what=$1 expected
    shift
    # shellcheck disable=SC2059 # the format is the caller's
    expected=$(printf "$@" | iconv -f UTF-8 -t CP932 | od -An -tx1)
    [ "$(od -An -tx1 <"$ini")" = "$expected" ] || fail "$what: $(od -c "$ini")"
}
expect_ini "a fresh installation's defaults are not the included Ghostscript and the marker" \
    '[Conv]\r\nPath=%s\r\n[Install]\r\nPerUser=1\r\n' "$win_included_gs"
run_uninstaller
expect_nothing_installed "after uninstalling the fresh installation"
ok "a fresh installation uses its own $included_gs; uninstalled cleanly"

# --- Defaults naming a Ghostscript that is gone move to the included one; one that is still ---
# there is kept (a folder with a Japanese name: the Shift-JIS bytes are checked).
printf '[Conv]\r\nPath=C:\\gs\\gone\\gswin32c.exe\r\n' >"$ini"
run_installer /S
[ "$status" -eq 0 ] || fail "installation over defaults with a missing Ghostscript: $status"
expect_ini "a Ghostscript that is gone was not replaced by the included one" \
    '[Conv]\r\nPath=%s\r\n[Install]\r\nPerUser=1\r\n' "$win_included_gs"
gs_path='C:\ツール\gs10.00.0\bin\gswin32c.exe'
mkdir -p "$c/ツール/gs10.00.0/bin"
cp "$bridge" "$c/ツール/gs10.00.0/bin/gswin32c.exe"
printf '[Conv]\r\nPath=%s\r\n[Install]\r\nPerUser=1\r\n' "$gs_path" | iconv -f UTF-8 -t CP932 >"$ini"
run_installer /S
[ "$status" -eq 0 ] || fail "installation over defaults with a Ghostscript: exit status $status"
install_seconds=$seconds
expect_ini "the defaults' Ghostscript that exists was not kept" \
    '[Conv]\r\nPath=%s\r\n[Install]\r\nPerUser=1\r\n' "$gs_path"
ok "a Ghostscript that is gone moves to the included one; $gs_path, still there, is kept"

# Programs and Features.
[ "$(reg_value "$uninstall_key" DisplayName)" = "Vellumcast $version" ] || fail "DisplayName"
[ "$(reg_value "$uninstall_key" DisplayVersion)" = "$version" ] || fail "DisplayVersion"
[ "$(reg_value "$uninstall_key" Publisher)" = "Vellumcast" ] || fail "Publisher"
[ "$(reg_value "$uninstall_key" DisplayIcon)" = "$win_instdir\\Vellumcast.exe,0" ] ||
    fail "DisplayIcon"
[ "$(reg_value "$uninstall_key" UninstallString)" = "\"$win_instdir\\uninstall.exe\"" ] ||
    fail "UninstallString"
size=$(reg_value "$uninstall_key" EstimatedSize)
[ $((size)) -gt 100 ] || fail "EstimatedSize $size KiB"
[ -f "$c/ProgramData/Microsoft/Windows/Start Menu/Programs/Vellumcast/Vellumcast の設定.lnk" ] ||
    fail "no Start menu entry for the settings"
ok "Programs and Features: Vellumcast $version, publisher, icon, $((size)) KiB"

# The user's PDFs: outside the installation folder, which nothing changes at print time.
pdf_dir="$c/PDF"
win_pdf_dir='C:\PDF'
mkdir -p "$pdf_dir"
# The printing user's own data folder (this prefix's one user).
user_data=$("$wine_run" winepath -u "$("$wine_run" cmd /c 'echo %LOCALAPPDATA%' | tr -d '\r')" |
    tr -d '\r')/Vellumcast
[ ! -e "$user_data" ] || fail "the user's data folder exists before any print"
# snapshot: every file of the installation folder with its bytes' hash.
snapshot() { (cd "$instdir" && find . -type f -print0 | sort -z | xargs -0 sha256sum); }
# print_and_check NAME PAGES: a GDI print through the queue becomes NAME.pdf with PAGES pages,
# titled NAME, each page showing something (text drawn through Wine's PostScript driver is
# not extractable).
print_and_check() {
    "$wine_run" "$gdi_print" 'Vellumcast PDF' "$1" "$2" || fail "gdi_print $1: exit $?"
    local pdf="$pdf_dir/$1.pdf" waited=0
    until [ -f "$pdf" ] && pdfinfo "$pdf" >/dev/null 2>&1; do
        [ $waited -lt 180 ] || fail "no $1.pdf after ${waited}s: $(ls "$pdf_dir" "$instdir")"
        sleep 1
        waited=$((waited + 1))
    done
    # The converter ends by itself once the PDF is stored (no after-action is set); an
    # installation over a running program would fail and be rolled back.
    while pgrep -f 'Vellumcast\\Vellumcast\.exe' >/dev/null; do
        [ $waited -lt 240 ] || fail "the converter is still running ${waited}s after the print"
        sleep 1
        waited=$((waited + 1))
    done
    local pages title
    pages=$(pdfinfo "$pdf" | sed -n 's/^Pages: *//p')
    [ "$pages" = "$2" ] || fail "$1.pdf has $pages pages, not $2"
    title=$(pdfinfo "$pdf" | sed -n 's/^Title: *//p')
    [ "$title" = "$1" ] || fail "$1.pdf has the title \"$title\""
    for page in $(seq 1 "$2"); do
        local dark
        dark=$(pdftoppm -f "$page" -l "$page" -r 30 -gray "$pdf" | tail -c +16 |
            od -An -v -tu1 | tr -s ' ' '\n' | awk '$1 != "" && $1 < 128' | wc -l)
        [ "$dark" -gt 50 ] || fail "$1.pdf page $page is blank"
    done
    ok "GDI print \"$1\" stored as $1.pdf, $2 pages with ink"
}

queues | grep -q "^Vellumcast PDF	VELLUMCAST:	" ||
    fail "no queue Vellumcast PDF on VELLUMCAST: ($(queues))"
key_exists "$monitor_key\\Ports\\VELLUMCAST:" || fail "no port key"
[ -f "$system_dll" ] || fail "VellumcastMon.dll not in system32"
ok "queue Vellumcast PDF on VELLUMCAST:, monitor registered"

# The machine's defaults, as an administrator sets them: PDFs stored without a dialog into a
# folder of their own.
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[Install]\r\nPerUser=1\r\n' \
    "$win_included_gs" "$win_pdf_dir" | iconv -f UTF-8 -t CP932 >"$ini"
cp "$ini" "$work/settings.ini"
cp "$ini" "$work/defaults.ini"
installed=$(snapshot)
print_and_check '見積書 第3版' 2
# The job went through the user's own folder; the installation folder is as installed.
[ "$(snapshot)" = "$installed" ] ||
    fail "printing changed the installation folder: $(diff <(echo "$installed") <(snapshot))"
grep -q 'REDMON_DOCNAME=見積書 第3版' <(iconv -f CP932 -t UTF-8 "$user_data/log.txt") ||
    fail "no hand-off log of the job in the user's data folder: $(ls -a "$user_data")"
! ls "$user_data" | grep -q '^\$\$' || fail "job files left in the user's folder: $(ls "$user_data")"
ok "the job went through $user_data; the installation folder is byte for byte as installed"

# --- The settings window of an installed copy saves the user's own file only. ----------------
# The user's own file as an earlier session left it: a resolution the user chose, and a key
# that has since become equal to the default.
printf '[PDF]\r\nRes=1\r\n[Dlg]\r\nInh=1\r\n' >"$user_data/Vellumcast.ini"
"$wine_run" "$instdir/Vellumcast.exe" &
settings_pid=$!
"$wine_run" "$window_driver" rect >/dev/null || fail "no settings window"
"$wine_run" "$window_driver" close >/dev/null || fail "the settings window did not close"
wait $settings_pid || fail "Vellumcast.exe ended with $?"
cmp -s "$ini" "$work/settings.ini" || fail "the settings window changed the machine's defaults"
user_keys=$(iconv -f CP932 -t UTF-8 "$user_data/Vellumcast.ini" | tr -d '\r')
grep -q '^Res=1$' <<<"$user_keys" || fail "the user's own resolution was lost: $user_keys"
! grep -qE '^(Inh|DoLaunch|Launch)=|^\[(Conv|Data|Install)\]' <<<"$user_keys" ||
    fail "the user's file holds keys equal to the defaults: $user_keys"
# An administrator changes a default later: the user, who never changed it, follows it.
mkdir -p "$c/PDF2"
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=C:\\PDF2\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[Install]\r\nPerUser=1\r\n' \
    "$win_included_gs" | iconv -f UTF-8 -t CP932 >"$ini"
pdf_dir="$c/PDF2" print_and_check '新しい既定' 1
ok "the settings window saved only the user's own file; a later default reached the user"
cp "$work/defaults.ini" "$ini"

# --- An upgrade that fails leaves the earlier installation working. --------------------------
rm "$instdir/uninstall.exe"
mkdir "$instdir/uninstall.exe"
run_installer /S
[ "$status" -ne 0 ] || fail "an upgrade whose last step failed reported success"
rmdir "$instdir/uninstall.exe"
for f in Spoolwick.exe Vellumcast.exe Vellumcast-setup.exe Vellumcast.ppd; do
    [ -f "$instdir/$f" ] || fail "the failed upgrade removed $f"
done
[ -f "$system_dll" ] || fail "the failed upgrade removed the monitor"
key_exists "$uninstall_key" || fail "the failed upgrade removed the Programs and Features entry"
cmp -s "$ini" "$work/settings.ini" || fail "the failed upgrade changed Vellumcast.ini"
queues | grep -q "^Vellumcast PDF	VELLUMCAST:	" || fail "the failed upgrade lost the queue"
ok "a failed upgrade is rolled back and keeps the installation (exit status $status)"

# --- Installing again over it keeps the settings, the queue and the port, and moves what an ---
# earlier version left beside the programs (every user's jobs) to a folder for administrators.
printf 'kept job\n' >"$instdir/\$\$kept-20261201-101010-1.ps"
printf 'REDMON_DOCNAME=古い文書\r\n' >"$instdir/\$\$kept-20261201-101010-1.name"
printf 'REDMON_DOCNAME=古い文書\r\n' >"$instdir/log.txt"
printf '%%PDF-1.4 left\n' >"$instdir/古い文書.pdf"
run_installer /S
[ "$status" -eq 0 ] || fail "second installation: exit status $status"
cmp -s "$ini" "$work/settings.ini" || fail "the second installation changed Vellumcast.ini"
leftovers="$c/ProgramData/Vellumcast/Leftovers"
for f in '$$kept-20261201-101010-1.ps' '$$kept-20261201-101010-1.name' log.txt 古い文書.pdf; do
    [ ! -e "$instdir/$f" ] || fail "the upgrade left $f in the installation folder"
    [ -f "$leftovers/$f" ] || fail "the upgrade did not move $f to $leftovers"
done
[ "$(cat "$leftovers/\$\$kept-20261201-101010-1.ps")" = "kept job" ] || fail "a moved job changed"
ok "the upgrade moved what the earlier version left to $leftovers"
queues | grep -q "^Vellumcast PDF	VELLUMCAST:	" || fail "the upgrade lost the queue"
key_exists "$monitor_key\\Ports\\VELLUMCAST:" || fail "the upgrade lost the port"
print_and_check '請求書 after upgrade' 1
ok "a second installation keeps the changed Vellumcast.ini"

# --- Defaults deployed with the silent installation: /INI=<file> -----------------------------
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n[PDF]\r\nRes=5\r\n' \
    "$win_included_gs" "$win_pdf_dir" | iconv -f UTF-8 -t CP932 >"$c/deploy.ini"
run_installer /S '/INI=C:\deploy.ini'
[ "$status" -eq 0 ] || fail "installation with /INI=: exit status $status"
deployed=$(iconv -f CP932 -t UTF-8 "$ini" | tr -d '\r')
grep -q '^Res=5$' <<<"$deployed" && grep -q '^PerUser=1$' <<<"$deployed" ||
    fail "the deployed defaults are not the given file with the marker: $deployed"
cp "$ini" "$work/settings.ini"
run_installer /S '/INI=C:\missing.ini'
[ "$status" -ne 0 ] || fail "an installation with a missing /INI= file reported success"
cmp -s "$ini" "$work/settings.ini" || fail "the failed installation changed the defaults"
print_and_check '配布した既定' 1
ok "defaults deployed with /S /INI=<file>; a missing file is refused and changes nothing"

# --- Uninstall with a failed job in the queue, while the spooler holds the monitor DLL. ------
# The port's program fails (exit code 3): the monitor ends the job in error and asks the
# spooler to retain it.
mkdir -p "$c/tools"
cp "$job_sink" "$c/tools/job_sink.exe"
"$wine_run" "$instdir/Vellumcast-setup.exe" install 'C:\tools\job_sink.exe' >/dev/null ||
    fail "pointing the port to job_sink"
if VELLUMCAST_SINK_MODE=fail "$wine_run" "$gdi_print" 'Vellumcast PDF' '失敗する文書' 1; then
    fail "a job whose program failed was reported as printed"
fi
jobs_in_queue=$(queues | awk -F'\t' '$1 == "Vellumcast PDF" { print $4 }')
# Under Wine the monitor is loaded into the printing program; here a process of its own holds
# it, as the spooler does on Windows: it cannot be deleted, only moved aside.
mkfifo "$work/hold"
"$wine_run" "$hold_module" 'C:\windows\system32\VellumcastMon.dll' <"$work/hold" >"$work/held" &
exec 3>"$work/hold"
for _ in $(seq 1 100); do grep -q loaded "$work/held" 2>/dev/null && break; sleep 0.2; done
grep -q loaded "$work/held" || fail "hold_module did not load the monitor DLL"

printf '%%PDF-1.4 stored earlier\n' >"$pdf_dir/以前の文書.pdf"
run_uninstaller
uninstall_seconds=$seconds
uninstall_log=$(find "$c/users" -name VellumcastUninstall.log | head -1)
[ -n "$uninstall_log" ] || fail "no VellumcastUninstall.log"
uninstall_text=$(iconv -f CP932 -t UTF-8 "$uninstall_log" | tr -d '\r')
if [ "${jobs_in_queue:-0}" -gt 0 ]; then
    grep -q '"失敗する文書"' <<<"$uninstall_text" ||
        fail "the uninstall log does not list the retained job: $uninstall_text"
    grep -q "$jobs_in_queue job(s) purged" <<<"$uninstall_text" ||
        fail "the uninstall log does not say the job was purged: $uninstall_text"
    ok "the failed job retained in the queue is listed in the uninstall log and purged"
else
    ok "the failed job ended in error; Wine's spooler did not retain it (0 jobs in the queue)"
fi
expect_nothing_installed "after the uninstallation with the DLL held"
aside=$(find "$c/windows/system32" -maxdepth 1 -name 'VellumcastMon.dll.*.old')
[ -n "$aside" ] || fail "the held monitor DLL was not moved aside"
grep -q 'VellumcastMon.dll' <<<"$uninstall_text" && grep -q '再起動' <<<"$uninstall_text" ||
    fail "the uninstall log does not say that a restart is needed: $uninstall_text"
cmp -s "$ini" "$work/settings.ini" || fail "the uninstallation removed or changed Vellumcast.ini"
[ -f "$pdf_dir/見積書 第3版.pdf" ] && [ -f "$pdf_dir/請求書 after upgrade.pdf" ] ||
    fail "the uninstallation removed PDFs"
[ -f "$pdf_dir/以前の文書.pdf" ] || fail "the uninstallation removed a PDF in its folder"
ok "uninstalled with the DLL held: it went aside as $(basename "$aside"), a restart is asked for"

# --- Installing again before the restart: the restart deletes only the aside copy. ----------
run_installer /S
[ "$status" -eq 0 ] || fail "installation before the restart: exit status $status"
[ -f "$system_dll" ] || fail "no VellumcastMon.dll after the reinstall"
print_and_check '再インストール後' 1
exec 3>&- # the holder lets go of the old DLL
wait
"$wine_run" wineboot -r >/dev/null 2>&1 || true
wineserver -w
[ ! -e "$aside" ] || fail "the restart left $(basename "$aside")"
[ -f "$system_dll" ] || fail "the restart deleted the reinstalled VellumcastMon.dll"
print_and_check '再起動後' 1
ok "a reinstall before the restart keeps working after it"

# --- Uninstall: everything goes but the PDFs and the settings. -------------------------------
run_uninstaller
expect_nothing_installed "after the uninstallation"
cmp -s "$ini" "$work/settings.ini" || fail "the uninstallation removed or changed Vellumcast.ini"
for pdf in 見積書\ 第3版 '請求書 after upgrade' 以前の文書 再インストール後 再起動後; do
    [ -f "$pdf_dir/$pdf.pdf" ] || fail "the uninstallation removed $pdf.pdf"
done
ok "uninstalled: programs, entry, queue, port, monitor gone; settings and PDFs kept"

echo "installer $(stat -c %s "$installer") bytes; silent install ${install_seconds}s, silent uninstall ${uninstall_seconds}s"
