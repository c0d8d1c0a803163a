# Installs the build into PREFIX, builds examples/ured_of_a_shape against the
# installed package with find_package(triex), runs it and checks what it prints.
file(REMOVE_RECURSE ${PREFIX} ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -S ${SOURCE_DIR}/examples/ured_of_a_shape -B ${WORK}
                        -DCMAKE_PREFIX_PATH=${PREFIX} -DCMAKE_CXX_COMPILER=${CXX}
                        "-DCMAKE_EXE_LINKER_FLAGS=${LINK_FLAGS}"
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "configuring the example failed:\n${out}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} --build ${WORK} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "building the example failed:\n${out}")
endif()
execute_process(COMMAND ${WORK}/ured_of_a_shape RESULT_VARIABLE status OUTPUT_VARIABLE printed)
# 10.173618525404557 is the double nearest the exact 10.17361852540455695575...
set(expected "ured exact      = 10.173618525404557\nured quadrature = 10.173619782877072\nrefused: c = 0 must be a positive number\n")
if(NOT status EQUAL 0 OR NOT printed STREQUAL expected)
  message(FATAL_ERROR "the example printed (status ${status}):\n${printed}\ninstead of:\n${expected}")
endif()
