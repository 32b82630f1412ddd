# Installs the build into a scratch prefix, builds the consumer project
# against it with the same toolchain, and runs the result.
file(REMOVE_RECURSE ${NUVSKIN_WORK_DIR})
set(prefix ${NUVSKIN_WORK_DIR}/prefix)

function(run)
  execute_process(COMMAND ${ARGN} RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "failed (${rc}): ${ARGN}\n${out}\n${err}")
  endif()
  set(last_output "${out}" PARENT_SCOPE)
endfunction()

run(${CMAKE_COMMAND} --install ${NUVSKIN_BUILD_DIR} --prefix ${prefix})
run(${CMAKE_COMMAND} -S ${CONSUMER_SOURCE_DIR} -B ${NUVSKIN_WORK_DIR}/build -G Ninja
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE=${TOOLCHAIN_FILE} -DCMAKE_PREFIX_PATH=${prefix})
run(${CMAKE_COMMAND} --build ${NUVSKIN_WORK_DIR}/build)
run(${EMULATOR} ${NUVSKIN_WORK_DIR}/build/consumer.exe)
if(NOT last_output MATCHES "nuvskin [0-9]+\\.[0-9]+" OR NOT last_output MATCHES "check mark 16x16, MDI glyphs 48x16")
  message(FATAL_ERROR "unexpected output: ${last_output}")
endif()
message(STATUS "${last_output}")
