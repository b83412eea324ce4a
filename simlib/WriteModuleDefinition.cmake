# Writes the DLL's module-definition file from the library's linker version script, so that
# quenlib.dll and libquenlib.so export the same names from one list.
#   cmake -DMAP=<version script> -DLIBRARY=<dll name> -DOUTPUT=<.def file>
#         -P WriteModuleDefinition.cmake

file(STRINGS ${MAP} lines)
set(names)
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*);")
    list(APPEND names ${CMAKE_MATCH_1})
  endif()
endforeach()
if(NOT names)
  message(FATAL_ERROR "${MAP} exports nothing")
endif()

set(text "LIBRARY ${LIBRARY}\nEXPORTS\n")
foreach(name IN LISTS names)
  string(APPEND text "    ${name}\n")
endforeach()
# Rewritten only when it changes, so that the DLL is not relinked for nothing.
file(WRITE ${OUTPUT}.new "${text}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
