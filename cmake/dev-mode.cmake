# Developer mode (ZRM_DEVELOPER_MODE, set by the presets): everything the library's own developers
# build besides the library. Included before the library's targets are made, so that the build
# types below apply to them; zrm_add_developer_targets() adds the developer targets afterwards.

option(ZRM_BUILD_TESTS "Build the unit tests and replay the fuzz corpora as tests" ON)
option(ZRM_BUILD_FUZZERS "Link the fuzz targets with libFuzzer (clang) instead of the corpus replay driver" OFF)
option(ZRM_BUILD_BENCHMARKS "Build the benchmarks (needs Google Benchmark and Eigen)" OFF)

# Build types of our own, beside Debug, Release and RelWithDebInfo, so that their flags are
# written once: Sanitize (AddressSanitizer + UndefinedBehaviorSanitizer, any error fatal, and
# the standard library's checked accessors: an index past a vector's size aborts, which
# AddressSanitizer misses within the vector's capacity) and
# Coverage (g++ --coverage, unoptimised, for scripts/coverage.sh). The warnings live in the
# presets' CMAKE_CXX_FLAGS, which every build type adds to.
set(ZRM_SANITIZERS "-fsanitize=address,undefined")
set(CMAKE_CXX_FLAGS_SANITIZE
    "-O1 -g -fno-omit-frame-pointer ${ZRM_SANITIZERS} -fno-sanitize-recover=all -D_GLIBCXX_ASSERTIONS")
set(CMAKE_EXE_LINKER_FLAGS_SANITIZE "${ZRM_SANITIZERS}")
set(CMAKE_SHARED_LINKER_FLAGS_SANITIZE "${ZRM_SANITIZERS}")
set(CMAKE_CXX_FLAGS_COVERAGE "-O0 -g --coverage")
set(CMAKE_EXE_LINKER_FLAGS_COVERAGE "--coverage")
set(CMAKE_SHARED_LINKER_FLAGS_COVERAGE "--coverage")

if(ZRM_BUILD_FUZZERS)
  if(NOT CMAKE_CXX_COMPILER_ID STREQUAL "Clang")
    message(FATAL_ERROR "ZRM_BUILD_FUZZERS needs clang (libFuzzer); this compiler is ${CMAKE_CXX_COMPILER_ID}")
  endif()
  # libFuzzer's coverage feedback for all code, the library's included; the fuzz programs link
  # libFuzzer itself (fuzz/CMakeLists.txt).
  string(APPEND CMAKE_CXX_FLAGS " -fsanitize=fuzzer-no-link")
endif()

# The developer targets: tests (with the fuzz corpus replays), benchmarks and the API reference.
# A macro, not a function: testing must be enabled in the top directory's own scope, where ctest
# looks for the tests.
macro(zrm_add_developer_targets)
  if(ZRM_BUILD_TESTS)
    # `ctest -T memcheck` runs every test under valgrind; any error or leak fails the test.
    set(MEMORYCHECK_COMMAND_OPTIONS
        "--error-exitcode=97 --leak-check=full --show-leak-kinds=definite,indirect,possible --errors-for-leak-kinds=definite,indirect,possible --track-origins=yes --num-callers=30"
        CACHE STRING "valgrind options of ctest -T memcheck")
    set(MEMORYCHECK_SUPPRESSIONS_FILE ${PROJECT_SOURCE_DIR}/scripts/valgrind.supp)
    set_property(GLOBAL PROPERTY CTEST_TARGETS_ADDED 1)  # no dashboard targets
    include(CTest)
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests ${PROJECT_BINARY_DIR}/tests)
  endif()
  if(ZRM_BUILD_TESTS OR ZRM_BUILD_FUZZERS)  # the solver's tests and fuzzers share the oracle
    add_subdirectory(${PROJECT_SOURCE_DIR}/tests/support ${PROJECT_BINARY_DIR}/tests/support)
    add_subdirectory(${PROJECT_SOURCE_DIR}/fuzz ${PROJECT_BINARY_DIR}/fuzz)
  endif()
  if(ZRM_BUILD_BENCHMARKS)
    add_subdirectory(${PROJECT_SOURCE_DIR}/bench ${PROJECT_BINARY_DIR}/bench)
  endif()
  add_subdirectory(${PROJECT_SOURCE_DIR}/docs ${PROJECT_BINARY_DIR}/docs)
endmacro()
