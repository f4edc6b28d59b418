# virodaro_add_test(NAME COMMAND...): a CTest test. A cross-built command runs under the
# build's emulator; in the Windows build that is wine, in a wine prefix of the build's own,
# quietly.
function(virodaro_add_test name)
  add_test(NAME ${name} COMMAND ${ARGN})
  if(CMAKE_CROSSCOMPILING AND WIN32)
    set_tests_properties(${name} PROPERTIES ENVIRONMENT
      "WINEPREFIX=${CMAKE_BINARY_DIR}/wineprefix;WINEDEBUG=-all;WINEDLLOVERRIDES=mscoree,mshtml=")
  endif()
endfunction()
