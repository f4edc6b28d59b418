# Cross-compiles the whole POSIX program for Linux on arm64 the way Debian builds a package
# for another architecture: Debian's cross compiler, and the arm64 -dev packages of the
# libraries installed beside the machine's own (multiarch: /usr/lib/aarch64-linux-gnu),
# found by arm64's pkg-config. scripts/cross-deps.sh installs them.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR aarch64)
set(CMAKE_LIBRARY_ARCHITECTURE aarch64-linux-gnu)

set(CMAKE_C_COMPILER aarch64-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER aarch64-linux-gnu-g++)
set(PKG_CONFIG_EXECUTABLE /usr/bin/aarch64-linux-gnu-pkg-config CACHE FILEPATH
  "The pkg-config that reads arm64's .pc files")

# The build's own tools (the test scripts' interpreters, the print server) are the machine's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# Programs built here run under qemu-user, which finds arm64's loader and libraries in
# their multiarch places, as an arm64 machine has them.
set(CMAKE_CROSSCOMPILING_EMULATOR qemu-aarch64)
