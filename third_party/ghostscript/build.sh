#!/usr/bin/env bash
# Builds the Windows Ghostscript the converter runs (gswin64c.exe, gswin32c.exe) from Debian
# 12's own source packages, pinned in sources.lock, with MinGW-w64; prints the folder that
# holds the result. Outputs are kept under a key made of every input, outside the tree, so a
# second build (and the next clone on this machine) takes them from there.
#   third_party/ghostscript/build.sh [x86_64|i686 ...]   (default: both)
# The folder printed holds x86_64/gswin64c.exe, i686/gswin32c.exe, source/ (the Debian
# source packages and our build files: the programs' complete corresponding source) and
# THIRD-PARTY-NOTICES.txt and COPYING (Ghostscript's licence).
#   VELLUMCAST_GS_CACHE  where results and downloaded sources live
#                        (default /var/cache/vellumcast/ghostscript)
#   VELLUMCAST_GS_JOBS   make's -j (default 2; the build runs at the lowest priority)
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${VELLUMCAST_GS_CACHE:-/var/cache/vellumcast/ghostscript}
jobs=${VELLUMCAST_GS_JOBS:-2}
arches=("$@")
[ ${#arches[@]} -gt 0 ] || arches=(x86_64 i686)

log() { printf '%s\n' "ghostscript: $*" >&2; }
die() { log "$*"; exit 1; }

mkdir -p "$cache/sources"
# One build at a time per cache: a second caller waits and then finds the result.
exec 9>"$cache/.lock"
flock 9

# The key: our files, the pinned sources, and the tools they are built with.
key=$( {
    cat "$here/build.sh" "$here/sources.lock" "$here"/*.patch "$here"/*.mak
    dpkg-query -W -f='${Package} ${Version}\n' gcc-mingw-w64-x86-64-win32 \
        gcc-mingw-w64-i686-win32 mingw-w64-common gcc autoconf automake libtool cmake
} | sha256sum | cut -c1-16)
out="$cache/$key"
missing=()
for arch in "${arches[@]}"; do
    case $arch in
    x86_64) exe=gswin64c.exe ;;
    i686) exe=gswin32c.exe ;;
    *) die "unknown architecture $arch" ;;
    esac
    [ -f "$out/$arch/$exe" ] || missing+=("$arch")
done
# The notices come from the source packages beside the programs (notices.sh is not part of
# the key: a change to it rewrites them without a rebuild), and so does Ghostscript's licence
# text on its own (COPYING), for the installer's licence page.
write_notices() {
    "$here/notices.sh" "$out/source" >"$out/THIRD-PARTY-NOTICES.txt.partial"
    mv "$out/THIRD-PARTY-NOTICES.txt.partial" "$out/THIRD-PARTY-NOTICES.txt"
    tar -xJOf "$out"/source/ghostscript_*.orig.tar.xz --wildcards '*/doc/COPYING' >"$out/COPYING.partial"
    mv "$out/COPYING.partial" "$out/COPYING"
}
if [ ${#missing[@]} -eq 0 ]; then
    write_notices
    log "cached in $out"
    echo "$out"
    exit 0
fi

# --- Sources: apt's deb-src, each .dsc checked against the lock, each archive against its .dsc.
dsc_files() { sed -n '/^Checksums-Sha256:/,/^[^ ]/s/^ [0-9a-f]* [0-9]* //p' "$1"; }
fetch() { # name version dsc-sha256 -> unpacked tree in $work/src/name
    local name=$1 version=$2 sum=$3 upstream dsc
    upstream=${version#*:}
    dsc="$cache/sources/${name}_${upstream}.dsc"
    if [ ! -f "$dsc" ] || ! (cd "$cache/sources" && dsc_files "$dsc" | xargs -r ls >/dev/null 2>&1); then
        (cd "$cache/sources" && apt-get source -q --download-only "$name=$version") >"$work/log/fetch-$name.log" 2>&1 ||
            die "apt-get source $name=$version failed (is the deb-src entry there? scripts/setup.sh)"
    fi
    echo "$sum  $dsc" | sha256sum -c --quiet - >&2 || die "$dsc does not match sources.lock"
    # dpkg-source stops on any archive whose size or checksum differs from the .dsc.
    dpkg-source --no-copy --require-strong-checksums -x "$dsc" "$work/src/$name" >"$work/log/unpack-$name.log" 2>&1 ||
        die "unpacking $dsc failed: $(tail -3 "$work/log/unpack-$name.log")"
    # The corresponding source that goes next to the programs: the .dsc and what it names.
    cp "$dsc" "$work/source/"
    dsc_files "$dsc" | while read -r file; do cp "$cache/sources/$file" "$work/source/"; done
}

work="$cache/work-$key"
rm -rf "$work"
mkdir -p "$work/src" "$work/log" "$work/source"
started=$(date +%s)
while read -r name version sum; do
    case $name in '' | '#'*) continue ;; esac
    fetch "$name" "$version" "$sum"
done <"$here/sources.lock"

# The same inputs make the same programs: the romfs date is the Ghostscript package's own
# (mkromfs reads SOURCE_DATE_EPOCH), the program has no link time (windows.mak), and the
# build folder, which names the cache, is mapped out of everything compiled.
SOURCE_DATE_EPOCH=$(dpkg-parsechangelog -l "$work/src/ghostscript/debian/changelog" -S Timestamp)
export SOURCE_DATE_EPOCH
prefix_map="-ffile-prefix-map=$work=/build"

run() { # log-name command... : runs at the lowest priority, output to a log shown on failure
    local name=$1
    shift
    if ! nice -n 19 "$@" >>"$work/log/$name.log" 2>&1; then
        tail -40 "$work/log/$name.log" >&2
        die "$name failed (full log: $work/log/$name.log)"
    fi
}

# --- The libraries, static, per architecture, into one prefix.
build_libraries() { # arch host prefix
    local arch=$1 host=$2 prefix=$3 b="$work/$1"
    local env=(CC="$host-gcc" AR="$host-ar" RANLIB="$host-ranlib" RC="$host-windres"
        CPPFLAGS="-I$prefix/include" LDFLAGS="-L$prefix/lib" CFLAGS="-O2 $prefix_map")
    mkdir -p "$prefix/include" "$prefix/lib"
    # zlib first, into the prefix, so that every configure below finds this one and no other.
    log "$arch: zlib"
    cp -a "$work/src/zlib" "$b/zlib"
    (cd "$b/zlib" && run "$arch-zlib" env CHOST="$host" CFLAGS="-O3 $prefix_map" ./configure \
        --static --prefix="$prefix")
    run "$arch-zlib" make -C "$b/zlib" -j"$jobs" libz.a
    run "$arch-zlib" make -C "$b/zlib" install

    log "$arch: libjpeg-turbo"
    run "$arch-jpeg" cmake -S "$work/src/libjpeg-turbo" -B "$b/jpeg" -DCMAKE_SYSTEM_NAME=Windows \
        -DCMAKE_SYSTEM_PROCESSOR="$arch" -DCMAKE_C_COMPILER="$host-gcc" -DCMAKE_RC_COMPILER="$host-windres" \
        -DCMAKE_BUILD_TYPE=Release -DCMAKE_C_FLAGS="$prefix_map" -DCMAKE_INSTALL_PREFIX="$prefix" \
        -DENABLE_SHARED=OFF \
        -DENABLE_STATIC=ON -DWITH_SIMD=OFF -DWITH_TURBOJPEG=OFF -DWITH_CRT_DLL=ON
    run "$arch-jpeg" cmake --build "$b/jpeg" -j"$jobs" --target jpeg-static
    cp "$b/jpeg/libjpeg.a" "$prefix/lib/"
    cp "$work/src/libjpeg-turbo/jpeglib.h" "$work/src/libjpeg-turbo/jmorecfg.h" \
        "$work/src/libjpeg-turbo/jerror.h" "$b/jpeg/jconfig.h" "$prefix/include/"

    local lib dir opts
    for lib in lcms2 libpng1.6 freetype; do
        log "$arch: $lib"
        case $lib in
        lcms2) opts=(--without-jpeg --without-tiff --without-zlib) ;;
        libpng1.6) opts=() ;;
        freetype) opts=(--with-zlib=yes --without-png --without-bzip2 --without-harfbuzz
            --without-brotli ZLIB_CFLAGS="-I$prefix/include" ZLIB_LIBS="-L$prefix/lib -lz") ;;
        esac
        dir="$b/$lib"
        mkdir -p "$dir"
        (cd "$dir" && run "$arch-$lib" "$work/src/$lib/configure" --host="$host" \
            --prefix="$prefix" --enable-static --disable-shared "${opts[@]}" "${env[@]}")
        run "$arch-$lib" make -C "$dir" -j"$jobs"
        run "$arch-$lib" make -C "$dir" install
    done
}

# --- Ghostscript: Debian's tree (its patches applied by dpkg-source), then ours; configure
# regenerated as Debian's own build does (dh_autoreconf ./autogen.sh), which brings in the
# configure.ac half of Debian's cross-build fix.
log "our patch, autogen"
run gs-prepare patch -d "$work/src/ghostscript" -p1 --no-backup-if-mismatch -i "$here/windows-platform.patch"
(cd "$work/src/ghostscript" && NOCONFIGURE=1 run gs-prepare ./autogen.sh)

build_ghostscript() { # arch host prefix exe
    local arch=$1 host=$2 prefix=$3 exe=$4 tree="$work/$1/ghostscript"
    log "$arch: ghostscript"
    cp -a "$work/src/ghostscript" "$tree"
    cp "$here/windows.mak" "$tree/"
    # PDF input (the new C interpreter, JBIG2, JPX) and every device but pdfwrite are left
    # out: the converter only writes PDF from PostScript. The resources go into the program.
    (cd "$tree" && run "$arch-gs" ./configure --host="$host" --build="$(gcc -dumpmachine)" \
        CPPFLAGS="-I$prefix/include -I$prefix/include/freetype2" LDFLAGS="-L$prefix/lib" LIBS="-lz" \
        PKGCONFIG=pkg-config PKG_CONFIG_LIBDIR="$prefix/lib/pkgconfig" PKG_CONFIG_PATH= \
        --without-pdf --without-pcl --without-xps --without-gpdl --without-jbig2dec \
        --disable-openjpeg --without-libtiff --without-ijs --disable-cups --disable-contrib \
        --disable-fontconfig --disable-dbus --disable-gtk --without-x --without-libpaper \
        --without-libidn --with-libiconv=no --without-tesseract --without-urf \
        --without-pdftoraster --with-drivers=pdfwrite --enable-compile-inits)
    run "$arch-gs" make -C "$tree" -f windows.mak -j"$jobs" AR="$host-ar" RANLIB="$host-ranlib" \
        GS_WINDOWS_NAME="${exe%.exe}" BUILD_CFLAGS="$prefix_map" "bin/$exe"
    mkdir -p "$out/$arch"
    cp "$tree/bin/$exe" "$out/$arch/$exe.partial"
    mv "$out/$arch/$exe.partial" "$out/$arch/$exe"
}

for arch in "${missing[@]}"; do
    case $arch in
    x86_64) host=x86_64-w64-mingw32 exe=gswin64c.exe ;;
    i686) host=i686-w64-mingw32 exe=gswin32c.exe ;;
    esac
    build_libraries "$arch" "$host" "$work/$arch/prefix"
    build_ghostscript "$arch" "$host" "$work/$arch/prefix" "$exe"
done
# Beside the programs: the Debian source packages and our own build files.
mkdir -p "$out/source/vellumcast"
cp "$work/source/"* "$out/source/"
cp "$here"/build.sh "$here"/notices.sh "$here"/sources.lock "$here"/*.patch "$here"/windows.mak \
    "$out/source/vellumcast/"
rm -rf "$work"
write_notices
log "built in $(($(date +%s) - started)) s: $out"
echo "$out"
