# The fuzz build (M797_FUZZ=ON): the libFuzzer targets of tests/fuzz and the libraries they read
# with, nothing else; no Qt.  Every file is instrumented for libFuzzer's coverage and built with
# AddressSanitizer and UndefinedBehaviorSanitizer, any report of which ends the run.
if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
  message(FATAL_ERROR "The fuzz build needs clang (CXX=clang++): libFuzzer is part of it")
endif()
add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-sanitize-recover=all
                    -fno-omit-frame-pointer)
add_link_options(-fsanitize=address,undefined)

foreach(dir src/session src/wire_log src/elm327 src/shared_texts tools/ecusim src/cli tests/fuzz)
  add_subdirectory(${dir})
endforeach()
