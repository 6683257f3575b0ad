#!/usr/bin/env bash
# Builds the programs and the tests.
#   build-i686/  the shipped 32-bit programs (Vellumcast.exe, Spoolwick.exe)
#   build/       the tree the tests run from: the same 32-bit build where this machine can run
#                32-bit Wine, else an x86_64 build of the same sources (some kernels cannot
#                execute 32-bit code at all).
#   build-i686/installer/VellumcastSetup-<version>.exe  the shipped installer: the 32-bit
#                programs and both builds of the monitor and the setup program (the 64-bit
#                ones from the x86_64 tree: build/, or build-x86_64/ where build/ is the
#                32-bit tree).
#   third_party/ghostscript/build.sh  the Windows Ghostscript (gswin32c.exe, gswin64c.exe) from
#                Debian's source packages, kept outside the tree by its inputs' hash.
#   build-x86_64/  where build/ is the 32-bit tree: the 64-bit monitor and setup program for
#                the installer, and the 64-bit printing programs the tests print with (under
#                Wine the monitor loads into the printing program, and the 64-bit prefix's
#                spooler side is 64-bit, as on 64-bit Windows).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

# The Windows Ghostscript from Debian's source: built once, then taken from its cache.
ghostscript_dir=$("$root/third_party/ghostscript/build.sh" x86_64 i686)

configure() { # dir toolchain [cmake options]
    cmake -S "$root" -B "$root/$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" \
        -DCMAKE_BUILD_TYPE=Release -DVELLUMCAST_GHOSTSCRIPT_DIR="$ghostscript_dir" "${@:3}" >/dev/null
}
configure_and_build() { # dir toolchain [cmake options]
    configure "$@"
    cmake --build "$root/$1" -j"$jobs"
}

if "$root/scripts/wine" --runs-32-bit; then x64_tree=build-x86_64; else x64_tree=build; fi
configure_and_build build-i686 mingw-i686.cmake -DVELLUMCAST_X64_TREE="$root/$x64_tree"
if [ "$x64_tree" = build-x86_64 ]; then
    rm -rf "$root/build"
    ln -s build-i686 "$root/build"
    configure build-x86_64 mingw-x86_64.cmake
    cmake --build "$root/build-x86_64" -j"$jobs" \
        --target vellumcast_monitor printer_setup gdi_print list_printers hold_module
else
    [ -L "$root/build" ] && rm "$root/build"
    configure_and_build build mingw-x86_64.cmake -DVELLUMCAST_I686_TREE="$root/build-i686"
fi
cmake --build "$root/build-i686" --target installer
