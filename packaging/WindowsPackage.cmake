# The Windows package: `cpack -G ZIP` in the cross build folder makes
# repair-zelto-VERSION-windows-x86_64.zip, one folder of that name holding
#   bin/repair_zelto.exe   the game, with its icon, manifest and version resource
#   Shader/, External/     the GLSL stages and the generated assets, beside bin/: the game,
#                          started in bin/, opens "../Shader/" and "../External/"
#   README.txt             how to start it, the controls, where the best score lives
#   licences/              the Debian copyright files of the fonts the generator copies
# Included by CMakeLists.txt for WIN32 only, as Install.cmake is for Linux only.

include(${CMAKE_CURRENT_LIST_DIR}/Version.cmake) # ZELTO_VERSION
set(windows ${CMAKE_CURRENT_LIST_DIR}/windows)
set(staged ${CMAKE_BINARY_DIR}/packaging)

# VERSIONINFO and the manifest want four numbers: "0.1.0" is 0,1,0,0.
string(REPLACE "." ";" parts "${ZELTO_VERSION}")
list(APPEND parts 0 0 0 0)
list(SUBLIST parts 0 4 parts)
list(JOIN parts "," ZELTO_RC_VERSION)
list(JOIN parts "." ZELTO_RC_VERSION_DOTS)

# The icon is generated with the other assets; its stamp (written last) orders the two.
set(ZELTO_RC_ICON ${CMAKE_SOURCE_DIR}/External/Icons/repair-zelto.ico)
set(ZELTO_RC_MANIFEST ${staged}/repair_zelto.manifest)
configure_file(${windows}/repair_zelto.manifest.in ${ZELTO_RC_MANIFEST} @ONLY)
configure_file(${windows}/repair_zelto.rc.in ${staged}/repair_zelto.rc @ONLY)
enable_language(RC)
target_sources(repair_zelto PRIVATE ${staged}/repair_zelto.rc)
set_source_files_properties(${staged}/repair_zelto.rc PROPERTIES
    OBJECT_DEPENDS "${ASSET_STAMP};${ZELTO_RC_MANIFEST}")

# Windows' Notepad before 2018 shows LF-only text as one line.
configure_file(${windows}/README.txt.in ${staged}/README.txt @ONLY NEWLINE_STYLE CRLF)
# The font licences: the copyright files of the font packages the generator reads from.
file(STRINGS ${CMAKE_SOURCE_DIR}/tools/asset-packages.txt font_packages REGEX "^fonts-")
set(licences "")
foreach(package IN LISTS font_packages)
    set(source /usr/share/doc/${package}/copyright)
    if(NOT EXISTS ${source})
        message(FATAL_ERROR "${source} is missing: install the Debian package ${package}")
    endif()
    file(READ ${source} text)
    string(REPLACE "\r\n" "\n" text "${text}")
    string(REPLACE "\n" "\r\n" text "${text}")
    file(WRITE ${staged}/licences/${package}.txt "${text}")
    list(APPEND licences ${staged}/licences/${package}.txt)
endforeach()

install(TARGETS repair_zelto RUNTIME DESTINATION bin)
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Shader DESTINATION .)
# The build's stamp is no asset; a generator run's temporaries are never packed.
install(DIRECTORY ${CMAKE_SOURCE_DIR}/External DESTINATION .
    PATTERN manifest.txt EXCLUDE PATTERN ".*.tmp" EXCLUDE)
install(FILES ${staged}/README.txt DESTINATION .)
install(FILES ${licences} DESTINATION licences)

set(CPACK_PACKAGE_NAME repair-zelto)
set(CPACK_PACKAGE_VERSION ${ZELTO_VERSION})
set(CPACK_PACKAGE_VENDOR "The Repair Zelto developers")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "robot arcade game on a spinning ring in space")
set(CPACK_PACKAGE_FILE_NAME repair-zelto-${ZELTO_VERSION}-windows-x86_64)
set(CPACK_GENERATOR ZIP)
set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY ON) # one folder in the zip, named as the zip
set(CPACK_STRIP_FILES ON)
include(CPack)
