#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test: pure logic, GL resources under a real
# context, and the real game end to end; then the unit and GL tiers again under
# AddressSanitizer and UndefinedBehaviorSanitizer, with a short soak of the sanitized game;
# then the Debian package, installed and removed again; last the Windows build, cross-built,
# with its unit, GL and end-to-end tiers run under Wine.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/tools/setup.sh"
"$root/tools/build.sh" build
"$root/tools/build.sh" build-asan -DZELTO_SANITIZE=ON -DCMAKE_BUILD_TYPE=Debug
source "$root/tools/xvfb.sh"

status=0
(cd "$root/build" && ctest --output-on-failure --timeout 900) || status=1

export ASAN_OPTIONS=detect_leaks=1:abort_on_error=1
export LSAN_OPTIONS=suppressions=$root/tools/lsan.supp:print_suppressions=0
export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
(cd "$root/build-asan" && ctest --output-on-failure --timeout 900 -L 'unit|gl') || status=1
# The real game under the sanitizers: random play for a while, any report fails it.
(cd "$root/build-asan" && ctest --output-on-failure --timeout 900 -R 'e2e.test_soak') || status=1
# Last: the Debian package made from the release build, installed, started and purged.
"$root/tools/package-test.sh" "$root/build" || status=1
# The Windows tiers: the first run on a machine cross-builds the libraries (some 4 minutes).
"$root/tools/windows/test.sh" || status=1
exit $status
