#!/usr/bin/env bash
# The Windows tiers: the game and its tests cross-built for Windows (libraries from deps.sh,
# cached outside the clone) and run under Wine on a display: the unit tier, the GL tier against
# Wine's OpenGL, and the end-to-end tier with the .exe started through Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
"$root/tools/windows/deps.sh"
"$root/tools/build.sh" build-windows -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_TOOLCHAIN_FILE="$root/tools/windows/mingw-w64.cmake"
source "$root/tools/xvfb.sh"
export WINEDEBUG=-all # Wine's own fixme and err lines would read as the game's output
# A first start makes the Wine prefix (some 20 s) and says so: once, here, not in a test.
wine wineboot --init >/dev/null 2>&1
cd "$root/build-windows"
ctest --output-on-failure --timeout 900 -L 'unit|gl|e2e'
