#!/usr/bin/env bash
# Makes the Windows package from a clone on Debian 12, as root or with sudo: the libraries
# cross-built by tools/windows/deps.sh, the game in build-windows/ (Release, MinGW-w64
# toolchain) and its zip, whose path it prints last. Quick when nothing changed.
# Usage: bash tools/windows.sh
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh" # the asset generator's packages, MinGW-w64 and Wine
"$root/tools/windows/deps.sh"
"$root/tools/build.sh" build-windows -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/mingw-w64.cmake"
# CPack names what it made: "CPack: - package: PATH generated."
(cd "$root/build-windows" && cpack -G ZIP) | sed -n 's/^CPack: - package: \(.*\) generated\.$/\1/p'
