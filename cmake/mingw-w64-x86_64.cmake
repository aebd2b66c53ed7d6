# Cross-compiles for 64-bit Windows with Debian's mingw-w64 (package g++-mingw-w64-x86-64-posix).
# The posix flavour of the compiler is the one whose C++ library has std::thread and std::jthread.
#
#   cmake -S . -B build-windows -G Ninja -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64-x86_64-shared.cmake)

# The C and C++ runtimes and the threads library are linked in, so an executable needs no DLL
# beyond those of Windows itself and runs under Wine as it is.
set(CMAKE_EXE_LINKER_FLAGS_INIT -static)
