# What the two MinGW-w64 toolchain files share; each sets NEBO_MINGW_TRIPLE
# (the compilers' prefix) first. Debian's "-posix" compilers are taken: their
# threads back std::thread and std::mutex, which the "-win32" ones lack.
#
# NEBO_WINDOWS_DEPS names the prefix where the libraries cross-built for this
# toolchain are installed (scripts/install-windows-deps.sh); it is searched
# as a root beside the compilers' own.
set(CMAKE_SYSTEM_NAME Windows)
# Libraries built with this file pick their code by the processor.
string(REGEX REPLACE "-.*" "" CMAKE_SYSTEM_PROCESSOR ${NEBO_MINGW_TRIPLE})
set(CMAKE_C_COMPILER ${NEBO_MINGW_TRIPLE}-gcc-posix)
set(CMAKE_CXX_COMPILER ${NEBO_MINGW_TRIPLE}-g++-posix)
set(CMAKE_RC_COMPILER ${NEBO_MINGW_TRIPLE}-windres)

# Libraries, headers and packages come only from the Windows roots; the
# programs run during the build (pkg-config among them) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${NEBO_MINGW_TRIPLE})
if(NEBO_WINDOWS_DEPS)
  list(APPEND CMAKE_FIND_ROOT_PATH ${NEBO_WINDOWS_DEPS})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
# The checks CMake compiles while configuring read this file again.
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES NEBO_WINDOWS_DEPS)

