#!/usr/bin/env bash
# Installs, on Debian 12, whatever the game, its asset generator and its tests need and is
# not installed yet. Quick and silent when nothing is missing.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)

packages=(
    cmake ninja-build g++ pkg-config
    libglfw3-dev libglew-dev libassimp-dev libfreetype-dev libsoil-dev libglm-dev libgtest-dev
    libopenal-dev libsndfile1-dev libasound2-dev
    libgl1-mesa-dri xvfb x11-utils xdotool imagemagick mesa-utils
    python3 python3-numpy python3-pil python3-fonttools python3-xlib python3-soundfile
    dpkg-dev lintian desktop-file-utils appstream binutils
)
if [ -f "$root/tools/asset-packages.txt" ]; then
    while read -r name; do
        [ -n "$name" ] && [ "${name:0:1}" != "#" ] && packages+=("$name")
    done < "$root/tools/asset-packages.txt"
fi

missing=()
for name in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q "install ok installed" || missing+=("$name")
done
if [ ${#missing[@]} -gt 0 ]; then
    sudo=""
    [ "$(id -u)" -ne 0 ] && sudo=sudo
    echo "Installing: ${missing[*]}"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
fi

# The Windows cross-build (MinGW-w64, Wine, deb-src for Debian's library sources): the test
# command runs the Windows tiers too.
"$root/tools/windows/setup.sh"
