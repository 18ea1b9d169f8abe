# Cross build for 64-bit x86 Windows with Debian's MinGW-w64; Debian's wine launcher runs its
# programs with wine64 alone, on any x86-64 kernel.
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(HEXRACE_MINGW_TRIPLE x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
