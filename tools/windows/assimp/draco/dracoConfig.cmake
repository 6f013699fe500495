# Debian's assimp source asks for draco unconditionally (it links the system libdraco), but only
# the glTF importer uses it, and the Windows build has only the OBJ importer: nothing to link.
set(draco_FOUND TRUE)
set(DRACO_LIBRARIES "")
