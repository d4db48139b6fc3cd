# Which folder may include which: the layering of the program, enforced by
# CheckIncludeRules.cmake (a CTest). A row names a folder (or a single file
# that builds into a target of its own), the library its sources build into,
# and the folders and outside libraries its sources may include. A folder may
# always include itself; the most specific row of a file is its own.
#
# Adding a folder or a library: add its row here, below the rows it includes.
# Adding an include or a link edge across folders: add the folder to the
# includer's row; the library must also link the included folder's library
# directly (not through a third library), or the check says which is missing.
# A folder written "~folder" may be included without that link: for the
# interface of a library the program loads at run time.
set(LEDORA_INCLUDE_RULES
  # folder           library           may include
  "runtime/system    runtime_system"
  "runtime/dates     runtime_dates     runtime/system"
  "runtime/values    runtime_values    runtime/dates Boost"
  "runtime/ini       runtime_ini       runtime/system"
  "runtime/storage   runtime_storage   runtime/values runtime/system SQLite PostgreSQL"
  "runtime/expr      runtime_expr      runtime/dates runtime/values runtime/system"
  "runtime/views     runtime_views     runtime/storage runtime/expr runtime/values runtime/system"
  "runtime/window    runtime_window    runtime/values runtime/system Boost"
  "runtime/report    runtime_report    runtime/values runtime/system"
  "runtime/qtreport  runtime_qtreport  runtime/report runtime/values runtime/system Qt"
  "runtime/qtwindow  runtime_qtwindow  runtime/window runtime/qtreport runtime/report runtime/values
                                       runtime/system Qt"
  "data              data              runtime/expr runtime/storage runtime/system runtime/values
                                       runtime/views"
  "framework         framework         data runtime/dates runtime/ini runtime/system runtime/values
                                       runtime/window"
  "layout            layout            data runtime/report runtime/storage runtime/system
                                       runtime/values"
  "reporting         reporting         data framework runtime/qtreport runtime/report runtime/system
                                       runtime/values runtime/window"
  "designer          designer          framework layout runtime/dates runtime/ini runtime/report
                                       runtime/storage runtime/system runtime/values runtime/window"
  "app               app               designer layout reporting framework data runtime/dates
                                       runtime/expr runtime/ini runtime/qtreport runtime/report
                                       runtime/storage runtime/system runtime/values runtime/views
                                       runtime/window"
  # The entry builds three programs; the full one links the most.
  "app/main.cpp      ledora-full       app runtime/dates runtime/qtwindow runtime/system Qt")

# Outside libraries by the headers that name them: a row's "may include"
# names them like folders.
set(LEDORA_OUTSIDE_HEADERS
  # name             header (regular expression on what is between <>)
  "Qt                ^Q"
  "SQLite            ^sqlite3"
  "PostgreSQL        ^(libpq|pg_config|postgres)"
  "Boost             ^boost/")

# Writes, for each library of the table, the libraries of the table it links
# directly, as the check's link map. Called once every target exists.
function(ledora_write_link_map file)
  set(libraries "")
  foreach(row IN LISTS LEDORA_INCLUDE_RULES)
    string(REGEX MATCHALL "[^ \t\n]+" words "${row}")
    list(GET words 1 library)
    list(APPEND libraries ${library})
  endforeach()
  set(text "")
  foreach(library IN LISTS libraries)
    if(NOT TARGET ${library})
      continue()
    endif()
    get_target_property(type ${library} TYPE)
    if(type STREQUAL "INTERFACE_LIBRARY")
      get_target_property(linked ${library} INTERFACE_LINK_LIBRARIES)
    else()
      get_target_property(linked ${library} LINK_LIBRARIES)
    endif()
    set(direct "")
    foreach(dep IN LISTS linked)
      if(dep IN_LIST libraries)
        list(APPEND direct ${dep})
      endif()
    endforeach()
    string(APPEND text "set(LEDORA_LINKS_${library} \"${direct}\")\n")
  endforeach()
  file(CONFIGURE OUTPUT ${file} CONTENT "${text}")
endfunction()
