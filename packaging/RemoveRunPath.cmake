# Removes the run path of one ELF file: cmake -DFILE=<file> -P RemoveRunPath.cmake
file(RPATH_REMOVE FILE ${FILE})
