# tarvik_add_card_test(<name> SOURCES <files...> [LIBRARIES <targets...>]
#                      [ENVIRONMENT <VAR=value...>] [LABELS <labels...>])
# A test executable whose tests use simcard::VirtualCard through the real PC/SC stack.
# Like tarvik_add_test, and also:
#  - links simcard_fixture (which knows where the simcard program is) and builds simcard
#    and simcard-stack with it;
#  - makes every discovered test require the CTest fixture "simcard_stack", whose setup
#    starts a pcscd with vpcd readers when none runs and whose cleanup stops it by pid;
#  - labels the tests "card".
# Several card tests may run at once (ctest -j): each VirtualCard leases a reader slot of
# its own through a lock file, so no two tests share a reader.

if(BUILD_TESTING)
  add_test(NAME simcard_stack_start COMMAND simcard-stack start)
  add_test(NAME simcard_stack_stop COMMAND simcard-stack stop)
  set_tests_properties(simcard_stack_start PROPERTIES FIXTURES_SETUP simcard_stack LABELS card)
  set_tests_properties(simcard_stack_stop PROPERTIES FIXTURES_CLEANUP simcard_stack LABELS card)
endif()

function(tarvik_add_card_test name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;ENVIRONMENT;LABELS" ${ARGN})
  tarvik_add_test(${name}
    SOURCES ${ARG_SOURCES}
    LIBRARIES simcard_fixture ${ARG_LIBRARIES}
    ENVIRONMENT ${ARG_ENVIRONMENT}
    LABELS card ${ARG_LABELS})
  if(NOT BUILD_TESTING)
    return()
  endif()
  tarvik_require_card_stack(${name})
endfunction()

# tarvik_require_card_stack(<test executable>)
# What tarvik_add_card_test adds to a test executable registered another way (a GUI test,
# say): simcard and simcard-stack built with it, and its discovered tests requiring the
# fixture "simcard_stack". The executable must link simcard_fixture; give it the label
# "card" where it is registered.
function(tarvik_require_card_stack name)
  add_dependencies(${name} simcard simcard-stack)
  # Tests are discovered when CTest runs, so the fixture requirement is added by a script
  # that CTest reads after the discovered tests (which it lists in ${name}_TESTS).
  set(script "${CMAKE_CURRENT_BINARY_DIR}/${name}_card_fixture.cmake")
  file(WRITE "${script}"
    "if(${name}_TESTS)\n"
    "  set_tests_properties(\${${name}_TESTS} PROPERTIES FIXTURES_REQUIRED simcard_stack)\n"
    "endif()\n")
  set_property(DIRECTORY APPEND PROPERTY TEST_INCLUDE_FILES "${script}")
endfunction()
