# Run by CPack on its staging tree before it makes the Debian package. Debian keeps the
# programs of games in /usr/games, so the launcher's folder (it holds nothing else) becomes
# that one; the launcher finds the game from either, both lying one level under the prefix.
set(usr "${CPACK_TEMPORARY_INSTALL_DIRECTORY}${CPACK_PACKAGING_INSTALL_PREFIX}")
file(RENAME "${usr}/bin" "${usr}/games")
