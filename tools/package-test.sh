#!/usr/bin/env bash
# The Debian package end to end: makes it from a built folder (build/ by default), validates
# its desktop entry and AppStream metadata, runs lintian (an error or a warning fails), checks
# its dependencies; starts the game from a `cmake --install` under a scratch prefix; installs
# the package with apt-get, starts the game the way its desktop entry does, from a scratch
# folder with a scratch home, sees the title screen and quits with Escape each time, then purges
# the package and checks that nothing it installed is left. Installing needs root or sudo:
# without either, and when the package is already on this machine (it is not clobbered), that
# half is skipped, loudly, and the test passes.
#     tools/package-test.sh [BUILD_FOLDER]
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=${1:-$root/build}
source "$root/tools/xvfb.sh"
scratch=$(mktemp -d)
installed=""
sudo=""

say() { echo "package-test: $*"; }
fail() {
    say "FAILED: $*"
    exit 1
}
skip() {
    say "!!! SKIPPED installing, starting and purging the package: $*" >&2
    exit 0
}
finish() {
    if [ -n "$installed" ]; then
        $sudo apt-get purge -y -qq repair-zelto >/dev/null 2>&1 ||
            say "could not purge repair-zelto"
    fi
    rm -rf "$scratch"
    if [ -n "${xvfb_pid:-}" ]; then kill "$xvfb_pid" 2>/dev/null || true; fi
}
trap finish EXIT
# "installed", "config-files" and the like, or nothing when dpkg does not know the package.
state() { dpkg-query -W -f='${db:Status-Status}' repair-zelto 2>/dev/null || true; }

(cd "$build" && cpack -G DEB -B "$scratch/deb" >"$scratch/cpack.log" 2>&1) ||
    fail "cpack: $(tail -n 5 "$scratch/cpack.log")"
deb=$(echo "$scratch"/deb/repair-zelto_*.deb)
[ -f "$deb" ] || fail "cpack made no repair-zelto package"
say "made $(basename "$deb") ($(du -k "$deb" | cut -f1) KiB)"

dpkg-deb -x "$deb" "$scratch/tree"
desktop=$(echo "$scratch"/tree/usr/share/applications/*.desktop)
desktop-file-validate "$desktop" || fail "desktop-file-validate"
icon=$(sed -n 's/^Icon=//p' "$desktop")
[ -f "$scratch/tree/usr/share/icons/hicolor/256x256/apps/$icon.png" ] ||
    fail "the desktop entry's icon $icon is not in the package"
metainfo=$(echo "$scratch"/tree/usr/share/metainfo/*.metainfo.xml)
appstreamcli validate --no-net "$metainfo" >"$scratch/as.log" ||
    fail "appstreamcli validate: $(cat "$scratch/as.log")"
# The package has no lintian warning left, and keeps it so. (lintian says on every run that
# root should not run it; that is all it has against root.)
lintian --fail-on error,warning "$deb" 2> >(grep -v 'root privileges' >&2) ||
    fail "lintian reports errors or warnings"
# Every library the game links comes from a package that the package depends on. The owner is
# the package of the file the loader picks (dpkg knows it by a /usr-merged name or not).
owner() {
    local resolved
    resolved=$(readlink -f "$(ldd "$binary" | awk -v name="$1" '$1 == name {print $3}')")
    { dpkg -S "*/$1" 2>/dev/null || true; } | while read -r package path; do
        if [ "$(readlink -f "$path")" = "$resolved" ]; then echo "${package%%:*}"; fi
    done | head -n 1
}
binary="$scratch/tree/usr/lib/repair-zelto/repair_zelto"
depends=", $(dpkg-deb -f "$deb" Depends),"  # each entry between ", " and " " or ","
for library in $(objdump -p "$binary" | awk '/NEEDED/ {print $2}'); do
    package=$(owner "$library")
    [[ -n "$package" && "$depends" =~ ", $package"[\ ,] ]] ||
        fail "$library comes from ${package:-no package}; Depends:$(dpkg-deb -f "$deb" Depends)"
done
say "desktop entry, AppStream metadata, lintian and dependencies: no errors"

# Starts COMMAND (on PATH or a path) from a fresh scratch folder with a scratch home, as a
# desktop would, and sees the title drawn with the fonts under DATA (installed_title.py).
start_title() {
    local run
    run=$(mktemp -d -p "$scratch")
    mkdir "$run/home" "$run/work"
    (cd "$run/work" && HOME="$run/home" XDG_DATA_HOME="$run/home/data" \
        XDG_CONFIG_HOME="$run/home/config" XDG_CACHE_HOME="$run/home/cache" \
        PATH="/usr/games:$PATH" ZELTO_ROOT="$2" \
        /usr/bin/python3 "$root/tests/package/installed_title.py" "$1") || fail "starting $1"
}
# The same tree without the package, under a prefix of its own: no root needed.
cmake --install "$build" --prefix "$scratch/prefix" >/dev/null
start_title "$scratch/prefix/bin/repair-zelto" "$scratch/prefix/share/repair-zelto"

if [ "$(id -u)" -ne 0 ]; then
    if sudo -n true 2>/dev/null; then
        sudo=sudo
    else
        skip "neither root nor sudo"
    fi
fi
if [ -n "$(state)" ] && [ "$(state)" != not-installed ]; then
    skip "repair-zelto is already on this machine ($(state)); it is left as it is"
fi

installed=yes
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "$deb" \
    >"$scratch/apt.log" 2>&1 || fail "apt-get install: $(tail -n 5 "$scratch/apt.log")"
dpkg -L repair-zelto >"$scratch/files"
say "installed $(wc -l <"$scratch/files") paths"

start_title "$(sed -n 's/^Exec=//p' "$desktop")" /usr/share/repair-zelto

$sudo apt-get purge -y -qq repair-zelto >"$scratch/apt.log" 2>&1 ||
    fail "apt-get purge: $(tail -n 5 "$scratch/apt.log")"
installed=""
[ -z "$(state)" ] || [ "$(state)" = not-installed ] ||
    fail "dpkg still lists repair-zelto: $(state)"
# Every file must be gone; a folder may stay when other packages share it (/usr/share/man),
# but none of the game's own folders.
left=()
while read -r path; do
    if [ -e "$path" ] && { [ ! -d "$path" ] || [[ "$path" == *repair-zelto* ]]; }; then
        left+=("$path")
    fi
done <"$scratch/files"
[ ${#left[@]} -eq 0 ] || fail "left after the purge: ${left[*]}"
say "purged: nothing of it is left"
