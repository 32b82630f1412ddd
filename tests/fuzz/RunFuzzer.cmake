# cmake -DFUZZER=prog -DCORPUS=dir -DSCRATCH=dir -DRUNS=n -P RunFuzzer.cmake
# A short, repeatable fuzz run over the committed seeds, bounded in time as
# well (the test's time-out must never be what stops it). New inputs go to a
# scratch folder emptied first, never into the source tree.
file(REMOVE_RECURSE ${SCRATCH})
file(MAKE_DIRECTORY ${SCRATCH})
execute_process(COMMAND ${FUZZER} -runs=${RUNS} -max_total_time=60 -seed=1 -max_len=4096 ${SCRATCH} ${CORPUS}
  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT rc EQUAL 0)
  message(FATAL_ERROR "${FUZZER} failed (${rc}):\n${out}\n${err}")
endif()
string(REGEX MATCH "Done [0-9]+ runs in [0-9]+ second\\(s\\)" done "${err}")
message(STATUS "${done}")
