# Cross build for Windows with Debian's MinGW-w64 (posix threads variant), for the triple that
# the including toolchain file sets in HEXRACE_MINGW_TRIPLE; run under Wine when it is installed.
set(CMAKE_SYSTEM_NAME Windows)

set(CMAKE_C_COMPILER ${HEXRACE_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${HEXRACE_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${HEXRACE_MINGW_TRIPLE}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${HEXRACE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each .exe carries its runtime (libstdc++, libgcc, winpthread) and runs alone.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")

# The including file may name a loader of its own (HEXRACE_WINE_NAMES, in HEXRACE_WINE_HINTS),
# taken before `wine`.
find_program(WINE_PROGRAM NAMES ${HEXRACE_WINE_NAMES} wine NAMES_PER_DIR
             HINTS ${HEXRACE_WINE_HINTS})
if(WINE_PROGRAM)
  set(CMAKE_CROSSCOMPILING_EMULATOR "${WINE_PROGRAM}")
endif()
