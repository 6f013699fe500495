#!/usr/bin/env bash
# Installs, on Debian 12, what the Windows cross-build needs and is not installed yet: the
# MinGW-w64 compilers, Wine to run the .exe, zip to pack it, and a deb-src entry so that
# deps.sh can fetch Debian's sources of the libraries. Quick and silent when all is present.
set -euo pipefail

sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo

# deb-src for bookworm main, unless some existing entry already gives it.
update=0
if ! grep -rqsE '^(Types:.*deb-src|deb-src )' /etc/apt/sources.list /etc/apt/sources.list.d/; then
    $sudo tee /etc/apt/sources.list.d/repair-zelto-src.sources >/dev/null <<'SRC'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SRC
    update=1
fi

packages=(g++-mingw-w64-x86-64 wine64 wine zip dpkg-dev cmake ninja-build pkg-config xvfb)
missing=()
for name in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" || missing+=("$name")
done
if [ ${#missing[@]} -gt 0 ] || [ "$update" = 1 ]; then
    $sudo apt-get update -qq
fi
if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi
