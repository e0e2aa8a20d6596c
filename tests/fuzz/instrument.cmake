# Instrumented builds, each in a folder of its own (see the Makefile):
#   FOTELLO_SANITIZE: every target with AddressSanitizer and UndefinedBehaviorSanitizer
#                     (make test-sanitize runs the whole suite so);
#   FOTELLO_FUZZ:     the same with libFuzzer's coverage, and the fuzz targets (clang).
option(FOTELLO_SANITIZE "Build every target with ASan and UBSan" OFF)
option(FOTELLO_FUZZ "Build the libFuzzer targets (needs clang)" OFF)
if(FOTELLO_SANITIZE OR FOTELLO_FUZZ)
  set(FOTELLO_SANITIZER_FLAGS
      -fsanitize=address,undefined -fno-sanitize-recover=undefined -fno-omit-frame-pointer)
  add_compile_options(${FOTELLO_SANITIZER_FLAGS})
  add_link_options(${FOTELLO_SANITIZER_FLAGS})
endif()
if(FOTELLO_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "FOTELLO_FUZZ needs clang (libFuzzer): -DCMAKE_CXX_COMPILER=clang++-14")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
