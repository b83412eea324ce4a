# Writes the gzipped section-1 manual page of PROGRAM from its --help and --version output.
#   cmake -DPROGRAM=<path> -DDESCRIPTION=<text> -DVERSION=<fallback> -DHELP2MAN=<path>
#         -DOUTPUT=<page.1.gz> -P WriteManPage.cmake
# The program runs without a display, as a packaging machine has none. A program that does not
# answer --version yet gets VERSION on the page.
set(run ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY ASAN_OPTIONS=detect_leaks=0)

execute_process(COMMAND ${run} ${PROGRAM} --version
                RESULT_VARIABLE result OUTPUT_QUIET ERROR_QUIET)
set(version_option)
if(NOT result EQUAL 0)
  set(version_option --version-string=${VERSION})
endif()

get_filename_component(page ${OUTPUT} NAME_WLE)
set(plain ${OUTPUT}.tmp)
execute_process(COMMAND ${run} ${HELP2MAN} --no-info --section=1 --name=${DESCRIPTION}
                        ${version_option} --output=${plain} ${PROGRAM}
                RESULT_VARIABLE result ERROR_VARIABLE errors)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "help2man could not write ${page}: ${errors}")
endif()
# gzip -n leaves out the name and the time, so that the same page gives the same bytes.
execute_process(COMMAND gzip -9n INPUT_FILE ${plain} OUTPUT_FILE ${OUTPUT} RESULT_VARIABLE result)
file(REMOVE ${plain})
if(NOT result EQUAL 0)
  message(FATAL_ERROR "gzip could not compress ${page}")
endif()
