# Cross build for another Linux CPU with Debian's cross compilers, HEXRACE_CROSS_TRIPLE naming it
# (aarch64-linux-gnu, s390x-linux-gnu, i686-linux-gnu, ...); the tests run under qemu-user where
# it is installed.
set(CMAKE_SYSTEM_NAME Linux)
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR "${HEXRACE_CROSS_TRIPLE}")
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES HEXRACE_CROSS_TRIPLE)

set(CMAKE_C_COMPILER ${HEXRACE_CROSS_TRIPLE}-gcc)
set(CMAKE_CXX_COMPILER ${HEXRACE_CROSS_TRIPLE}-g++)

set(CMAKE_FIND_ROOT_PATH /usr/${HEXRACE_CROSS_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# qemu-user calls 32-bit x86 i386, whatever the triple's i486, i586 or i686.
string(REGEX REPLACE "^i[3-6]86$" "i386" qemu_cpu "${CMAKE_SYSTEM_PROCESSOR}")
find_program(QEMU_PROGRAM NAMES qemu-${qemu_cpu})
if(QEMU_PROGRAM)
  # -L: the target's own C library and loader, from the cross compiler's tree. The library path
  # keeps that loader from taking the host's own 32-bit libraries (/lib32, in the host's
  # ld.so.cache) instead: a C library of another build than its loader, which hangs on the first
  # thread or fork.
  set(CMAKE_CROSSCOMPILING_EMULATOR ${QEMU_PROGRAM} -L /usr/${HEXRACE_CROSS_TRIPLE}
      -E LD_LIBRARY_PATH=/lib)
endif()
