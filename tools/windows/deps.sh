#!/usr/bin/env bash
# Cross-builds, for the Windows build, Debian's own sources of the libraries the game links, as
# static MinGW-w64 libraries, into a cache outside the clone:
#   $cache/src/                      what apt-get source fetched (.dsc, tarballs)
#   $cache/work/NAME/                unpacked source, build folder and build log, while building
#   $cache/prefix/NAME-VERSION/      the installed library; .complete holds its stamp
# A prefix counts only once its .complete stamp is written, after the install finished; the
# stamp names the Debian version, this file's recipe for it and the stamps of what it was
# built against, so a change in any of them rebuilds it, and a half-finished one is rebuilt.
# Usage: tools/windows/deps.sh
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
cache=${ZELTO_WINDOWS_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/repair-zelto-windows}
toolchain=$here/mingw-w64.cmake
triple=x86_64-w64-mingw32
jobs=$(nproc)

"$here/setup.sh"
mkdir -p "$cache/src" "$cache/work" "$cache/prefix"

# Debian source package, in build order; a library comes after those it is built against.
# The archive this machine reaches answers 404 for the tarballs of libsoil and openal-soft (as
# for utfcpp's), so those two are the project's own stand-ins (recipe_soil, recipe_openal).
libraries=(zlib glfw3 glew freetype assimp glm googletest libsndfile soil openal)
declare -A needs=([freetype]="zlib" [assimp]="zlib" [soil]="zlib")
# Built from a folder beside this file instead of a Debian source.
declare -A standin=([soil]="$here/soil" [openal]="$here/openal")

# The highest version of a source package that the deb-src entries offer.
debian_version() {
    local best="" version
    for version in $(apt-cache showsrc --only-source "$1" 2>/dev/null | awk '/^Version:/ {print $2}'); do
        if [ -z "$best" ] || dpkg --compare-versions "$version" gt "$best"; then
            best=$version
        fi
    done
    [ -n "$best" ] || { echo "windows deps: no Debian source for $1 (is deb-src set up?)" >&2; return 1; }
    echo "$best"
}

# cmake_build SOURCE_DIR [options...]: configure, build and install with the cross toolchain.
cmake_build() {
    local source=$1
    shift
    cmake -S "$source" -B "$build" -G Ninja -Wno-dev \
        -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release \
        -DCMAKE_INSTALL_PREFIX="$prefix" -DBUILD_SHARED_LIBS=OFF "$@"
    cmake --build "$build" -j"$jobs"
    cmake --install "$build"
}

# Each recipe runs in the unpacked source with $build (an empty folder) and $prefix set.

