# Install layout and the Debian package.
#
# Under the prefix: bin/repair-zelto (a launcher script), the game binary in lib/repair-zelto
# (no ELF file under share/), its shaders and generated assets in share/repair-zelto, a desktop
# entry, AppStream metadata, a 256 px icon, a manual page, and the Debian copyright and
# changelog files. The launcher finds the prefix from its own place, so
# `cmake --install build --prefix DIR` works for any DIR. `cpack -G DEB` packages the same
# tree for /usr, the launcher in /usr/games as Debian keeps games.

# No project domain exists yet: the application id, the screenshots' address and the
# maintainer's address are in the reserved domain example.org until one does.
set(ZELTO_APP_ID "org.example.RepairZelto" CACHE STRING "AppStream and desktop id")
set(ZELTO_SCREENSHOT_URL "https://example.org/repair-zelto/screenshots" CACHE STRING
    "Web folder holding the docs/ screenshots, for the AppStream metadata")
set(ZELTO_MAINTAINER "The Repair Zelto developers <repair-zelto@example.org>" CACHE STRING
    "Package maintainer, name and address")

# Relative to the prefix; the launcher reaches both from bin/.
set(ZELTO_BINARY_DIR lib/repair-zelto)
set(ZELTO_DATA_DIR share/repair-zelto)
set(packaging ${CMAKE_SOURCE_DIR}/packaging)
set(staged ${CMAKE_BINARY_DIR}/packaging)

include(${packaging}/Version.cmake) # ZELTO_VERSION, ZELTO_RELEASE_DATE

configure_file(${packaging}/repair-zelto.in ${staged}/repair-zelto @ONLY)
configure_file(${packaging}/app.desktop.in ${staged}/${ZELTO_APP_ID}.desktop @ONLY)
configure_file(${packaging}/app.metainfo.xml.in ${staged}/${ZELTO_APP_ID}.metainfo.xml @ONLY)
configure_file(${packaging}/changelog.in ${staged}/changelog @ONLY)
configure_file(${packaging}/repair-zelto.6.in ${staged}/repair-zelto.6 @ONLY)
# Debian wants both at gzip's best, without a name or time stamp in the header.
foreach(file changelog repair-zelto.6)
    execute_process(COMMAND gzip -9n -c ${staged}/${file} OUTPUT_FILE ${staged}/${file}.gz)
endforeach()

# Modes as Debian wants them whatever the umask of the build.
set(CMAKE_INSTALL_DEFAULT_DIRECTORY_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE
    GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
set(data_mode FILE_PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)

install(PROGRAMS ${staged}/repair-zelto DESTINATION bin)
install(TARGETS repair_zelto RUNTIME DESTINATION ${ZELTO_BINARY_DIR})
install(DIRECTORY ${CMAKE_SOURCE_DIR}/Shader DESTINATION ${ZELTO_DATA_DIR} ${data_mode})
# The generated assets, less the build's stamp and the icon (installed where desktops look).
install(DIRECTORY ${CMAKE_SOURCE_DIR}/External DESTINATION ${ZELTO_DATA_DIR} ${data_mode}
    PATTERN manifest.txt EXCLUDE PATTERN Icons EXCLUDE PATTERN ".*.tmp" EXCLUDE)
install(FILES ${CMAKE_SOURCE_DIR}/External/Icons/repair-zelto.png
    DESTINATION share/icons/hicolor/256x256/apps RENAME ${ZELTO_APP_ID}.png)
install(FILES ${staged}/${ZELTO_APP_ID}.desktop DESTINATION share/applications)
install(FILES ${staged}/${ZELTO_APP_ID}.metainfo.xml DESTINATION share/metainfo)
install(FILES ${staged}/repair-zelto.6.gz DESTINATION share/man/man6)
install(FILES ${packaging}/copyright ${staged}/changelog.gz DESTINATION share/doc/repair-zelto)

set(CPACK_PACKAGE_NAME repair-zelto)
set(CPACK_PACKAGE_VERSION ${ZELTO_VERSION})
set(CPACK_PACKAGE_VENDOR "The Repair Zelto developers")
set(CPACK_PACKAGE_CONTACT "${ZELTO_MAINTAINER}")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "robot arcade game on a spinning ring in space")
# CPack puts the summary first and indents these lines; an empty line parts paragraphs.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION "Zelto, a little robot, stands on top of the tube of a torus-shaped track
floating in space. The track spins under it and stones travel along the ring
towards it: move Zelto sideways around the tube and jump to dodge them. Three
hits end the game.

The game draws with OpenGL 3.3 core profile: shadows, normal mapping and bloom.")
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION games)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# Dependencies from the shared libraries the binary links (dpkg-shlibdeps).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_STRIP_FILES ON)
set(CPACK_PRE_BUILD_SCRIPTS ${packaging}/DebianLayout.cmake)
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
include(CPack)
