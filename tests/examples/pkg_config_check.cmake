# Installs the build into PREFIX and builds examples/ured_of_a_shape without
# CMake, with the flags of `pkg-config --cflags --libs triex` against the
# installed triex.pc: once with the shared libtriex (run through
# LD_LIBRARY_PATH) and once with the static one; each must print the
# example's lines.
file(REMOVE_RECURSE ${PREFIX} ${WORK})
file(MAKE_DIRECTORY ${WORK})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
file(GLOB_RECURSE pc_files ${PREFIX}/*/triex.pc)
list(LENGTH pc_files count)
if(NOT count EQUAL 1)
  message(FATAL_ERROR "expected one installed triex.pc, found: ${pc_files}")
endif()
get_filename_component(pc_dir ${pc_files} DIRECTORY)
execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir} pkg-config --cflags --libs triex
                RESULT_VARIABLE status OUTPUT_VARIABLE flags ERROR_VARIABLE errors OUTPUT_STRIP_TRAILING_WHITESPACE)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "pkg-config --cflags --libs triex failed: ${errors}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E env PKG_CONFIG_PATH=${pc_dir} pkg-config --variable=libdir triex
                OUTPUT_VARIABLE libdir OUTPUT_STRIP_TRAILING_WHITESPACE)
separate_arguments(flags UNIX_COMMAND "${flags}")
separate_arguments(link_flags UNIX_COMMAND "${LINK_FLAGS}")

set(expected "ured exact      = 10.173618525404557\nured quadrature = 10.173619782877072\nrefused: c = 0 must be a positive number\n")
foreach(kind shared static)
  if(kind STREQUAL "shared")
    set(libraries ${flags})
  else()
    # The flags less -ltriex, and the archive itself.
    set(libraries ${flags})
    list(FILTER libraries EXCLUDE REGEX "^-ltriex$")
    list(APPEND libraries ${libdir}/libtriex.a)
  endif()
  execute_process(COMMAND ${CXX} -std=c++20 ${SOURCE_DIR}/examples/ured_of_a_shape/main.cpp ${libraries} ${link_flags}
                          -o ${WORK}/ured_of_a_shape_${kind}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "building the example with the ${kind} library failed:\n${out}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env LD_LIBRARY_PATH=${libdir} ${WORK}/ured_of_a_shape_${kind}
                  RESULT_VARIABLE status OUTPUT_VARIABLE printed ERROR_VARIABLE errors)
  if(NOT status EQUAL 0 OR NOT printed STREQUAL expected)
    message(FATAL_ERROR "the example linked with the ${kind} library printed (status ${status}):\n${printed}${errors}")
  endif()
endforeach()
# The static program needs no libtriex.so at run time.
execute_process(COMMAND ${WORK}/ured_of_a_shape_static RESULT_VARIABLE status OUTPUT_QUIET ERROR_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "the example linked with libtriex.a does not run without the shared library")
endif()
