# Installs the build tree into a fresh prefix and checks the layout a desktop relies on:
# the programs in bin/ with their manual pages, the helpers that only programs start in
# lib/tarvik, the card library in LIBDIR (found through the programs' run path) with its
# headers and pkg-config file, the program's own files in share/tarvik, the desktop entry and
# its icons, and the type of program files.
#   cmake -DBUILD_DIR=<build tree> -DPREFIX=<scratch folder> -DLIBDIR=<library folder>
#         -P InstallLayout.cmake

file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX}
                RESULT_VARIABLE result OUTPUT_QUIET)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "cmake --install failed: ${result}")
endif()

set(expected
  bin/tarvik
  bin/tarvik-cli
  bin/mkpackage
  bin/simcard
  bin/simcard-session
  bin/gsmmodem
  lib/tarvik/setup
  lib/tarvik/simcard-stack
  ${LIBDIR}/libquenlib.so
  ${LIBDIR}/libquenlib.so.1
  ${LIBDIR}/pkgconfig/quenlib.pc
  include/quenlib.h
  include/quenlib_case.h
  share/applications/tarvik.desktop
  share/mime/packages/tarvik.xml
  share/icons/hicolor/48x48/mimetypes/application-x-tarvik-program.png
  share/icons/hicolor/256x256/mimetypes/application-x-tarvik-program.png
  share/bash-completion/completions/tarvik-cli
  share/icons/hicolor/48x48/apps/tarvik.png
  share/icons/hicolor/256x256/apps/tarvik.png
  share/tarvik/tarvik3.dat
  share/tarvik/LAN_Italiano.ini
  share/tarvik/LAN_Deutsch.ini)
foreach(language English Italiano Deutsch)
  foreach(model LX5 TQ4+ BARRIER)
    list(APPEND expected share/tarvik/${model}_Man_${language}.pdf)
  endforeach()
endforeach()
foreach(program tarvik tarvik-cli mkpackage simcard simcard-session gsmmodem)
  list(APPEND expected share/man/man1/${program}.1.gz)
endforeach()
foreach(package tarvik libquenlib1 libquenlib-dev tarvik-tools)
  list(APPEND expected share/doc/${package}/copyright share/doc/${package}/changelog.gz)
endforeach()
foreach(file ${expected})
  if(NOT EXISTS ${PREFIX}/${file})
    message(FATAL_ERROR "not installed: ${file}")
  endif()
endforeach()

# The command-line program needs the card library at load time: it must start from the
# installed tree without any library path set.
execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=LD_LIBRARY_PATH ${PREFIX}/bin/tarvik-cli --help
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "installed tarvik-cli does not start: ${errors}")
endif()

# pkg-config's file names the prefix that was installed into.
file(STRINGS ${PREFIX}/${LIBDIR}/pkgconfig/quenlib.pc pc_prefix REGEX "^prefix=")
if(NOT pc_prefix STREQUAL "prefix=${PREFIX}")
  message(FATAL_ERROR "quenlib.pc names another prefix: ${pc_prefix}")
endif()

file(READ ${PREFIX}/share/applications/tarvik.desktop entry)
foreach(line "Exec=tarvik %f" "Icon=tarvik" "Type=Application"
        "MimeType=application/x-tarvik-program;")
  string(FIND "${entry}" "${line}" at)
  if(at LESS 0)
    message(FATAL_ERROR "desktop entry lacks ${line}")
  endif()
endforeach()

# The type database built from the installed package file, as a desktop builds it, names
# program files by their suffix.
execute_process(COMMAND update-mime-database ${PREFIX}/share/mime
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "update-mime-database failed: ${errors}")
endif()
file(STRINGS ${PREFIX}/share/mime/globs2 globs REGEX "application/x-tarvik-program")
if(NOT globs MATCHES "application/x-tarvik-program:\\*\\.sim")
  message(FATAL_ERROR "the type database lacks *.sim: ${globs}")
endif()
file(REMOVE_RECURSE ${PREFIX})
