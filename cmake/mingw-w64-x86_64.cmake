# Cross build for 64-bit Windows with the POSIX-thread mingw-w64 compilers (GoogleTest needs std::mutex).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(KX_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${KX_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${KX_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${KX_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${KX_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests of the Windows build run under Wine.
find_program(KX_WINE NAMES wine64 wine)
if(KX_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${KX_WINE})
endif()

# Link zlib statically so that the programs need no zlib1.dll.
set(ZLIB_USE_STATIC_LIBS ON)
