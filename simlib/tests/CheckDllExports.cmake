# Checks that a DLL exports exactly the names of the library's linker version script, the one
# list that both the .so and the .dll export from: the DLL's export table as objdump reads
# it (PE/COFF export directory, "[Ordinal/Name Pointer] Table") against the script's names.
#   cmake -DOBJDUMP=<objdump> -DDLL=<dll> -DMAP=<version script> -DCOUNT=<names> -P ...

execute_process(COMMAND ${OBJDUMP} -p ${DLL} OUTPUT_VARIABLE dump RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${OBJDUMP} -p ${DLL} failed: ${status}")
endif()
# The table's lines read "[   4] QLADN_SelectFile"; the table ends at the first blank line.
string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table\n([^\n]+\n)+" table "${dump}")
string(REPLACE "\n" ";" tableLines "${table}")
set(exported)
foreach(line IN LISTS tableLines)
  if(line MATCHES "^[ \t]*\\[ *[0-9]+\\] ([^ ]+)$")
    list(APPEND exported ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT exported)

file(STRINGS ${MAP} lines)
set(listed)
foreach(line IN LISTS lines)
  string(STRIP "${line}" line)
  if(line MATCHES "^([A-Za-z_][A-Za-z0-9_]*);")
    list(APPEND listed ${CMAKE_MATCH_1})
  endif()
endforeach()
list(SORT listed)

list(LENGTH listed listedCount)
if(NOT listedCount EQUAL COUNT)
  message(FATAL_ERROR "${MAP} lists ${listedCount} names, the interface has ${COUNT}")
endif()
if(NOT exported STREQUAL listed)
  message(FATAL_ERROR "${DLL} exports\n  ${exported}\nbut the interface is\n  ${listed}")
endif()
message(STATUS "${DLL}: the ${listedCount} exports of the interface, undecorated, and no other")