# zlib and minizip (assimp reads zip archives through it), compiled directly: Debian's source
# drops zlib's win32 makefile, and its CMake build names the static library zlibstatic.
recipe_zlib() {
    local cc=$triple-gcc-posix ar=$triple-gcc-ar-posix flags="-O2 -DNDEBUG"
    mkdir -p "$build/z" "$build/minizip" "$prefix/lib/pkgconfig" "$prefix/include/minizip"
    local file
    for file in adler32 compress crc32 deflate gzclose gzlib gzread gzwrite infback inffast \
        inflate inftrees trees uncompr zutil; do
        $cc $flags -c "$file.c" -o "$build/z/$file.o"
    done
    $ar rcs "$prefix/lib/libz.a" "$build"/z/*.o
    cp zlib.h zconf.h "$prefix/include/"
    for file in ioapi unzip zip mztools; do
        $cc $flags -I. -c "contrib/minizip/$file.c" -o "$build/minizip/$file.o"
    done
    $ar rcs "$prefix/lib/libminizip.a" "$build"/minizip/*.o
    cp contrib/minizip/{ioapi,unzip,zip,mztools,crypt}.h "$prefix/include/minizip/"
    local version
    version=$(sed -n 's/^#define ZLIB_VERSION "\(.*\)"/\1/p' zlib.h)
    cat >"$prefix/lib/pkgconfig/zlib.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: zlib
Description: zlib compression library
Version: $version
Libs: -L\${libdir} -lz
Cflags: -I\${includedir}
PC
    cat >"$prefix/lib/pkgconfig/minizip.pc" <<PC
prefix=$prefix
libdir=\${prefix}/lib
includedir=\${prefix}/include
Name: minizip
Description: zip archive reading and writing on top of zlib
Version: $version
Requires.private: zlib
Libs: -L\${libdir} -lminizip -lz
Cflags: -I\${includedir}/minizip
PC
}

recipe_glfw3() {
    cmake_build . -DGLFW_BUILD_EXAMPLES=OFF -DGLFW_BUILD_TESTS=OFF -DGLFW_BUILD_DOCS=OFF \
        -DGLFW_INSTALL=ON
}

# GLEW's CMake build lives in build/cmake; with BUILD_SHARED_LIBS off it installs only the
# static libglew32.a, and its config file makes GLEW::GLEW that one under GLEW_USE_STATIC_LIBS.
recipe_glew() {
    cmake_build build/cmake -DBUILD_UTILS=OFF
}

# Against the cached zlib: without it FreeType compiles its own copy of zlib into ftgzip, whose
# global symbols (crc32_combine_op) clash with libz.a in a program that links both.
recipe_freetype() {
    cmake_build . -DFT_REQUIRE_ZLIB=TRUE -DFT_DISABLE_BZIP2=TRUE -DFT_DISABLE_PNG=TRUE \
        -DFT_DISABLE_HARFBUZZ=TRUE -DFT_DISABLE_BROTLI=TRUE
}

# The OBJ importer alone: the other importers would need more of what Debian's source strips
# (utf8cpp, stb_image, draco). assimp/utf8cpp/utf8.h beside this file stands in for utf8cpp,
# and assimp/draco answers the find_package(draco) that Debian's patches add.
recipe_assimp() {
    cmake_build . -DASSIMP_BUILD_ALL_IMPORTERS_BY_DEFAULT=OFF -DASSIMP_BUILD_OBJ_IMPORTER=ON \
        -DASSIMP_BUILD_ALL_EXPORTERS_BY_DEFAULT=OFF -DASSIMP_NO_EXPORT=ON \
        -DASSIMP_BUILD_TESTS=OFF -DASSIMP_BUILD_ASSIMP_TOOLS=OFF -DASSIMP_BUILD_SAMPLES=OFF \
        -DASSIMP_BUILD_ZLIB=OFF -DASSIMP_BUILD_DRACO=OFF -DASSIMP_WARNINGS_AS_ERRORS=OFF \
        -DASSIMP_INSTALL_PDB=OFF -DASSIMP_DOUBLE_PRECISION=OFF \
        -DCMAKE_CXX_FLAGS="-I$here/assimp/utf8cpp" -Ddraco_DIR="$here/assimp/draco"
    # Its installed config asks for draco again, and names minizip and z bare (as pkg-config
    # gave them), which a consumer's linker would not find: give it both by path.
    mkdir -p "$prefix/lib/cmake/draco"
    cp "$here/assimp/draco/dracoConfig.cmake" "$prefix/lib/cmake/draco/"
    local zlib=$cache/prefix/zlib-${versions[zlib]#*:}/lib targets
    targets=$(echo "$prefix"/lib/cmake/assimp-*/assimpTargets.cmake)
    grep -q ';minizip;z"' "$targets"
    sed -i "s|;minizip;z\"|;$zlib/libminizip.a;$zlib/libz.a\"|" "$targets"
}

recipe_glm() {
    cmake_build . -DBUILD_TESTING=OFF -DGLM_TEST_ENABLE=OFF
}

recipe_googletest() {
    cmake_build . -DBUILD_GMOCK=OFF -DINSTALL_GTEST=ON
}

