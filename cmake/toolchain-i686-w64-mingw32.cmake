# Cross build for 32-bit Windows with Debian's mingw-w64 toolchain (the
# "win32" thread model, so that no winpthread DLL is needed). Libraries are
# looked up only in the cross sysroot and in the folders given on the command
# line (CMAKE_PREFIX_PATH: the cached static libpng).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86)

set(KORVANE_CROSS i686-w64-mingw32)
set(CMAKE_C_COMPILER ${KORVANE_CROSS}-gcc-win32)
set(CMAKE_CXX_COMPILER ${KORVANE_CROSS}-g++-win32)
set(CMAKE_RC_COMPILER ${KORVANE_CROSS}-windres)
set(CMAKE_ASM_COMPILER ${KORVANE_CROSS}-gcc-win32)

set(CMAKE_FIND_ROOT_PATH /usr/${KORVANE_CROSS})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
