# Writes the Debian symbols file of the library from its linker version script, so that the
# two cannot drift: every exported name with the package version that first had it, which
# the "# since VERSION" line above the name in the script gives.
#   cmake -DMAP=<version script> -DSONAME=<soname> -DPACKAGE=<runtime package>
#         -DDEV_PACKAGE=<development package> -DOUTPUT=<symbols file> -P WriteSymbols.cmake

file(STRINGS ${MAP} lines)
set(version)
set(entries)
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^# since ([0-9][0-9A-Za-z.+~-]*)$")
    set(version ${CMAKE_MATCH_1})
  elseif(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*);")
    if(NOT version)
      message(FATAL_ERROR "${MAP}: ${CMAKE_MATCH_1} has no \"# since VERSION\" line above it")
    endif()
    list(APPEND entries "${CMAKE_MATCH_1}@Base ${version}")
  endif()
endforeach()
if(NOT entries)
  message(FATAL_ERROR "${MAP} exports nothing")
endif()
list(SORT entries)

set(text "${SONAME} ${PACKAGE} #MINVER#\n* Build-Depends-Package: ${DEV_PACKAGE}\n")
foreach(entry IN LISTS entries)
  string(APPEND text " ${entry}\n")
endforeach()
# Rewritten only when it changes, so that what depends on it is not redone for nothing.
file(WRITE ${OUTPUT}.new "${text}")
file(COPY_FILE ${OUTPUT}.new ${OUTPUT} ONLY_IF_DIFFERENT)
file(REMOVE ${OUTPUT}.new)
