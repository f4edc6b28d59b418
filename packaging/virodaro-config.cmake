# The CMake package of libvirodaro: find_package(virodaro CONFIG) gives the imported target
# virodaro::virodaro, the shared library with the include directory of <virodaro/exist.h>.
include("${CMAKE_CURRENT_LIST_DIR}/virodaro-targets.cmake")