# WAV is all the game reads, so no FLAC/Vorbis/Opus/MPEG codecs and no programs.
recipe_libsndfile() {
    cmake_build . -DENABLE_EXTERNAL_LIBS=OFF -DENABLE_MPEG=OFF -DBUILD_PROGRAMS=OFF \
        -DBUILD_EXAMPLES=OFF -DBUILD_TESTING=OFF -DBUILD_REGTEST=OFF -DENABLE_CPACK=OFF \
        -DINSTALL_MANPAGES=OFF -DENABLE_PACKAGE_CONFIG=ON -DINSTALL_PKGCONFIG_MODULE=ON
}

# Debian's SOIL source (libsoil) is not served by the archive this machine reaches, so the
# Windows build has its own SOIL: soil/ beside this file, PNG and BMP decoding on zlib.
recipe_soil() {
    cmake_build .
}

# Nor is openal-soft's, so openal/ beside this file is the Windows build's OpenAL: the calls the
# game makes, mixed on a thread of its own and played through WinMM (or the null and wave
# drivers that ALSOFT_DRIVERS names). Consumers link winmm.
recipe_openal() {
    cmake_build .
}

# What a prefix must match to be reused: the version, the recipe (with the helpers it reads
# and the toolchain), and the stamps of the prefixes it was built against.
stamp_for() {
    local name=$1 version=$2 dep
    echo "$name $version"
    {
        declare -f "recipe_$name" cmake_build
        grep -v '^#' "$toolchain" # its comments do not change a build
        [ "$name" != assimp ] || cat "$here"/assimp/*/*
        [ -z "${standin[$name]:-}" ] ||
            find "${standin[$name]}" -type f -print0 | LC_ALL=C sort -z | xargs -0 cat
    } | sha256sum | cut -d' ' -f1
    for dep in ${needs[$name]:-}; do
        cat "$cache/prefix/$dep-${versions[$dep]#*:}/.complete"
    done
}

declare -A versions
build_one() {
    local name=$1 version stamp start
    if [ -n "${standin[$name]:-}" ]; then
        version=standin
    else
        version=$(debian_version "$name")
    fi
    versions[$name]=$version
    prefix=$cache/prefix/$name-${version#*:}
    stamp=$(stamp_for "$name" "$version")
    if [ -f "$prefix/.complete" ] && [ "$(cat "$prefix/.complete")" = "$stamp" ]; then
        echo "windows deps: $name $version cached"
        return
    fi
    start=$(date +%s)
    local work=$cache/work/$name log=$cache/work/$name.log
    rm -rf "$work" "$prefix"
    mkdir -p "$work"
    build=$work/build
    mkdir -p "$build"
    # In the background so that errexit holds inside (a tested subshell would ignore it).
    (
        set -e
        if [ -n "${standin[$name]:-}" ]; then
            cp -r "${standin[$name]}" "$work/source"
        else
            cd "$cache/src"
            apt-get source --download-only -qq "$name=$version"
            dpkg-source -q -x "$cache/src/${name}_${version#*:}.dsc" "$work/source"
        fi
        cd "$work/source"
        "recipe_$name"
    ) >"$log" 2>&1 &
    if ! wait $!; then
        echo "windows deps: $name $version FAILED, last lines of $log:" >&2
        tail -n 30 "$log" >&2
        exit 1
    fi
    echo "$stamp" >"$prefix/.complete"
    # Other versions of the same library would be searched too. The sources stay in src/.
    local old
    for old in "$cache/prefix/$name"-*; do
        [ "$old" != "$prefix" ] || continue
        if [ ! -f "$old/.complete" ] || [ "$(head -n1 "$old/.complete" | cut -d' ' -f1)" = "$name" ]; then
            rm -rf "$old"
        fi
    done
    rm -rf "$work" "$log"
    echo "windows deps: $name $version built in $(($(date +%s) - start)) s"
}

for name in "${libraries[@]}"; do
    build_one "$name"
done
