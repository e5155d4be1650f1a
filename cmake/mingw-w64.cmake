# Cross build for 64-bit Windows with Debian's MinGW-w64 (g++-mingw-w64-x86-64).
# The "-posix" compiler variant has std::thread and std::mutex, which
# GoogleTest needs. Tests run under wine.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(SNICKIT_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${SNICKIT_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SNICKIT_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${SNICKIT_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${SNICKIT_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# ctest runs the Windows test programs through wine (its prefix and debug
# settings come from the environment: WINEPREFIX, WINEDEBUG).
find_program(SNICKIT_WINE NAMES wine wine64)
if(SNICKIT_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${SNICKIT_WINE})
endif()
