#!/usr/bin/env bash
# Installs everything the build, the tests and the demo need on a fresh Debian 12 machine.
# Idempotent: a second run only checks.
set -euo pipefail
export DEBIAN_FRONTEND=noninteractive

if [ "$(id -u)" -ne 0 ]; then SUDO=sudo; else SUDO=; fi

if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386
fi
# The Windows Ghostscript is built from Debian's own source packages (apt-get source), so
# apt needs their index: add it where no deb-src entry for bookworm's main exists yet.
if ! apt-get indextargets --no-release-info --format '$(IDENTIFIER) $(RELEASE) $(COMPONENT)' 2>/dev/null |
    grep -qx 'Sources bookworm main'; then
    $SUDO tee /etc/apt/sources.list.d/debian-src.sources >/dev/null <<'EOF'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOF
fi
$SUDO apt-get update -q
$SUDO apt-get install -y -q --no-install-recommends \
    cmake make g++ g++-mingw-w64-i686 g++-mingw-w64-x86-64 binutils-mingw-w64-i686 \
    wine wine32:i386 wine64 xvfb xauth x11-utils x11-apps imagemagick \
    ghostscript poppler-utils locales fonts-ipafont-gothic googletest \
    python3 groff-base man-db clang-format bc time nsis \
    clang libclang-rt-14-dev p7zip-full \
    dpkg-dev autoconf automake libtool pkg-config patch

# Wine takes its ANSI code page from the Linux locale; without a real ja_JP.UTF-8
# it squeezes every non-ASCII file name into ASCII.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP.utf8$'; then
    $SUDO localedef -i ja_JP -f UTF-8 ja_JP.UTF-8
fi
