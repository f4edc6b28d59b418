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

# virodaro_runnable(VAR TARGET): sets VAR to the path under which test scripts start
# TARGET's program. Where the build's programs need an emulator (arm64 under qemu-user),
# that is a small shell script in emulated/ that starts the program under it: the scripts,
# and programs that start other programs, then run it as they run a native one, with no
# emulator registered with the kernel. The scripts find the programs beside each other
# (the raster probe beside the program), so every script-facing program has one there.
function(virodaro_runnable var target)
  if(CMAKE_CROSSCOMPILING_EMULATOR AND NOT WIN32)
    set(path ${PROJECT_BINARY_DIR}/emulated/$<TARGET_FILE_NAME:${target}>)
    list(JOIN CMAKE_CROSSCOMPILING_EMULATOR " " emulator)
    file(GENERATE OUTPUT ${path}
      CONTENT "#!/bin/sh\nexec ${emulator} '$<TARGET_FILE:${target}>' \"$@\"\n"
      FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
                       WORLD_READ WORLD_EXECUTE)
    set(${var} ${path} PARENT_SCOPE)
  else()
    set(${var} $<TARGET_FILE:${target}> PARENT_SCOPE)
  endif()
endfunction()
