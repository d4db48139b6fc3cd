# Runs the include-rule check over a small tree that breaks each rule once
# and holds right includes (one of a library loaded at run time, not
# linked): the check must fail, name every fault and only those. Run by CTest: cmake -DCHECK=<CheckIncludeRules.cmake> -P this
cmake_minimum_required(VERSION 3.25)
set(here ${CMAKE_CURRENT_LIST_DIR})
execute_process(
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${here}/tree -DRULES=${here}/rules.cmake
          -DLINKS=${here}/links.cmake -P ${CHECK}
  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE out)
if(status EQUAL 0)
  message(FATAL_ERROR "the check passed a tree with wrong includes:\n${out}")
endif()
set(expected
  "parts/low/upward.cpp: includes parts/high/high.h, but parts/low may not include parts/high"
  "parts/low/window.cpp: includes QWidget, but parts/low may not include Qt"
  "parts/high/unlinked.cpp: includes parts/mid/mid.h, but high_lib does not link mid_lib"
  "parts/stray/stray.h: in no row of the include-rule table")
foreach(fault IN LISTS expected)
  string(FIND "${out}" "${fault}" at)
  if(at EQUAL -1)
    message(FATAL_ERROR "the check did not say \"${fault}\":\n${out}")
  endif()
endforeach()
string(REGEX MATCHALL "parts/[a-z]+/[a-z]+\\.(cpp|h): " faults "${out}")
list(LENGTH faults count)
if(NOT count EQUAL 4)
  message(FATAL_ERROR "the check named ${count} faults, not 4:\n${out}")
endif()
