# The three Debian packages, one for each install component, as Debian packages a program
# with a shared library: virodaro, libvirodaro1 and libvirodaro-dev.

set(CPACK_GENERATOR DEB)
set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_COMPONENTS_ALL program library development)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_SOURCE virodaro)
set(CPACK_DEBIAN_PACKAGE_PRIORITY optional)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_DEBIAN_PROGRAM_PACKAGE_NAME virodaro)
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SECTION utils)
# The page's caption is laid out with the metrics of Liberation Sans, which fontconfig
# gives for "Arial" (and Liberation Mono for the printer's "Courier New"). Pictures are
# read with gdk-pixbuf, which the program loads when it draws the first one, so no
# library the program links names it.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_DEPENDS "fonts-liberation, libgdk-pixbuf-2.0-0 (>= 2.32)")
# The rest of its dependencies are read from the libraries it links.
set(CPACK_DEBIAN_PROGRAM_PACKAGE_SHLIBDEPS ON)
set(CPACK_DEBIAN_PROGRAM_DESCRIPTION
  "calibration page for cutting paper into four
VIRODARO prints one page on the default printer: two cut lines through the
middle of the printable area, guide lines, marks and, while aligning, centre
circles. The X and Y offsets that bring the lines onto the middle of the real
sheet are kept in VIRODARO.CFG in the current directory. Without a print
server the page is written as a PDF file.")

set(CPACK_DEBIAN_LIBRARY_PACKAGE_NAME ${library_package})
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SECTION libs)
# CPack's own dependency scan of a package that holds a shared library adds maintainer
# scripts that run ldconfig. The loader's cache learns of the library through libc's
# trigger instead, so the library's dependencies are read with dpkg-shlibdeps when cpack
# starts (packaging/cpack_project.cmake.in).
set(CPACK_DEBIAN_LIBRARY_PACKAGE_SHLIBDEPS OFF)
set(CPACK_DEBIAN_LIBRARY_PACKAGE_CONTROL_EXTRA
  ${PROJECT_SOURCE_DIR}/packaging/${library_package}/shlibs
  ${PROJECT_SOURCE_DIR}/packaging/${library_package}/symbols
  ${PROJECT_SOURCE_DIR}/packaging/${library_package}/triggers)
set(CPACK_DEBIAN_LIBRARY_DESCRIPTION
  "existence test of VIRODARO for other programs
libvirodaro exports EXIST, the function that VIRODARO uses to find out whether
a file or directory exists (wildcards allowed, as Windows matches them), made
from the same code as the program, with functions that make and free the texts
it takes.
.
This package holds the shared library.")

set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_NAME libvirodaro-dev)
set(CPACK_DEBIAN_DEVELOPMENT_PACKAGE_SECTION libdevel)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_COMPONENT_DEVELOPMENT_DEPENDS library)
set(CPACK_DEBIAN_DEVELOPMENT_DESCRIPTION
  "existence test of VIRODARO for other programs (development files)
libvirodaro exports EXIST, the function that VIRODARO uses to find out whether
a file or directory exists (wildcards allowed, as Windows matches them), made
from the same code as the program, with functions that make and free the texts
it takes.
.
This package holds the header virodaro/exist.h and what building against the
library needs: pkg-config's virodaro.pc and the CMake package virodaro, whose
imported target is virodaro::virodaro.")

# Where dpkg-shlibdeps runs when cpack starts: it wants a debian/control beside it.
file(WRITE ${PROJECT_BINARY_DIR}/packaging/shlibdeps/debian/control "")
set(CPACK_VIRODARO_SHLIBDEPS_DIR ${PROJECT_BINARY_DIR}/packaging/shlibdeps)
file(GENERATE OUTPUT ${PROJECT_BINARY_DIR}/packaging/cpack_project.cmake
  INPUT ${PROJECT_SOURCE_DIR}/packaging/cpack_project.cmake.in)
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_BINARY_DIR}/packaging/cpack_project.cmake)
include(CPack)
