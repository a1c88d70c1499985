# Cross-compiling for 64-bit Windows with the posix-thread mingw compilers, as
# the 32-bit build does. Its programs run under wine64, called by its own path:
# /usr/bin/wine picks the 32-bit loader, which machines without IA-32
# emulation refuse.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR AMD64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(POOLSCOPE_WINE /usr/lib/wine/wine64)
set(POOLSCOPE_WINESERVER /usr/lib/wine/wineserver64)
set(POOLSCOPE_WINEARCH win64)
set(CMAKE_CROSSCOMPILING_EMULATOR ${POOLSCOPE_WINE})
