# Installs the build into PREFIX and imports the installed Python package from
# there, with the build tree off the interpreter's path.
file(REMOVE_RECURSE ${PREFIX})
execute_process(COMMAND ${CMAKE_COMMAND} --install ${BUILD_DIR} --prefix ${PREFIX} RESULT_VARIABLE status OUTPUT_QUIET)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cmake --install failed")
endif()
set(site ${PREFIX}/${PACKAGE_DIR})
file(GLOB module ${site}/triex/_core*.so)
foreach(file __init__.py __main__.py plot.py)
  if(NOT EXISTS ${site}/triex/${file})
    message(FATAL_ERROR "triex/${file} was not installed in ${site}")
  endif()
endforeach()
if(NOT module)
  message(FATAL_ERROR "the compiled module triex/_core was not installed in ${site}")
endif()
execute_process(
  COMMAND ${CMAKE_COMMAND} -E env --unset=PYTHONPATH PYTHONPATH=${site}
          ${PYTHON} -c "import triex; print(triex.__file__); print(repr(float(triex.ured(3, 2, 1))))"
  WORKING_DIRECTORY ${PREFIX}
  RESULT_VARIABLE status OUTPUT_VARIABLE output ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "importing the installed package failed:\n${errors}")
endif()
if(NOT output MATCHES "^${site}/triex/__init__.py\n10.17361852540455[67]\n$")
  message(FATAL_ERROR "the installed package is not the one imported, or gives a wrong u_red:\n${output}")
endif()
