# tarvik_add_setup_package(<target> OUTPUT <file.exe> PRODUCT <list.ini> FILES <source=name>...)
# Makes an installer for Windows at build time: setup.exe with a package, appended by the
# Linux mkpackage (TARVIK_LINUX_MKPACKAGE), that holds
#   setup\setup.ini   which runs setup\install.exe;
#   setup\install.exe the installer program (target tarvik_installer);
#   setup\install.ini PRODUCT (its @PROJECT_VERSION@ filled in) followed by a [files] section
#                     that lists every file below;
#   files\<name>      each file: a source path (generator expressions allowed), "=", and its
#                     name in the install folder (subfolders with "/").
# When the Linux mkpackage is not built, the target is not made and configuring says so.
set(TARVIK_LINUX_MKPACKAGE ${PROJECT_SOURCE_DIR}/build/dev/tools/mkpackage/mkpackage
    CACHE FILEPATH "The Linux mkpackage that appends packages to setup.exe")

function(tarvik_add_setup_package target)
  cmake_parse_arguments(ARG "" "OUTPUT;PRODUCT" "FILES" ${ARGN})
  if(NOT EXISTS ${TARVIK_LINUX_MKPACKAGE})
    message(STATUS "${target} is not made: no Linux mkpackage at ${TARVIK_LINUX_MKPACKAGE} "
                   "(cmake --preset dev && cmake --build build/dev --target mkpackage)")
    return()
  endif()
  set(work ${CMAKE_CURRENT_BINARY_DIR}/${target}.package)
  set(lines "")
  set(sources "")
  foreach(item IN LISTS ARG_FILES)
    if(NOT item MATCHES "^(.+)=([^=]+)$")
      message(FATAL_ERROR "${target}: '${item}' is not source=name")
    endif()
    string(APPEND lines "${CMAKE_MATCH_1}\t${CMAKE_MATCH_2}\n")
    list(APPEND sources ${CMAKE_MATCH_1})
  endforeach()
  file(GENERATE OUTPUT ${work}/files.txt CONTENT "${lines}")
  add_custom_command(
    OUTPUT ${ARG_OUTPUT}
    COMMAND ${CMAKE_COMMAND} -DWORK=${work} -DFILES=${work}/files.txt
            -DPRODUCT=${ARG_PRODUCT} -DPROJECT_VERSION=${PROJECT_VERSION}
            -DINSTALLER=$<TARGET_FILE:tarvik_installer> -DSTUB=$<TARGET_FILE:setup>
            -DMKPACKAGE=${TARVIK_LINUX_MKPACKAGE} -DOUTPUT=${ARG_OUTPUT} -DSTRIP=${CMAKE_STRIP}
            -P ${PROJECT_SOURCE_DIR}/cmake/WriteSetupPackage.cmake
    DEPENDS tarvik_installer setup ${TARVIK_LINUX_MKPACKAGE} ${ARG_PRODUCT} ${sources}
            ${work}/files.txt ${PROJECT_SOURCE_DIR}/cmake/WriteSetupPackage.cmake
    COMMENT "Making ${ARG_OUTPUT}"
    VERBATIM)
  add_custom_target(${target} ALL DEPENDS ${ARG_OUTPUT})
endfunction()
