# tarvik_add_man_page(<program target> <install component (package)>
#                     "<what the program is, for the NAME line>")
# Writes the program's section-1 manual page at build time from its own --help and --version
# output (help2man), so that the page cannot drift from the program, and installs it with the
# program, in the same component (the same Debian package).
find_program(HELP2MAN_EXECUTABLE help2man REQUIRED)

function(tarvik_add_man_page target component description)
  set(page ${PROJECT_BINARY_DIR}/man/${target}.1.gz)
  set(script ${PROJECT_SOURCE_DIR}/cmake/WriteManPage.cmake)
  add_custom_command(OUTPUT ${page}
    COMMAND ${CMAKE_COMMAND} -DPROGRAM=$<TARGET_FILE:${target}> -DDESCRIPTION=${description}
            -DVERSION=${PROJECT_VERSION} -DHELP2MAN=${HELP2MAN_EXECUTABLE} -DOUTPUT=${page}
            -P ${script}
    DEPENDS ${target} ${script}
    COMMENT "Writing the manual page ${target}.1"
    VERBATIM)
  add_custom_target(${target}_man_page ALL DEPENDS ${page})
  install(FILES ${page} DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT ${component})
endfunction()
