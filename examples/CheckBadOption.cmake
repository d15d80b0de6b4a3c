# Runs PROGRAM with the argument list ARGS (";"-separated) and passes when it exits with status 2
# and prints its usage message on stderr.
execute_process(COMMAND ${PROGRAM} ${ARGS} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL 2)
  message(FATAL_ERROR "expected exit status 2, got ${status}")
endif()
if(NOT err MATCHES "usage: ")
  message(FATAL_ERROR "no usage message on stderr: ${err}")
endif()
if(NOT out STREQUAL "")
  message(FATAL_ERROR "unexpected output: ${out}")
endif()
