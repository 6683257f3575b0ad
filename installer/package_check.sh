#!/usr/bin/env bash
# What the shipped installer carries, read with 7-Zip (which opens NSIS packages): the 32-bit
# programs and Ghostscript, both builds of the setup program (the PE32+ one is what 64-bit Windows runs, from
# the installer's private folder too) and both builds of the port monitor.
# Usage: package_check.sh INSTALLER
set -euo pipefail
installer=$(realpath "$1")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
    echo "FAIL: $*" >&2
    exit 1
}

# pe_kind FILE: "PE32 x86", "PE32+ x64" or what the headers say otherwise.
pe_kind() {
    local offset machine magic
    offset=$(od -An -tu4 -j60 -N4 "$1" | tr -d ' ')
    machine=$(od -An -tx2 -j$((offset + 4)) -N2 "$1" | tr -d ' ')
    magic=$(od -An -tx2 -j$((offset + 24)) -N2 "$1" | tr -d ' ')
    case $magic/$machine in
    010b/014c) echo "PE32 x86" ;;
    020b/8664) echo "PE32+ x64" ;;
    *) echo "magic $magic machine $machine" ;;
    esac
}
# kinds PATTERN: the PE kinds of the extracted files whose path matches, sorted, one a line.
kinds() {
    find "$work" -path "$work/$1" -type f | while read -r file; do pe_kind "$file"; done | sort -u
}
expect_kinds() { # PATTERN WHAT EXPECTED
    local got
    got=$(kinds "$1" | paste -sd, -)
    [ "$got" = "$3" ] || fail "$2: $got, not $3"
    echo "ok: $2: $got"
}

7z l "$installer" >"$work/listing" || fail "7z cannot read $installer"
# -aou: the installer holds files of one name twice (the two builds); keep both.
(cd "$work" && 7z x -aou -y "$installer" >/dev/null) || fail "7z cannot extract $installer"
[ "$(pe_kind "$installer")" = "PE32 x86" ] || fail "the installer is $(pe_kind "$installer")"
expect_kinds 'Spoolwick.exe' "Spoolwick.exe" "PE32 x86"
expect_kinds 'Vellumcast.exe' "Vellumcast.exe" "PE32 x86"
expect_kinds 'Vellumcast-setup*.exe' "Vellumcast-setup.exe for the installation folder" \
    "PE32 x86,PE32+ x64"
expect_kinds '$PLUGINSDIR/setup/Vellumcast-setup*.exe' \
    "Vellumcast-setup.exe run from the installer's private folder" "PE32 x86,PE32+ x64"
expect_kinds '$SYSDIR/VellumcastMon*.dll' "VellumcastMon.dll" "PE32 x86,PE32+ x64"
expect_kinds 'gs/gswin32c.exe' "the included Ghostscript" "PE32 x86"
echo "ok: $(basename "$installer") carries the 32-bit programs and Ghostscript and both builds" \
    "of the setup program and the monitor"
