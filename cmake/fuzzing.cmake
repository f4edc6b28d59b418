# virodaro_add_fuzzer(NAME SOURCE LIBRARIES...): a libFuzzer target, and a CTest test that
# runs it for a few seconds from a fresh corpus. Only in the fuzz build.
set(VIRODARO_FUZZ_SECONDS 5 CACHE STRING "How long each fuzz test runs")

function(virodaro_add_fuzzer name source)
  if(NOT VIRODARO_FUZZ)
    return()
  endif()
  add_executable(${name} ${source})
  target_link_libraries(${name} PRIVATE ${ARGN})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set(corpus ${CMAKE_CURRENT_BINARY_DIR}/${name}_corpus)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -E env ASAN_OPTIONS=detect_leaks=1
            $<TARGET_FILE:${name}> -max_total_time=${VIRODARO_FUZZ_SECONDS} -timeout=5
            -rss_limit_mb=1024 -print_final_stats=1 ${corpus})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED ${name}_corpus)
  add_test(NAME ${name}_corpus COMMAND ${CMAKE_COMMAND} -E make_directory ${corpus})
  set_tests_properties(${name}_corpus PROPERTIES FIXTURES_SETUP ${name}_corpus)
endfunction()
