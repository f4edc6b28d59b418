# What `cmake --install` puts where, and the packages CPack makes from it: a Debian package
# from the POSIX build, a ZIP for Windows users from the Windows build.

set(CPACK_PACKAGE_NAME virodaro)
set(CPACK_PACKAGE_VENDOR "VIRODARO developers")
set(VIRODARO_MAINTAINER "VIRODARO developers <virodaro@example.org>"
  CACHE STRING "The packages' maintainer, as Debian's Maintainer field wants it")
set(CPACK_PACKAGE_CONTACT ${VIRODARO_MAINTAINER})
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prints a calibration page for cutting paper into four")
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  # Everything at the top of the ZIP, the way a Windows user unpacks and runs it.
  install(TARGETS virodaro RUNTIME DESTINATION .)
  # Windows' own editors expect CR LF line ends.
  foreach(text README.md packaging/WINDOWS.TXT)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${text})
    file(READ ${PROJECT_SOURCE_DIR}/${text} content)
    string(REPLACE "\n" "\r\n" content "${content}")
    get_filename_component(name ${text} NAME)
    file(WRITE ${PROJECT_BINARY_DIR}/packaging/${name} "${content}")
    install(FILES ${PROJECT_BINARY_DIR}/packaging/${name} DESTINATION .)
  endforeach()
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME virodaro-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
install(TARGETS virodaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
install(TARGETS virodaro_library LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR})
install(FILES include/virodaro/exist.h DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/virodaro)

# The manual page names the version it describes.
configure_file(packaging/virodaro.1.in ${PROJECT_BINARY_DIR}/packaging/virodaro.1 @ONLY)

# Debian wants the manual page and the changelog compressed, reproducibly (no name or time).
set(compressed_docs)
foreach(document ${PROJECT_BINARY_DIR}/packaging/virodaro.1 ${PROJECT_SOURCE_DIR}/packaging/changelog)
  get_filename_component(name ${document} NAME)
  set(compressed ${PROJECT_BINARY_DIR}/packaging/${name}.gz)
  add_custom_command(OUTPUT ${compressed}
    COMMAND gzip -9 -n -c ${document} > ${compressed}
    DEPENDS ${document} VERBATIM)
  list(APPEND compressed_docs ${compressed})
endforeach()
add_custom_target(compressed_docs ALL DEPENDS ${compressed_docs})
install(FILES ${PROJECT_BINARY_DIR}/packaging/virodaro.1.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
install(FILES README.md packaging/copyright ${PROJECT_BINARY_DIR}/packaging/changelog.gz
  DESTINATION ${CMAKE_INSTALL_DOCDIR})
install(FILES packaging/lintian-overrides DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/lintian/overrides
  RENAME virodaro)

set(CPACK_GENERATOR DEB)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SECTION utils)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
# CPack puts the summary in front as the synopsis line.
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "VIRODARO prints one page on the default printer: two cut lines through the
middle of the printable area, guide lines, marks and, while aligning, centre
circles. The X and Y offsets that bring the lines onto the middle of the real
sheet are kept in VIRODARO.CFG in the current directory. Without a print
server the page is written as a PDF file.
.
The package also holds libvirodaro.so and its header, for programs that call
the exported EXIST function.")
# The dependencies are read from the shared libraries the binaries link.
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
# The loader's cache learns of libvirodaro.so.1 through libc's trigger.
set(CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/packaging/triggers)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)
include(CPack)
