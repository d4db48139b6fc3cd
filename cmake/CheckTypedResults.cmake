# Fails unless tests/types/typed_results.cpp compiles as it stands and fails
# to compile with each macro of CASES defined, with an error naming the type
# that case expects. CASES is a comma-separated list of MACRO=Type, e.g.
# LEDORA_BARE_MESSAGE_NUMBER=MessageNumber. Run by CTest:
# cmake -DCXX=<compiler> -DSOURCE_DIR=<root> -DCASES=<cases> -P CheckTypedResults.cmake
foreach(var CXX SOURCE_DIR CASES)
  if(NOT ${var})
    message(FATAL_ERROR "${var} is not set")
  endif()
endforeach()
set(source ${SOURCE_DIR}/tests/types/typed_results.cpp)
set(compile ${CXX} -std=c++20 -fsyntax-only -I${SOURCE_DIR} ${source})

execute_process(COMMAND ${compile} RESULT_VARIABLE status ERROR_VARIABLE errors)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "The typed calls do not compile:\n${errors}")
endif()

string(REPLACE "," ";" cases "${CASES}")
foreach(case IN LISTS cases)
  string(REPLACE "=" ";" parts "${case}")
  list(GET parts 0 macro)
  list(GET parts 1 type)
  execute_process(COMMAND ${compile} -D${macro} RESULT_VARIABLE status ERROR_VARIABLE errors)
  if(status EQUAL 0)
    message(FATAL_ERROR "${macro}: a bare number compiles where a ${type} is expected")
  endif()
  if(NOT errors MATCHES "error:[^\n]*${type}")
    message(FATAL_ERROR "${macro}: the compile failed, but not for want of a ${type}:\n${errors}")
  endif()
  message(STATUS "${macro}: a bare number is refused where a ${type} is expected")
endforeach()
