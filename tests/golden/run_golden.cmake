# Runs PROGRAM with CASE.in on standard input; compares standard output with
# CASE.out byte for byte, the exit status with CASE.rc (default 0) and, where
# CASE.errlines exists, the number of lines on standard error with it.
execute_process(COMMAND ${PROGRAM}
  INPUT_FILE ${CASE}.in
  OUTPUT_VARIABLE actual
  ERROR_VARIABLE stderr_text
  RESULT_VARIABLE status)
file(READ ${CASE}.out expected)
set(expected_status 0)
if(EXISTS ${CASE}.rc)
  file(STRINGS ${CASE}.rc expected_status LIMIT_COUNT 1)
endif()
# The exact status: a crash (a signal name instead of a number) or any other
# non-zero status than the expected one fails.
if(NOT expected_status MATCHES "^[0-9]+$")
  message(FATAL_ERROR "${CASE}.rc must hold one exit status, not \"${expected_status}\"")
endif()
if(NOT status STREQUAL expected_status)
  message(FATAL_ERROR "exit status ${status}, expected ${expected_status}\nstderr: ${stderr_text}")
endif()
if(NOT actual STREQUAL expected)
  file(WRITE ${CASE}.actual "${actual}")
  message(FATAL_ERROR "standard output differs from ${CASE}.out; written to ${CASE}.actual")
endif()
if(EXISTS ${CASE}.errlines)
  file(STRINGS ${CASE}.errlines expected_lines LIMIT_COUNT 1)
  string(REGEX MATCHALL "\n" newlines "${stderr_text}")
  list(LENGTH newlines lines)
  if(NOT lines EQUAL expected_lines)
    message(FATAL_ERROR "${lines} lines on standard error, expected ${expected_lines}:\n${stderr_text}")
  endif()
endif()
