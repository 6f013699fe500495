#!/usr/bin/env bash
# Makes the Windows package from a clone on Debian 12, as root or with sudo: the libraries
# cross-built by tools/windows/deps.sh (which installs MinGW-w64 and Wine first), the game in
# build-windows/ (Release, MinGW-w64 toolchain) and its zip, whose path it prints last.
# Quick when nothing changed. Usage: bash tools/windows.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$root/build-windows

"$root/tools/windows/deps.sh"
# The asset generator runs here, on Debian's python3, and copies fonts of Debian's packages.
missing=()
for name in python3 $(grep -v '^#' "$root/tools/asset-packages.txt"); do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" || missing+=("$name")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/mingw-w64.cmake" >/dev/null
cmake --build "$build" -j"$(nproc)"
# CPack names what it made: "CPack: - package: PATH generated."
(cd "$build" && cpack -G ZIP) | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
