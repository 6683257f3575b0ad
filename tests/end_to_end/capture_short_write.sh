#!/bin/sh
# A capture that cannot store its job whole (the disk fills up) must not hand a truncated
# job on: what it wrote stays under a kept name with the document name beside it, no
# converter starts, and the exit code is not 0. The full disk is a file-size limit on the
# capture's process (ulimit -f, with SIGXFSZ ignored so that the write fails instead).
# Usage: capture_short_write.sh SPOOLWICK_EXE FAKE_CONVERTER_EXE
set -eu
spoolwick=$1 converter=$2
here=$(cd "$(dirname "$0")" && pwd)
wine_run="$here/../wine-run"
export LC_ALL=ja_JP.UTF-8

work=$(mktemp -d "${TMPDIR:-/tmp}/capture-full.XXXXXX")
trap 'rm -rf "$work"' EXIT
cp "$spoolwick" "$work/Spoolwick.exe"
cp "$converter" "$work/Vellumcast.exe"
head -c 600000 /dev/urandom >"$work/job.in"

fail() {
    echo "FAIL: $*" >&2
    ls -la "$work" >&2
    exit 1
}

# Wine's server must not run under the limit (it writes the registry): start it first.
"$wine_run" cmd /c exit >/dev/null 2>&1 || true
status=0
(
    trap '' XFSZ
    ulimit -f 200 # 200 KiB
    REDMON_DOCNAME='見積書.xlsx' exec "$wine_run" "$work/Spoolwick.exe" <"$work/job.in"
) || status=$?
[ "$status" -ne 0 ] || fail "the capture reported success"
sleep 3 # a converter, had one been started, would have taken the job by now
[ ! -e "$work/\$\$temp.ps" ] || fail "a truncated job was handed on"
[ -z "$(ls "$work" | grep '\.out$' || true)" ] || fail "a converter was started"
kept=$(ls "$work" | grep '^\$\$kept-.*\.ps$') || fail "nothing kept"
size=$(wc -c <"$work/$kept")
[ "$size" -gt 0 ] && [ "$size" -lt 600000 ] || fail "kept $size bytes"
cmp -n "$size" "$work/$kept" "$work/job.in" || fail "the kept part differs from the stream"
# The document name beside it, in the ANSI code page (Shift-JIS), as the hand-off line.
printf 'REDMON_DOCNAME=%s\r\n' "$(printf '見積書.xlsx' | iconv -f UTF-8 -t CP932)" >"$work/expected.name"
cmp "$work/${kept%.ps}.name" "$work/expected.name" || fail "the kept job's name differs"
echo "ok: exit $status, $size bytes kept as $kept, no converter started"
