# cmake -DFUZZER=<binary> -DSEEDS=<dir> -DWORK=<dir> -DARGS=<list> -P run_fuzzer.cmake
# Runs a libFuzzer binary on a fresh copy of the seed corpus; fails when the fuzzer does.
foreach(var FUZZER SEEDS WORK)
  if(NOT DEFINED ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
if(NOT EXISTS ${FUZZER})
  message(FATAL_ERROR "${FUZZER} is missing; build the fuzz target first")
endif()

file(REMOVE_RECURSE ${WORK})
file(MAKE_DIRECTORY ${WORK}/corpus ${WORK}/artifacts)
file(GLOB seeds ${SEEDS}/*)
file(COPY ${seeds} DESTINATION ${WORK}/corpus)

execute_process(
  COMMAND ${FUZZER} ${ARGS} -artifact_prefix=${WORK}/artifacts/ ${WORK}/corpus
  WORKING_DIRECTORY ${WORK}
  RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
  file(GLOB found ${WORK}/artifacts/*)
  message(FATAL_ERROR "${FUZZER} exited with ${rc}; inputs it saved: ${found}")
endif()
