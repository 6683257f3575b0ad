#!/usr/bin/env bash
# Builds the programs and the tests.
#   build-i686/  the shipped 32-bit programs (Vellumcast.exe, Spoolwick.exe)
#   build/       the tree the tests run from: the same 32-bit build where this machine can run
#                32-bit Wine, else an x86_64 build of the same sources (some kernels cannot
#                execute 32-bit code at all).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
jobs=$(nproc)

configure_and_build() { # dir toolchain
    cmake -S "$root" -B "$root/$1" -DCMAKE_TOOLCHAIN_FILE="$root/cmake/$2" \
        -DCMAKE_BUILD_TYPE=Release >/dev/null
    cmake --build "$root/$1" -j"$jobs"
}

configure_and_build build-i686 mingw-i686.cmake
if "$root/scripts/wine" --runs-32-bit; then
    rm -rf "$root/build"
    ln -s build-i686 "$root/build"
else
    [ -L "$root/build" ] && rm "$root/build"
    configure_and_build build mingw-x86_64.cmake
fi
