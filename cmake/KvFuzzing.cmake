# libFuzzer targets of the fuzz build (-DKV_FUZZ=ON, clang). kv_add_fuzzer(NAME SOURCES...
# CORPUS DIR) builds a fuzzer on kvcore and registers the CTest test fuzz.NAME (label "fuzz"),
# which runs it for KV_FUZZ_SECONDS from the seed corpus DIR. New inputs go to a working corpus
# in the build folder, so the committed seeds stay as they are. Any crash, sanitizer report,
# leak or input slower than 10 seconds fails the test.
set(KV_FUZZ_SECONDS 14 CACHE STRING "Seconds each fuzz test runs")
add_custom_target(fuzzers)

function(kv_add_fuzzer name)
  cmake_parse_arguments(FUZZ "" "CORPUS" "" ${ARGN})
  add_executable(${name} ${FUZZ_UNPARSED_ARGUMENTS})
  target_link_libraries(${name} PRIVATE kvcore)
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  add_dependencies(fuzzers ${name})
  set(work ${CMAKE_BINARY_DIR}/fuzz-corpus/${name})
  file(MAKE_DIRECTORY ${work})
  add_test(NAME fuzz.${name}
           COMMAND ${name} -max_total_time=${KV_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                   ${work} ${FUZZ_CORPUS})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
