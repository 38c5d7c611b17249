# Cross build for i686 Windows with the MinGW-w64 posix-thread compilers.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(ORVO_TRIPLE i686-w64-mingw32)
set(CMAKE_C_COMPILER ${ORVO_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${ORVO_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${ORVO_TRIPLE}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${ORVO_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
# SSE arithmetic so that floating-point results match the x86_64 build.
set(CMAKE_C_FLAGS_INIT "-msse2 -mfpmath=sse")
set(CMAKE_CXX_FLAGS_INIT "-msse2 -mfpmath=sse")
