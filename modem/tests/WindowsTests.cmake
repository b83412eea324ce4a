# The modem library on a COM port under wine (included from CMakeLists.txt on Windows): the
# test runs through wine-modem-run, which links COM5 of the prefix to the Linux gsmmodem's
# pseudo-terminal for each run. The Linux build's gsmmodem (build/dev) unless GSMMODEM_PROGRAM
# names another.
set(GSMMODEM_PROGRAM ${PROJECT_SOURCE_DIR}/build/dev/tools/gsmmodem/gsmmodem CACHE FILEPATH
    "The Linux gsmmodem that the Windows modem tests reach through a COM port")

# A target takes its emulator from this variable when it is made, and the tests discovered in
# it take the target's.
set(wine_run ${CMAKE_CROSSCOMPILING_EMULATOR})
set(CMAKE_CROSSCOMPILING_EMULATOR
    ${PROJECT_SOURCE_DIR}/scripts/wine-modem-run ${GSMMODEM_PROGRAM} --reply "OK TL1" --)
tarvik_add_test(tarvik_modem_com_link_tests
  SOURCES platform/win32/ComLinkTest.cpp
  LIBRARIES tarvik_modem tarvik_testing
  LABELS modem)
set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_run})
