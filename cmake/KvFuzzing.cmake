# libFuzzer targets of the fuzz build (-DKV_FUZZ=ON, clang). kv_add_fuzzer(NAME SOURCES...
# CORPUS DIR) builds a fuzzer on kvcore and registers the CTest test fuzz.NAME (label "fuzz"),
# which runs it for KV_FUZZ_RUNS inputs from the seed corpus DIR with the fixed random seed
# KV_FUZZ_SEED, so that a clean build's test run is the same every time (KV_FUZZ_SECONDS caps
# it on a slow machine). New inputs go to a working corpus in the build folder, so the
# committed seeds stay as they are. Any crash, sanitizer report, leak or input slower than
# 10 seconds fails the test. Longer hunts with other seeds are run by hand (README).
set(KV_FUZZ_RUNS 30000 CACHE STRING "Inputs each fuzz test tries")
set(KV_FUZZ_SEED 1 CACHE STRING "Random seed of the fuzz tests")
set(KV_FUZZ_SECONDS 60 CACHE STRING "Most seconds each fuzz test runs")
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
           COMMAND ${name} -runs=${KV_FUZZ_RUNS} -seed=${KV_FUZZ_SEED} -max_total_time=${KV_FUZZ_SECONDS} -timeout=10 -rss_limit_mb=2048 -print_final_stats=1
                   ${work} ${FUZZ_CORPUS})
  set_tests_properties(fuzz.${name} PROPERTIES LABELS fuzz TIMEOUT 120)
endfunction()
