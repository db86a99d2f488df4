# Configures and builds the fuzz targets with clang in their own build folder. A failure is only
# a warning (the compiler's output goes to build.log there): the fuzz test then reports itself
# skipped.
set(log "${BUILD}/build.log")
if(NOT EXISTS "${BUILD}/CMakeCache.txt")
  execute_process(COMMAND "${CMAKE_COMMAND}" -S "${SOURCE}" -B "${BUILD}" -G "${GENERATOR}"
                          "-DCMAKE_CXX_COMPILER=${CLANGXX}" -DCMAKE_BUILD_TYPE=RelWithDebInfo
                          "-DMOVRA_ROOT=${ROOT}" "-DMOVRA_FUZZ_SECONDS=${SECONDS}"
                  RESULT_VARIABLE configured OUTPUT_VARIABLE out ERROR_VARIABLE out)
  file(MAKE_DIRECTORY "${BUILD}")
  file(WRITE "${log}" "${out}")
  if(NOT configured EQUAL 0)
    file(REMOVE "${BUILD}/CMakeCache.txt")
    message(WARNING "the clang build of the fuzz targets could not be configured (see ${log}): "
                    "fuzzing skipped")
    return()
  endif()
endif()
execute_process(COMMAND "${CMAKE_COMMAND}" --build "${BUILD}"
                RESULT_VARIABLE built OUTPUT_VARIABLE out ERROR_VARIABLE out)
file(WRITE "${log}" "${out}")
if(NOT built EQUAL 0)
  string(REPLACE "," ";" fuzzers "${FUZZERS}")
  foreach(fuzzer ${fuzzers})
    file(REMOVE "${BUILD}/${fuzzer}")
  endforeach()
  message(WARNING "the fuzz targets do not build with ${CLANGXX} (see ${log}): fuzzing skipped")
endif()
