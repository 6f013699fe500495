# CMake toolchain for the 64-bit Windows build, cross-compiled with MinGW-w64 on Debian:
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=tools/windows/mingw-w64.cmake
# The libraries come from tools/windows/deps.sh, which cross-builds Debian's sources of them as
# static libraries into the cache named below (one prefix per library and Debian version).
#
# What a static consumer needs, per library (everything is a static archive; link with -static):
#   glfw3     find_package(glfw3) -> target glfw; its target carries no system libraries: link
#             opengl32 and gdi32 (gdi32, user32, kernel32, shell32 are MinGW g++'s defaults).
#   GLEW      set(GLEW_USE_STATIC_LIBS ON) before find_package(GLEW); target GLEW::GLEW carries
#             GLEW_STATIC, opengl32 and glu32; with ${GLEW_LIBRARIES} (the bare libglew32.a)
#             define GLEW_STATIC and link opengl32 yourself.
#   assimp    find_package(assimp) -> assimp::assimp; OBJ importer only, no exporters. Its
#             target links the cached zlib/minizip (libz.a, libminizip.a) itself.
#   Freetype  find_package(Freetype) -> Freetype::Freetype (CMake's FindFreetype: the bare
#             libfreetype.a); link ZLIB::ZLIB (find_package(ZLIB): the cached libz.a) after it.
#             No png, bzip2, brotli or harfbuzz.
#   glm       find_package(glm) -> glm::glm (headers only).
#   GTest     find_package(GTest) -> GTest::gtest, GTest::gtest_main (gtest uses Win32 threads).
#   SOIL      find_path(SOIL_INCLUDE_DIR SOIL/SOIL.h), find_library(SOIL_LIBRARY SOIL), then
#             ZLIB::ZLIB. The project's own stand-in (tools/windows/soil): SOIL_load_image,
#             SOIL_free_image_data, SOIL_last_result for PNG and BMP; no texture upload calls.
#   sndfile   pkg_check_modules(SNDFILE REQUIRED sndfile): use SNDFILE_LINK_LIBRARIES (full
#             path of libsndfile.a) and SNDFILE_INCLUDE_DIRS; no external codecs, nothing more.
#   OpenAL    find_package(OpenAL) -> OpenAL::OpenAL, static: link winmm. The project's own
#             stand-in (tools/windows/openal), since Debian's openal-soft tarball cannot be
#             fetched here: the calls the game makes, WinMM, null and wave outputs chosen by
#             ALSOFT_DRIVERS as OpenAL Soft does.
# -static links libstdc++, libgcc and winpthread in; the .exe then imports only Windows' own
# DLLs (KERNEL32, USER32, GDI32, OPENGL32, SHELL32, ole32, WINMM, msvcrt).
# Under Wine, tests run through CMAKE_CROSSCOMPILING_EMULATOR (ctest, gtest_discover_tests).
# Without wine32 installed, Debian's wine wrapper prints a hint unless WINEDEBUG has -all.

set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(ZELTO_MINGW_TRIPLE x86_64-w64-mingw32)

# The -posix variants: std::thread, std::mutex and friends need the winpthread threading model.
set(CMAKE_C_COMPILER ${ZELTO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ZELTO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ZELTO_MINGW_TRIPLE}-windres)
set(CMAKE_AR ${ZELTO_MINGW_TRIPLE}-gcc-ar-posix CACHE FILEPATH "")
set(CMAKE_RANLIB ${ZELTO_MINGW_TRIPLE}-gcc-ranlib-posix CACHE FILEPATH "")

# Same rule as deps.sh: ZELTO_WINDOWS_CACHE, else XDG_CACHE_HOME, else ~/.cache.
if(DEFINED ENV{ZELTO_WINDOWS_CACHE} AND NOT "$ENV{ZELTO_WINDOWS_CACHE}" STREQUAL "")
    set(ZELTO_WINDOWS_CACHE "$ENV{ZELTO_WINDOWS_CACHE}")
elseif(DEFINED ENV{XDG_CACHE_HOME} AND NOT "$ENV{XDG_CACHE_HOME}" STREQUAL "")
    set(ZELTO_WINDOWS_CACHE "$ENV{XDG_CACHE_HOME}/repair-zelto-windows")
else()
    set(ZELTO_WINDOWS_CACHE "$ENV{HOME}/.cache/repair-zelto-windows")
endif()

# Only prefixes whose build finished carry the stamp; a half-built one is never searched.
file(GLOB _zelto_stamps "${ZELTO_WINDOWS_CACHE}/prefix/*/.complete")
set(ZELTO_WINDOWS_PREFIXES "")
foreach(_stamp IN LISTS _zelto_stamps)
    get_filename_component(_prefix "${_stamp}" DIRECTORY)
    list(APPEND ZELTO_WINDOWS_PREFIXES "${_prefix}")
endforeach()

set(CMAKE_FIND_ROOT_PATH ${ZELTO_WINDOWS_PREFIXES} /usr/${ZELTO_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Static archives first, so a stray import library (.dll.a) is never preferred.
set(CMAKE_FIND_LIBRARY_SUFFIXES .a .lib .dll.a)

# pkg-config sees the cross libraries only: their .pc files hold absolute paths already.
set(_zelto_pc "")
foreach(_prefix IN LISTS ZELTO_WINDOWS_PREFIXES)
    foreach(_dir lib/pkgconfig share/pkgconfig)
        if(IS_DIRECTORY "${_prefix}/${_dir}")
            list(APPEND _zelto_pc "${_prefix}/${_dir}")
        endif()
    endforeach()
endforeach()
string(REPLACE ";" ":" _zelto_pc "${_zelto_pc}")
set(ENV{PKG_CONFIG_LIBDIR} "${_zelto_pc}")
set(ENV{PKG_CONFIG_PATH} "")
set(ENV{PKG_CONFIG_SYSROOT_DIR} "")

# Debian's wine wrapper runs wine64 for a 64-bit .exe when wine32 is not installed, and wine32
# hands a 64-bit .exe on to wine64 when it is.
set(CMAKE_CROSSCOMPILING_EMULATOR /usr/bin/wine)
