# Tests of quenlib.dll under wine (included from CMakeLists.txt on Windows).

# The DLL's export table against the list the Linux library exports.
find_program(MINGW_OBJDUMP NAMES ${CMAKE_CXX_COMPILER_TARGET}-objdump x86_64-w64-mingw32-objdump
             REQUIRED)
add_test(NAME simlib_dll_exports
  COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${MINGW_OBJDUMP} -DDLL=$<TARGET_FILE:quenlib>
          -DMAP=${PROJECT_SOURCE_DIR}/simlib/quenlib.map -DCOUNT=37
          -P ${CMAKE_CURRENT_SOURCE_DIR}/CheckDllExports.cmake)

# Card tests: the programs lie beside the test card service (winscard.dll) and a copy of
# quenlib.dll, and run through wine-card-run, which starts the Linux simcard for each run.
# The Linux build's simcard (build/dev) unless SIMCARD_PROGRAM names another.
set(SIMCARD_PROGRAM ${PROJECT_SOURCE_DIR}/build/dev/tools/simcard/simcard CACHE FILEPATH
    "The Linux simcard that the Windows card tests connect to the test card service")
set(card_test_dir ${CMAKE_BINARY_DIR}/cardtests)
set(card_test_runner ${PROJECT_SOURCE_DIR}/scripts/wine-card-run ${SIMCARD_PROGRAM} --)

function(simlib_card_program name)
  set_target_properties(${name} PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${card_test_dir}
    CROSSCOMPILING_EMULATOR "${card_test_runner}")
  target_link_libraries(${name} PRIVATE quenlib)
  add_dependencies(${name} testpcsc_winscard)
  add_custom_command(TARGET ${name} POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:quenlib> ${card_test_dir}/)
endfunction()

# A target takes its emulator from this variable when it is made, and the tests discovered
# in it take the target's.
set(wine_run ${CMAKE_CROSSCOMPILING_EMULATOR})
set(CMAKE_CROSSCOMPILING_EMULATOR ${card_test_runner})
tarvik_add_test(simlib_card_service_tests
  SOURCES platform/win32/CardServiceTest.cpp
  LABELS card)
set(CMAKE_CROSSCOMPILING_EMULATOR ${wine_run})
simlib_card_program(simlib_card_service_tests)

add_executable(simlib_every_export_from_c platform/win32/EveryExportFromC.c)
target_include_directories(simlib_every_export_from_c PRIVATE ${PROJECT_SOURCE_DIR})
simlib_card_program(simlib_every_export_from_c)
add_test(NAME simlib_every_export_from_c COMMAND simlib_every_export_from_c)
set_tests_properties(simlib_every_export_from_c PROPERTIES LABELS card)
