# Tests of tarvik-cli.exe under wine (included from CMakeLists.txt on Windows).

# The commands that need no card, run in process.
tarvik_add_test(tarvik_cli_tests
  SOURCES CliTest.cpp JsonOutputTest.cpp
  LIBRARIES tarvik_cli_commands tarvik_testing
)
tarvik_add_test(tarvik_cli_form_tests
  SOURCES FormCommandsTest.cpp
  LIBRARIES tarvik_cli_commands tarvik_testing
)
tarvik_put_quenlib_beside(tarvik_cli_tests)
tarvik_put_quenlib_beside(tarvik_cli_form_tests)

# tarvik-cli.exe end to end: the test program starts the program beside it, in the folder of
# the test card service, under scripts/wine-card-run, whose virtual card each entry below
# sets up: PIN off, PIN on (1234), and a card pulled mid-write (100 records; the backup and
# the write's reads take 121 commands, so after 130 it leaves some updates in).
if(BUILD_TESTING)
  set(card_test_dir ${CMAKE_BINARY_DIR}/cardtests)
  add_executable(tarvik_cli_program_tests platform/win32/CliProgramTest.cpp)
  target_link_libraries(tarvik_cli_program_tests PRIVATE tarvik_program tarvik_testing
                        GTest::gtest GTest::gtest_main)
  set_target_properties(tarvik_cli_program_tests PROPERTIES
    RUNTIME_OUTPUT_DIRECTORY ${card_test_dir})
  add_dependencies(tarvik_cli_program_tests tarvik-cli testpcsc_winscard)
  add_custom_command(TARGET tarvik_cli_program_tests POST_BUILD
    COMMAND ${CMAKE_COMMAND} -E copy_if_different $<TARGET_FILE:tarvik-cli>
            $<TARGET_FILE:quenlib> ${card_test_dir}/)
  set(card_runner ${PROJECT_SOURCE_DIR}/scripts/wine-card-run ${SIMCARD_PROGRAM})
  foreach(entry
      "card|--pin1-disabled|ReadersListsTheTestReaderWithItsCard"
      "transfers|--pin1-disabled|WriteDiffReadAndRestoreGoThroughTheCard"
      "wide_text|--pin1-disabled|WideArgumentsAndBinaryOutputKeepEveryCharacter"
      "pin|--pin1-enabled|PinNoneWrongAndRightGiveTheirStatuses"
      "pulled|--pin1-disabled --adn-records 100 --drop-after 130|CardPulledMidWriteFailsTheWriteAndKeepsTheBackup")
    string(REPLACE "|" ";" fields "${entry}")
    list(GET fields 0 name)
    list(GET fields 1 options)
    list(GET fields 2 test)
    separate_arguments(options)
    add_test(NAME tarvik_cli_exe_${name}
      COMMAND ${card_runner} ${options} -- $<TARGET_FILE:tarvik_cli_program_tests>
              --gtest_filter=CliProgramTest.${test})
    set_tests_properties(tarvik_cli_exe_${name} PROPERTIES LABELS card)
  endforeach()
endif()

# Ctrl+C during write-sim --each-card, sent as SIGINT to the program under wine.
if(BUILD_TESTING)
  add_test(NAME tarvik_cli_exe_each_card_interrupts
    COMMAND bash ${CMAKE_CURRENT_SOURCE_DIR}/platform/win32/each_card_interrupt_test.sh
            ${PROJECT_SOURCE_DIR}/scripts/wine-card-run ${SIMCARD_PROGRAM}
            ${card_test_dir}/tarvik-cli.exe)
  set_tests_properties(tarvik_cli_exe_each_card_interrupts PROPERTIES LABELS card)
endif()
