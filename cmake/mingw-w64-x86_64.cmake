# Cross build for 64-bit x86 Windows with Debian's MinGW-w64, run with the 64-bit loader itself:
# once wine32 is installed, Debian's `wine` starts the 32-bit loader first, which a kernel without
# 32-bit code cannot run even for a 64-bit program.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(HEXRACE_WINE_NAMES wine64)
set(HEXRACE_WINE_HINTS /usr/lib/wine /usr/lib64/wine)
set(HEXRACE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
