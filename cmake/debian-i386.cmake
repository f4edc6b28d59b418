# Cross-compiles the whole POSIX program for Linux on i386 the way Debian builds a package
# for another architecture: Debian's cross compiler, and the i386 -dev packages of the
# libraries installed beside the machine's own (multiarch: /usr/lib/i386-linux-gnu), found
# by i386's pkg-config. scripts/cross-deps.sh installs them.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_LIBRARY_ARCHITECTURE i386-linux-gnu)

set(CMAKE_C_COMPILER i686-linux-gnu-gcc)
set(CMAKE_CXX_COMPILER i686-linux-gnu-g++)
set(PKG_CONFIG_EXECUTABLE /usr/bin/i686-linux-gnu-pkg-config CACHE FILEPATH
  "The pkg-config that reads i386's .pc files")

# The build's own tools (the test scripts' interpreters, the print server) are the machine's.
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)

# An x86-64 kernel runs i386 programs itself: no emulator.
