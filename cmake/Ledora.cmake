# One static library per source folder: every .cpp in the folder belongs to it,
# so adding a file needs no edit here. A folder without sources yet becomes an
# interface library, which lets later folders name it as a dependency already.
function(ledora_library name dir)
  cmake_parse_arguments(ARG "" "" "DEPS;EXCLUDE" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  foreach(ex IN LISTS ARG_EXCLUDE)
    list(FILTER sources EXCLUDE REGEX "/${ex}$")
  endforeach()
  if(sources)
    add_library(${name} STATIC ${sources})
    target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} PUBLIC ${ARG_DEPS})
  else()
    add_library(${name} INTERFACE)
    target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
    target_link_libraries(${name} INTERFACE ${ARG_DEPS})
  endif()
endfunction()

# One test binary per test folder, every *_test.cpp in it; each GoogleTest case
# becomes its own CTest entry so failures name the behaviour that broke.
function(ledora_tests name dir)
  cmake_parse_arguments(ARG "SERIAL" "" "DEPS;LABELS" ${ARGN})
  file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/${dir}/*.cpp)
  if(NOT sources)
    return()
  endif()
  add_executable(${name} ${sources})
  target_link_libraries(${name} PRIVATE ${ARG_DEPS} ledora_test_support GTest::gtest_main GTest::gmock)
  set(labels unit)
  if(ARG_LABELS)
    set(labels ${ARG_LABELS})
  endif()
  # Window tests share one X server, whose keyboard focus one test's window
  # would take from another's: they run one at a time.
  set(lock "")
  if("gui" IN_LIST labels)
    set(lock RESOURCE_LOCK x_display_focus)
  endif()
  # Tests of many processes at once want the machine to themselves.
  if(ARG_SERIAL)
    list(APPEND lock RUN_SERIAL TRUE)
  endif()
  gtest_discover_tests(${name}
    WORKING_DIRECTORY ${PROJECT_BINARY_DIR}
    DISCOVERY_MODE PRE_TEST
    DISCOVERY_TIMEOUT 60
    PROPERTIES LABELS "${labels}" TIMEOUT 600 ${lock} ${LEDORA_PG_TEST_PROPERTIES})
endfunction()
