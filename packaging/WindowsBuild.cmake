# The Windows build, cross-compiled with MinGW-w64 (tools/windows/mingw-w64.cmake, libraries
# from tools/windows/deps.sh): the files that differ from Linux, and every library linked
# statically, the C and C++ runtimes included, so that the .exe needs no DLL beyond Windows'
# own. Included before the libraries are looked up.
set(GLEW_USE_STATIC_LIBS ON)
add_compile_definitions(AL_LIBTYPE_STATIC)
add_link_options(-static)

set(PLATFORM_RULES_SOURCES app/ScoreFilesWindows.cpp)
set(PLATFORM_RULES_LIBRARIES shell32 ole32) # the known folders and their memory
set(PLATFORM_GL_SOURCES app/FatalWindows.cpp audio/QuietLogsWindows.cpp)
# FreeType and SOIL are built against the cached zlib, which their targets do not name; the
# sound library plays through WinMM.
find_package(ZLIB REQUIRED)
set(PLATFORM_GL_LIBRARIES ZLIB::ZLIB winmm)
set(PLATFORM_TEST_SOURCES tests/platform/TestPlatformWindows.cpp)
