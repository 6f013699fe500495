#!/usr/bin/env bash
# Installs what is missing, builds, and runs the frame benchmark: tools/bench.sh [--frames N]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" build
source "$root/tools/xvfb.sh"
cd "$root/build"
./frame_bench "$@"
