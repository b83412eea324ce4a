# Run by cpack on its staging folder before it packs it: what only the Debian package needs.

# Installed into a prefix of their own, the programs find libquenlib through their run path
# ($ORIGIN/../lib); in the package the library lies in /usr/lib, where the dynamic linker
# looks anyway, and Debian allows no run path that is not needed. So every ELF file in the
# staging folder loses its run path.
file(GLOB_RECURSE files LIST_DIRECTORIES false "${CPACK_TEMPORARY_INSTALL_DIRECTORY}/*")
foreach(file IN LISTS files)
  if(IS_SYMLINK ${file})
    continue()
  endif()
  file(READ ${file} magic LIMIT 4 HEX)
  if(magic STREQUAL "7f454c46")
    file(RPATH_REMOVE FILE ${file})
  endif()
endforeach()

# lintian's overrides for this package, with the reason of each.
set(lintian ${CPACK_TEMPORARY_INSTALL_DIRECTORY}/usr/share/lintian)
file(MAKE_DIRECTORY ${lintian}/overrides)
file(CHMOD ${lintian} ${lintian}/overrides DIRECTORY_PERMISSIONS
     OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE WORLD_READ WORLD_EXECUTE)
file(COPY_FILE ${CPACK_TARVIK_LINTIAN_OVERRIDES} ${lintian}/overrides/tarvik)
file(CHMOD ${lintian}/overrides/tarvik PERMISSIONS OWNER_READ OWNER_WRITE GROUP_READ WORLD_READ)
