#!/usr/bin/env bash
# Writes the third-party notices of the built Windows Ghostscript: which Debian packages the
# programs are made of, each package's debian/copyright as Debian ships it (the programs'
# own code, the fonts and CMaps Ghostscript carries, the statically linked libraries), and
# Ghostscript's licence text. build.sh runs it into its output folder.
#   third_party/ghostscript/notices.sh SOURCE_DIR > THIRD-PARTY-NOTICES.txt
#   SOURCE_DIR: the folder of .dsc files and archives build.sh puts beside the programs.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$1

cat <<'EOF'
Third-party notices: gswin64c.exe and gswin32c.exe

These programs are GPL Ghostscript 10.0.0, licensed under the GNU Affero General Public
License version 3 or later (its text is at the end of this file), built with MinGW-w64 from
Debian 12's source packages below and statically linked with the libraries among them.
Their complete corresponding source (the Debian source packages and our build files and
patch) comes with them: in the folder "source" beside them where they are built, and in the
folder "VellumcastSetup-<version>-source" beside the installer that carries them.

EOF
printf '%-16s %-28s %s\n' package version use
while read -r name version _; do
    case $name in '' | '#'*) continue ;; esac
    case $name in
    ghostscript) use='the programs, their fonts and CMaps' ;;
    *) use='library, linked statically' ;;
    esac
    printf '%-16s %-28s %s\n' "$name" "$version" "$use"
done <"$here/sources.lock"

section() { printf '\n\n==== %s ====\n\n' "$1"; }
while read -r name version _; do
    case $name in '' | '#'*) continue ;; esac
    section "$name $version: debian/copyright"
    tar -xJOf "$source_dir/${name}_${version#*:}.debian.tar.xz" debian/copyright
done <"$here/sources.lock"
section "GNU Affero General Public License version 3 (Ghostscript's doc/COPYING)"
tar -xJOf "$source_dir"/ghostscript_*.orig.tar.xz --wildcards '*/doc/COPYING'
