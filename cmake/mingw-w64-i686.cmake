# Cross-build of the Windows plug-in: i686, mingw-w64.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(TOOLCHAIN_PREFIX i686-w64-mingw32)

# Debian ships the compilers in a win32-threads and a posix-threads flavour;
# win32 needs no threading library, posix works too (winpthread is linked
# statically).
find_program(TESSALY_MINGW_CC NAMES ${TOOLCHAIN_PREFIX}-gcc-win32 ${TOOLCHAIN_PREFIX}-gcc-posix
             ${TOOLCHAIN_PREFIX}-gcc REQUIRED)
find_program(TESSALY_MINGW_CXX NAMES ${TOOLCHAIN_PREFIX}-g++-win32 ${TOOLCHAIN_PREFIX}-g++-posix
             ${TOOLCHAIN_PREFIX}-g++ REQUIRED)
set(CMAKE_C_COMPILER ${TESSALY_MINGW_CC})
set(CMAKE_CXX_COMPILER ${TESSALY_MINGW_CXX})
set(CMAKE_RC_COMPILER ${TOOLCHAIN_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${TOOLCHAIN_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
