# The Windows executables: the session core, the serial component with its win32 backend, the
# loop dispatcher, and their tests.  No Qt here; scripts/test-windows runs the tests under Wine.
find_package(Threads REQUIRED)
enable_testing()
# <windows.h> without the min and max macros, which break std::min and std::max.
add_compile_definitions(NOMINMAX WIN32_LEAN_AND_MEAN)

# GoogleTest for the target, built from the sources of Debian's package googletest; they name
# their libraries GTest::gtest and GTest::gtest_main, as the installed package does.
set(M797_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${M797_GOOGLETEST_SOURCE}/CMakeLists.txt)
  message(FATAL_ERROR "No GoogleTest sources in ${M797_GOOGLETEST_SOURCE}; install googletest")
endif()
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
# GoogleTest's own locks and threads on Win32, whatever the threads library of the compiler.
set(gtest_disable_pthreads ON CACHE BOOL "" FORCE)
add_subdirectory(${M797_GOOGLETEST_SOURCE} googletest EXCLUDE_FROM_ALL SYSTEM)

# The Windows tests run under Wine as whole executables (scripts/test-windows), not as one CTest
# entry per test: every start of a Wine process costs a good part of a second.
function(gtest_discover_tests)
endfunction()

# tests/windows first: it gives the others their main and the far end of the line.
foreach(dir src/session src/serial src/elm327 src/tester_port src/wire_log src/shared_texts src/cli
            tests/windows tests/session tests/serial tests/e2e tests/cli)
  add_subdirectory(${dir})
endforeach()
