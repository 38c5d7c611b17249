# Cross build for x86_64 Windows with the MinGW-w64 posix-thread compilers.
set(ORVO_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/toolchain-mingw-common.cmake)
