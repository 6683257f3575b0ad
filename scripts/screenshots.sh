#!/usr/bin/env bash
# Screenshots of the settings window, one per tab page, for people to look at:
# docs/settings-conversion.png, docs/settings-startup.png, docs/settings-about.png.
# Usage: scripts/screenshots.sh [BUILD_DIR]   (an x86_64 build with the tests; default build)
# Runs under Xvfb when there is no display; uses its own Wine prefix in the build directory.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

if [ -z "${SCREENSHOTS_UNDER_DISPLAY:-}" ]; then
    export SCREENSHOTS_UNDER_DISPLAY=1
    exec "$root/scripts/with-display" "$0" "$build"
fi

export WINEPREFIX=${SCREENSHOTS_WINEPREFIX:-$build/wineprefix-screenshots}
run() { "$root/tests/wine-run" "$@"; }
wineserver=/usr/lib/wine/wineserver
[ -x /usr/lib/wine/wineserver64 ] && wineserver=/usr/lib/wine/wineserver64
if [ ! -d "$WINEPREFIX" ]; then
    run wineboot -i >/dev/null 2>&1
fi
# Without a window manager nobody draws the title bar unless Wine draws it itself.
run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

work=$(mktemp -d)
converter_pid=
cleanup() {
    if [ -n "$converter_pid" ] && kill -0 "$converter_pid" 2>/dev/null; then
        kill "$converter_pid" 2>/dev/null || true
    fi
    # Ends this prefix's Wine processes (and only this prefix's).
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$work"
}
trap cleanup EXIT

cp "$build/converter/app/Vellumcast.exe" "$work/"
printf '%s\r\n' '[Pos]' 'Top=24' 'Left=24' '[App]' 'DoLaunch=1' \
    'Launch=C:\Program Files\Viewer\viewer.exe' '[Conv]' 'Path=C:\gs\gs9.50\bin\gswin32c.exe' \
    '[Data]' 'Path=C:\PDF\' '[PDF]' 'Res=3' '[Dlg]' 'Inh=1' >"$work/Vellumcast.ini"

driver() { run "$build/tools/settings_window_driver.exe" "$@"; }

run "$work/Vellumcast.exe" &
converter_pid=$!
read -r left top width height < <(driver rect | tr -d '\r')
mkdir -p "$root/docs"
pages=(conversion startup about)
for index in "${!pages[@]}"; do
    driver page "$index"
    sleep 1
    out="$root/docs/settings-${pages[$index]}.png"
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out"
    echo "$out (${width}x${height})"
done
driver close
wait "$converter_pid" || true
converter_pid=

# Job mode: a job of 60 slow pages for the progress window, then a short one for the notice.
job_dir="$work/job"
pdf_dir="$work/pdf"
mkdir -p "$job_dir" "$pdf_dir"
cp "$build/converter/app/Vellumcast.exe" "$job_dir/"
winpath() { printf 'Z:%s' "$1" | tr / '\\'; }
printf '[Conv]\r\nPath=%s\r\n[Data]\r\nPath=%s\\\r\n[Dlg]\r\nInh=1\r\n[App]\r\nDoLaunch=2\r\n' \
    "$(winpath "$build/tools/gswin32c.exe")" "$(winpath "$pdf_dir")" >"$job_dir/Vellumcast.ini"
cat >"$job_dir/\$\$temp.ps" <<'EOF'
%!PS-Adobe-3.0
%%Pages: 60
%%EndComments
/wait { /ms exch def /t0 usertime def { usertime t0 sub ms gt { exit } if } loop } def
/Courier findfont 9 scalefont setfont /n 0 def /s 12 string def
1 1 60 { pop 100 wait 0 1 70 { 72 exch 10 mul 40 add moveto /n n 7919 add 104729 mod def
n s cvs show ( ) show n 31 mul s cvs show ( Vellumcast) show } for showpage } for
%%EOF
EOF
# The hand-off log is in the ANSI code page, as the capture writes it.
printf 'REDMON_DOCNAME=議事録 - 第2版.doc\r\n' | iconv -t CP932 >"$job_dir/log.txt"
run "$job_dir/Vellumcast.exe" "$(winpath "$job_dir/\$\$temp.ps")" &
converter_pid=$!
read -r left top width height < <(driver progress | tr -d '\r')
sleep 2.5
out="$root/docs/progress.png"
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out"
echo "$out (${width}x${height})"
wait "$converter_pid" || true

printf '%%!PS\n/Helvetica findfont 24 scalefont setfont 72 720 moveto (Notice) show showpage\n' \
    >"$job_dir/\$\$temp.ps"
printf 'REDMON_DOCNAME=見積書 第3版.xlsx\r\n' | iconv -t CP932 >"$job_dir/log.txt"
run "$job_dir/Vellumcast.exe" "$(winpath "$job_dir/\$\$temp.ps")" &
converter_pid=$!
read -r left top width height < <(driver notice | tr -d '\r')
# Wider than the two windows, so that nothing of the balloon is cut off by the picture.
width=$((width + 120)) height=$((height + 20))
sleep 1
out="$root/docs/notice.png"
import -window root -crop "${width}x${height}+${left}+${top}" +repage "$out"
echo "$out (${width}x${height})"
wait "$converter_pid" || true
converter_pid=
