# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64-posix),
# linking the C and C++ runtimes as DLLs (libstdc++-6, libgcc_s_seh-1, libwinpthread-1).  Qt for
# Windows is built with this file, and so is the tester against it, so that Qt's DLLs and the
# tester share one C++ runtime.  The posix flavour of the compiler is the one whose C++ library has
# std::thread and std::jthread.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(M797_MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${M797_MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${M797_MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${M797_MINGW_TRIPLET}-windres)

# Headers and libraries of the target only; programs (the build tools) of the host.
list(APPEND CMAKE_FIND_ROOT_PATH /usr/${M797_MINGW_TRIPLET})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
