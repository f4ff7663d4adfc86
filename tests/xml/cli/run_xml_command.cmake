# Runs `TOOL xml INPUT` and checks its exit status, its standard output
# (against the file EXPECT_STDOUT, or empty) and its standard error (the lines
# of EXPECT_STDERR, separated by '|', or empty).
execute_process(COMMAND ${TOOL} xml ${INPUT}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(NOT status EQUAL EXPECT_STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${EXPECT_STATUS}; stderr: ${err}")
endif()
set(expected_out "")
if(EXPECT_STDOUT)
  file(READ ${EXPECT_STDOUT} expected_out)
endif()
if(NOT out STREQUAL expected_out)
  message(FATAL_ERROR "stdout:\n${out}\nexpected:\n${expected_out}")
endif()
set(expected_err "")
if(EXPECT_STDERR)
  string(REPLACE "|" "\n" expected_err "${EXPECT_STDERR}\n")
endif()
if(NOT err STREQUAL expected_err)
  message(FATAL_ERROR "stderr:\n${err}\nexpected:\n${expected_err}")
endif()
