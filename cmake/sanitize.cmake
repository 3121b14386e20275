# Sanitized and fuzzing builds (scripts/test --sanitize, scripts/fuzz).
#
# TALLYBOOK_SANITIZE builds everything with AddressSanitizer and
# UndefinedBehaviorSanitizer; any undefined behaviour stops the program, as
# a memory fault does. TALLYBOOK_FUZZ (clang only) adds libFuzzer's coverage
# instrumentation to every library, so that the same build folder also holds
# the fuzz targets of fuzz/ - one sanitized build serves both the test suite
# and the fuzzers.
option(TALLYBOOK_SANITIZE "Build with AddressSanitizer and UBSan" OFF)
option(TALLYBOOK_FUZZ "Also build the libFuzzer targets of fuzz/ (clang)" OFF)

if(TALLYBOOK_SANITIZE)
  set(tallybook_sanitizers
      -fsanitize=address,undefined
      -fno-sanitize-recover=undefined
      -fno-omit-frame-pointer)
  add_compile_options(${tallybook_sanitizers})
  add_link_options(${tallybook_sanitizers})
endif()

if(TALLYBOOK_FUZZ)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "TALLYBOOK_FUZZ needs clang (libFuzzer)")
  endif()
  if(NOT TALLYBOOK_SANITIZE)
    message(FATAL_ERROR "TALLYBOOK_FUZZ goes with TALLYBOOK_SANITIZE")
  endif()
  add_compile_options(-fsanitize=fuzzer-no-link)
endif()
