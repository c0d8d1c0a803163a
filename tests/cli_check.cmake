# Runs PROGRAM with the one argument ARG and checks its exact exit status
# (STATUS), standard output (STDOUT: the exact text, with "\n" standing for a
# line end; or STDOUT_REGEX) and standard error (STDERR_REGEX; otherwise it
# must be empty). A crash shows as a status that is not a number and fails.
execute_process(COMMAND ${PROGRAM} ${ARG}
  OUTPUT_VARIABLE stdout_text
  ERROR_VARIABLE stderr_text
  RESULT_VARIABLE status)
if(NOT status STREQUAL STATUS)
  message(FATAL_ERROR "exit status ${status}, expected ${STATUS}\nstdout: ${stdout_text}\nstderr: ${stderr_text}")
endif()
if(DEFINED STDOUT)
  string(REPLACE "\\n" "\n" expected "${STDOUT}")
  if(NOT stdout_text STREQUAL expected)
    message(FATAL_ERROR "standard output is\n${stdout_text}\nexpected\n${expected}")
  endif()
endif()
if(DEFINED STDOUT_REGEX AND NOT stdout_text MATCHES "${STDOUT_REGEX}")
  message(FATAL_ERROR "standard output does not match ${STDOUT_REGEX}:\n${stdout_text}")
endif()
if(DEFINED STDERR_REGEX)
  if(NOT stderr_text MATCHES "${STDERR_REGEX}")
    message(FATAL_ERROR "standard error does not match ${STDERR_REGEX}:\n${stderr_text}")
  endif()
elseif(NOT stderr_text STREQUAL "")
  message(FATAL_ERROR "unexpected standard error:\n${stderr_text}")
endif()
