#!/usr/bin/env bash
# Installs what is missing, builds, and starts the game: tools/play.sh [WIDTH HEIGHT]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" build -DCMAKE_BUILD_TYPE=Release
source "$root/tools/xvfb.sh"
cd "$root/build" # the game finds "../Shader/" and "../External/" from its build folder
./repair_zelto "$@"
