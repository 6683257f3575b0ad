#!/usr/bin/env bash
# Screenshots of the installer as a user on a Japanese desktop sees it, for people to look at:
# docs/installer-welcome.png, installer-license.png, installer-folder.png, installer-progress.png,
# installer-finish.png and uninstaller-components.png.
# Usage: scripts/installer-screenshots.sh [BUILD_DIR]   (a tree whose Wine runs here; default build)
# Runs under Xvfb when there is no display; uses a fresh Wine prefix of its own.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build}" && pwd)

if [ -z "${SCREENSHOTS_UNDER_DISPLAY:-}" ]; then
    export SCREENSHOTS_UNDER_DISPLAY=1
    exec "$root/scripts/with-display" "$0" "$build"
fi

installer=$(ls "$build"/installer/VellumcastSetup-*.exe)
export WINEPREFIX="$build/wineprefix-installer-screenshots"
export WINEDLLOVERRIDES="winemenubuilder.exe=d;mscoree,mshtml="
run() { "$root/tests/wine-run" "$@"; }
wineserver=/usr/lib/wine/wineserver
[ -x /usr/lib/wine/wineserver64 ] && wineserver=/usr/lib/wine/wineserver64
rm -rf "$WINEPREFIX"
run wineboot -i >/dev/null 2>&1
# Without a window manager nobody draws the title bar unless Wine draws it itself.
run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null 2>&1

pid=
cleanup() {
    if [ -n "$pid" ] && kill -0 "$pid" 2>/dev/null; then
        kill "$pid" 2>/dev/null || true
    fi
    # Ends this prefix's Wine processes (and only this prefix's).
    "$wineserver" -k 2>/dev/null || true
    rm -rf "$WINEPREFIX"
}
trap cleanup EXIT

driver() { run "$build/tools/wizard_driver.exe" "$@"; }
shot() { # NAME: the window that takes input now
    sleep 1.5
    local left top width height
    read -r left top width height < <(driver rect | tr -d '\r')
    mkdir -p "$root/docs"
    import -window root -crop "${width}x${height}+${left}+${top}" +repage "$root/docs/$1.png"
    echo "$root/docs/$1.png (${width}x${height})"
}

run "$installer" &
pid=$!
shot installer-welcome
driver press 1
shot installer-license
driver press 1 # agree
shot installer-folder
driver press 1 # install
shot installer-progress
driver wait 1 # the wizard moves on to its last page when done
shot installer-finish
driver press 1
wait "$pid"
pid=

# Program Files, or Program Files (x86) for the 32-bit installer on a 64-bit prefix.
uninstaller=$(ls "$WINEPREFIX"/drive_c/Program\ Files*/Vellumcast/uninstall.exe | head -1)
run "$uninstaller" &
pid=$!
driver press 1 # the confirmation page
shot uninstaller-components
driver press 2 # cancel: the screenshot was the point
wait "$pid" || true
pid=
