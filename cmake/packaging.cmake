# What `cmake --install` puts where, and the packages CPack makes from it: three Debian
# packages from the POSIX build (the program, the shared library, its development files),
# a ZIP for Windows users from the Windows build.

set(CPACK_PACKAGE_NAME virodaro)
set(CPACK_PACKAGE_VENDOR "VIRODARO developers")
set(VIRODARO_MAINTAINER "VIRODARO developers <virodaro@example.org>"
  CACHE STRING "The packages' maintainer, as Debian's Maintainer field wants it")
set(CPACK_PACKAGE_CONTACT ${VIRODARO_MAINTAINER})
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_STRIP_FILES ON)

if(WIN32)
  include(cmake/windows_resources.cmake)
  # Everything at the top of the ZIP, so that Windows' "Extract All" makes one folder.
  set(CPACK_INCLUDE_TOPLEVEL_DIRECTORY OFF)
  install(TARGETS virodaro RUNTIME DESTINATION .)
  # Windows' own editors expect CR LF line ends; exist.h is for programs that call EXIST.
  foreach(text README.md packaging/WINDOWS.TXT include/virodaro/exist.h)
    set_property(DIRECTORY APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${text})
    file(READ ${PROJECT_SOURCE_DIR}/${text} content)
    string(REPLACE "\n" "\r\n" content "${content}")
    get_filename_component(name ${text} NAME)
    file(WRITE ${PROJECT_BINARY_DIR}/packaging/${name} "${content}")
    install(FILES ${PROJECT_BINARY_DIR}/packaging/${name} DESTINATION .)
  endforeach()
  set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "prints a calibration page for cutting paper into four")
  set(CPACK_GENERATOR ZIP)
  set(CPACK_PACKAGE_FILE_NAME virodaro-${PROJECT_VERSION}-windows-x64)
  include(CPack)
  return()
endif()

include(GNUInstallDirs)
# The library goes to Debian's multiarch directory, which GNUInstallDirs chooses only when
# the prefix is /usr (the packages' prefix), whatever prefix the build was configured for
# or `cmake --install --prefix` names. A directory other than plain lib that was asked for
# with -DCMAKE_INSTALL_LIBDIR is kept.
if(CMAKE_LIBRARY_ARCHITECTURE AND CMAKE_INSTALL_LIBDIR STREQUAL "lib")
  set(CMAKE_INSTALL_LIBDIR lib/${CMAKE_LIBRARY_ARCHITECTURE})
endif()
include(cmake/debian_docs.cmake)
set(library_package libvirodaro${PROJECT_VERSION_MAJOR})

# virodaro: the program, its manual page and README.
install(TARGETS virodaro RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR} COMPONENT program)
install(FILES ${PROJECT_BINARY_DIR}/packaging/virodaro.1.gz
  DESTINATION ${CMAKE_INSTALL_MANDIR}/man1 COMPONENT program)
install(FILES README.md DESTINATION ${CMAKE_INSTALL_DOCDIR} COMPONENT program)
virodaro_install_debian_docs(virodaro program)

# libvirodaro1: the shared library under its soname.
install(TARGETS virodaro_library EXPORT virodaro-targets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT library
  NAMELINK_COMPONENT development
  INCLUDES DESTINATION ${CMAKE_INSTALL_INCLUDEDIR})
virodaro_install_debian_docs(${library_package} library)

# libvirodaro-dev: the header, the link for -lvirodaro, pkg-config's file and the CMake
# package with the imported target virodaro::virodaro.
install(FILES include/virodaro/exist.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/virodaro COMPONENT development)
set_target_properties(virodaro_library PROPERTIES EXPORT_NAME virodaro)
set(cmake_package_dir ${CMAKE_INSTALL_LIBDIR}/cmake/virodaro)
install(EXPORT virodaro-targets NAMESPACE virodaro::
  DESTINATION ${cmake_package_dir} COMPONENT development)
include(CMakePackageConfigHelpers)
write_basic_package_version_file(${PROJECT_BINARY_DIR}/packaging/virodaro-config-version.cmake
  COMPATIBILITY SameMajorVersion)
install(FILES packaging/virodaro-config.cmake
  ${PROJECT_BINARY_DIR}/packaging/virodaro-config-version.cmake
  DESTINATION ${cmake_package_dir} COMPONENT development)
# pkg-config's file names the prefix the files are installed under, known only then.
install(CODE "
  set(prefix \"\${CMAKE_INSTALL_PREFIX}\")
  set(libdir \"${CMAKE_INSTALL_LIBDIR}\")
  set(includedir \"${CMAKE_INSTALL_INCLUDEDIR}\")
  set(version \"${PROJECT_VERSION}\")
  configure_file(\"${PROJECT_SOURCE_DIR}/packaging/virodaro.pc.in\"
    \"${PROJECT_BINARY_DIR}/packaging/virodaro.pc\" @ONLY)
  " COMPONENT development)
install(FILES ${PROJECT_BINARY_DIR}/packaging/virodaro.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)
virodaro_install_debian_docs(libvirodaro-dev development)

include(cmake/debian_packages.cmake)
