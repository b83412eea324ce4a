# tarvik_add_fuzz_target(<name> SOURCES <files...> [LIBRARIES <targets...>])
# One fuzz target: a source file that defines LLVMFuzzerTestOneInput (and, if it needs one,
# LLVMFuzzerInitialize). Its seed corpus lives in corpus/<name>/ and the inputs that once
# found a fault in regressions/<name>/, both beside the calling CMakeLists.txt.
#  - With TARVIK_FUZZ (clang), the target is a libFuzzer binary; scripts/fuzz.sh runs it.
#  - Otherwise it is linked with a replay driver and registered as the CTest test
#    fuzz_<name>, which runs the target once over every seed and regression input, so each
#    build replays what the fuzzers found.
function(tarvik_add_fuzz_target name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBRARIES" ${ARGN})
  set(corpus "${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name}")
  set(regressions "${CMAKE_CURRENT_SOURCE_DIR}/regressions/${name}")
  if(TARVIK_FUZZ)
    add_executable(${name} ${ARG_SOURCES})
    target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} tarvik_fuzz_check)
    target_link_options(${name} PRIVATE -fsanitize=fuzzer)
    set_property(GLOBAL APPEND PROPERTY TARVIK_FUZZ_TARGETS "${name}|${corpus}")
    return()
  endif()
  if(NOT BUILD_TESTING)
    return()
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBRARIES} tarvik_fuzz_check tarvik_fuzz_replay)
  add_test(NAME fuzz_${name} COMMAND ${name} "${corpus}" "${regressions}")
  set_tests_properties(fuzz_${name} PROPERTIES LABELS fuzz)
endfunction()
