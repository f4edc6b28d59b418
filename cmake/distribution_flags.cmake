# The flags of the builds that users get. They take the hardening that Debian builds its
# packages with (dpkg-buildflags with hardening=+all): a stack protector, fortified C
# library calls where the compiler optimises, read-only relocations bound at start-up and
# a position-independent program. The Windows build takes the stack protector (its library
# comes with it, linked statically); mingw-w64's linker already marks the executable for
# address-space randomisation with high-entropy addresses and a non-executable stack.
# The paths of the source and build directories are mapped to ".", so that the binaries
# (their debugging data, build ids and __FILE__) are the same from any directory.

add_compile_options(-fstack-protector-strong -Wformat -Werror=format-security
  -ffile-prefix-map=${PROJECT_SOURCE_DIR}=. -ffile-prefix-map=${PROJECT_BINARY_DIR}=.)
add_link_options(-fstack-protector-strong)

if(NOT WIN32)
  # A date or time compiled in would make two builds differ.
  add_compile_options(-Wdate-time)
  add_compile_definitions($<$<NOT:$<CONFIG:Debug>>:_FORTIFY_SOURCE=2>)
  add_link_options(LINKER:-z,relro LINKER:-z,now)
  include(CheckPIESupported)
  check_pie_supported(LANGUAGES C CXX)
  set(CMAKE_POSITION_INDEPENDENT_CODE ON)
endif()
