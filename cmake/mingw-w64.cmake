# Cross-builds zorsetup.exe for 64-bit Windows with MinGW-w64:
#   cmake -S . -B build-win32 -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake
# The posix threads flavour of the compiler is preferred: GoogleTest needs the standard
# thread library, which the win32 flavour of older MinGW compilers lacks.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(ZOR_MINGW_PREFIX x86_64-w64-mingw32 CACHE STRING "Target triple of the MinGW-w64 tools")

find_program(ZOR_MINGW_CXX NAMES ${ZOR_MINGW_PREFIX}-g++-posix ${ZOR_MINGW_PREFIX}-g++ REQUIRED)
find_program(ZOR_MINGW_CC NAMES ${ZOR_MINGW_PREFIX}-gcc-posix ${ZOR_MINGW_PREFIX}-gcc)
find_program(ZOR_MINGW_RC NAMES ${ZOR_MINGW_PREFIX}-windres)
set(CMAKE_CXX_COMPILER ${ZOR_MINGW_CXX})
if(ZOR_MINGW_CC)
  set(CMAKE_C_COMPILER ${ZOR_MINGW_CC})
endif()
if(ZOR_MINGW_RC)
  set(CMAKE_RC_COMPILER ${ZOR_MINGW_RC})
endif()

# Libraries and headers come from the MinGW sysroot only; programs from the build machine.
set(CMAKE_FIND_ROOT_PATH /usr/${ZOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Tests built here run under Wine.
find_program(ZOR_WINE NAMES wine wine64)
if(ZOR_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${ZOR_WINE})
endif()

# Every program is linked statically: no MinGW runtime DLLs to ship or to find under Wine.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
