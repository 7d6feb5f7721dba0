# Cross build for Windows with Debian's mingw-w64 compilers. The architecture comes from the
# preset (REDADADO_MINGW_TRIPLET: x86_64-w64-mingw32 or i686-w64-mingw32).
#
# The -posix compilers, since the -win32 thread model has no std::mutex (GoogleTest needs it),
# and a static runtime, so the executables run without MinGW's DLLs beside them. The application
# links the shared runtime instead (REDADADO_SHARED_RUNTIME), the one Qt's DLLs use: a second,
# static copy beside them would not share their heap or exceptions.
set(REDADADO_MINGW_TRIPLET "x86_64-w64-mingw32" CACHE STRING "mingw-w64 target triplet")
set(triplet ${REDADADO_MINGW_TRIPLET})

set(CMAKE_SYSTEM_NAME Windows)
if(triplet MATCHES "^i686")
  set(CMAKE_SYSTEM_PROCESSOR x86)
else()
  set(CMAKE_SYSTEM_PROCESSOR AMD64)
endif()

set(CMAKE_C_COMPILER ${triplet}-gcc-posix)
set(CMAKE_CXX_COMPILER ${triplet}-g++-posix)
set(CMAKE_RC_COMPILER ${triplet}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${triplet})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

option(REDADADO_SHARED_RUNTIME "Link MinGW's runtime DLLs, as Qt's DLLs do" OFF)
if(NOT REDADADO_SHARED_RUNTIME)
  set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
endif()
# zlib (libz-mingw-w64-dev) linked in too, not through its DLL's import library.
set(ZLIB_USE_STATIC_LIBS ON)

# Tests (and GoogleTest's discovery) run the executables under Wine. 64-bit programs go straight
# to Wine's 64-bit loader: the `wine` launcher starts the 32-bit loader whenever it is installed,
# and that cannot start on a kernel that runs no 32-bit programs.
if(NOT triplet MATCHES "^i686")
  find_program(REDADADO_WINE wine64 PATHS /usr/lib/wine NO_DEFAULT_PATH)
endif()
find_program(REDADADO_WINE wine)
if(REDADADO_WINE)
  set(CMAKE_CROSSCOMPILING_EMULATOR ${REDADADO_WINE})
endif()
