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
