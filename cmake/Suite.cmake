# Helpers shared by the three programs' build files.

find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Test)
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
include(GoogleTest)

set(CMAKE_AUTOMOC ON)

# Programs land in build/bin, benchmarks in build/bench.
function(suite_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
endfunction()

# suite_gtest(NAME SOURCES... LIBS ...): a GoogleTest executable whose cases CTest lists one by one.
# Widget tests get the offscreen platform from CTest's environment.
function(suite_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()

# suite_benchmark(NAME SOURCES... LIBS ...): built only when Google Benchmark is present; never a test.
function(suite_benchmark name)
  if(NOT benchmark_FOUND)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
endfunction()

# suite_xvfb_test(NAME TARGET [ENVIRONMENT ...]): an end-to-end test run by TARGET inside its own Xvfb server.
# Such tests take turns: two "xvfb-run -a" starting at once may pick the same display. The server must not
# reset when its last client leaves: a program started right after another one ended would find no display.
function(suite_xvfb_test name)
  cmake_parse_arguments(ARG "" "TARGET" "ENVIRONMENT" ${ARGN})
  add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" $<TARGET_FILE:${ARG_TARGET}>)
  set_tests_properties(${name} PROPERTIES TIMEOUT 180 RESOURCE_LOCK xvfb ENVIRONMENT "${ARG_ENVIRONMENT}")
endfunction()
