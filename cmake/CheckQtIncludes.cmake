# Fails when a source file of the program includes a Qt header outside the
# Qt presenter (runtime/qtwindow), the Qt renderers (runtime/qtreport) and
# the program's entry (app/main.cpp): everything else must build and test
# without Qt. Run by CTest: cmake -DSOURCE_DIR=<root> -P CheckQtIncludes.cmake
if(NOT SOURCE_DIR)
  message(FATAL_ERROR "SOURCE_DIR is not set")
endif()
set(folders app data framework reporting layout designer runtime)
set(allowed "^(runtime/qtwindow/|runtime/qtreport/|app/main\\.cpp$)")
set(offenders "")
foreach(folder IN LISTS folders)
  file(GLOB_RECURSE files RELATIVE ${SOURCE_DIR}
       ${SOURCE_DIR}/${folder}/*.cpp ${SOURCE_DIR}/${folder}/*.h)
  foreach(file IN LISTS files)
    if(file MATCHES "${allowed}")
      continue()
    endif()
    file(STRINGS ${SOURCE_DIR}/${file} lines REGEX "^[ \t]*#[ \t]*include[ \t]*[<\"]Q")
    foreach(line IN LISTS lines)
      list(APPEND offenders "${file}: ${line}")
    endforeach()
  endforeach()
endforeach()
if(offenders)
  list(JOIN offenders "\n  " text)
  message(FATAL_ERROR "Qt headers outside runtime/qtwindow, runtime/qtreport and app/main.cpp:\n  ${text}")
endif()
message(STATUS "No Qt header outside runtime/qtwindow, runtime/qtreport and app/main.cpp")
