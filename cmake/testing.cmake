# virodaro_add_test(NAME COMMAND...): a CTest test. In the Windows build the command runs
# under wine, in a wine prefix of the build's own, quietly.
function(virodaro_add_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  if(CMAKE_CROSSCOMPILING)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
  endif()
endfunction()
