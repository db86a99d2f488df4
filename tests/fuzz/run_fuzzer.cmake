# Runs a fuzzer built by the clang sub-build for a bounded time. When the sub-build could not
# make it (no libFuzzer runtime) the test is reported as skipped (SKIP_REGULAR_EXPRESSION).
if(NOT EXISTS "${FUZZER}")
  message(FATAL_ERROR "fuzzer not built: ${FUZZER} (clang's libFuzzer runtime missing?)")
endif()
execute_process(COMMAND "${FUZZER}" -max_total_time=${SECONDS} -rss_limit_mb=2048 -max_len=8192 -len_control=0
                RESULT_VARIABLE result)
if(NOT result EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${result})")
endif()
