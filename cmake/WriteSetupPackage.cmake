# Writes the package tree of an installer for Windows and appends it to setup.exe (see
# tarvik_add_setup_package in TarvikSetupPackage.cmake for the layout):
#   cmake -DWORK=... -DFILES=... -DPRODUCT=... -DPROJECT_VERSION=... -DINSTALLER=... -DSTUB=...
#         -DMKPACKAGE=... -DOUTPUT=... [-DSTRIP=...] -P WriteSetupPackage.cmake
# With STRIP (the toolchain's strip), the programs and DLLs go without their debugging
# symbols, as an install does it.
set(package ${WORK}/tree)
file(REMOVE_RECURSE ${package})
file(MAKE_DIRECTORY ${package}/setup ${package}/files)

# The files, and the list's [files] section with Windows' backslashes and line ends.
file(STRINGS ${FILES} entries)
set(programs "")
set(listed "[files]\r\n")
foreach(entry IN LISTS entries)
  string(REGEX MATCH "^([^\t]+)\t(.+)$" matched "${entry}")
  set(source ${CMAKE_MATCH_1})
  set(name ${CMAKE_MATCH_2})
  get_filename_component(folder ${package}/files/${name} DIRECTORY)
  file(MAKE_DIRECTORY ${folder})
  file(COPY_FILE ${source} ${package}/files/${name})
  list(APPEND programs ${package}/files/${name})
  string(REPLACE "/" "\\" name "${name}")
  string(APPEND listed "${name}\r\n")
endforeach()

configure_file(${PRODUCT} ${package}/setup/install.ini @ONLY NEWLINE_STYLE CRLF)
file(APPEND ${package}/setup/install.ini "${listed}")
file(COPY_FILE ${INSTALLER} ${package}/setup/install.exe)
file(COPY_FILE ${STUB} ${WORK}/setup.exe)
list(APPEND programs ${package}/setup/install.exe ${WORK}/setup.exe)
if(STRIP)
  foreach(program IN LISTS programs)
    if(program MATCHES "\\.(exe|dll)$")
      execute_process(COMMAND ${STRIP} --strip-debug ${program} COMMAND_ERROR_IS_FATAL ANY)
    endif()
  endforeach()
endif()
# setup shows its start window only with a [bitmap] section; without a Start_Bitmap key it
# has no picture to show and shows none.
file(WRITE ${package}/setup/setup.ini "[bitmap]\r\n[startup]\r\n1=install.exe\r\n")

execute_process(COMMAND ${MKPACKAGE} ${WORK}/setup.exe ${package} ${OUTPUT}
                RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "mkpackage could not make ${OUTPUT} (status ${status})")
endif()
