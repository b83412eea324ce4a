# tarvik_add_test(<name> SOURCES <files...> [LIBRARIES <targets...>]
#                 [ENVIRONMENT <VAR=value...>] [LABELS <labels...>])
# Builds one GoogleTest executable and registers its tests with CTest. Tests are
# discovered when CTest runs, so nothing executes at build time.
include(GoogleTest)
if(WIN32 AND CMAKE_CROSSCOMPILING)
  # No GoogleTest is packaged for mingw-w64: build it from the sources libgtest-dev ships.
  set(gtest_force_shared_crt ON CACHE BOOL "" FORCE)
  set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
  add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL SYSTEM)
  # Its own CMake files define the GTest:: aliases the tests link.
else()
  find_package(GTest REQUIRED)
endif()

function(tarvik_add_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;ENVIRONMENT;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} GTest::gtest GTest::gmock GTest::gtest_main)
  set(properties LABELS "${ARG_LABELS}")
  if(ARG_ENVIRONMENT)
    list(APPEND properties ENVIRONMENT "${ARG_ENVIRONMENT}")
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES ${properties})
endfunction()

# tarvik_add_gui_test(<name> SOURCES <files...> [LIBRARIES <targets...>]
#                     [ENVIRONMENT <VAR=value...>] [LABELS <labels...>])
# A test of Qt windows: its main creates the QApplication, it links the shell's test
# support (scripted prompts, test folders), and it runs on the offscreen platform.
function(tarvik_add_gui_test name)
  if(NOT BUILD_TESTING)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES;ENVIRONMENT;LABELS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} tarvik_shell_testing GTest::gtest
                                        GTest::gmock)
  set(labels gui ${ARG_LABELS})
  if(WIN32)
    # Qt is linked statically there: the offscreen platform goes into the test program.
    qt_import_plugins(${name} INCLUDE Qt6::QOffscreenIntegrationPlugin)
    # The Windows stage runs the editor's window tests as a group of their own.
    list(APPEND labels editor)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 30
    PROPERTIES
      LABELS "${labels}"
      ENVIRONMENT "QT_QPA_PLATFORM=offscreen;${ARG_ENVIRONMENT}")
endfunction()
