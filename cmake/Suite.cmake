# Helpers shared by the three programs' build files.

# Every package the suite needs is looked for once: here when more than one program uses it, in the
# program's top CMakeLists.txt otherwise.
find_package(Qt6 REQUIRED COMPONENTS Core Gui Widgets PrintSupport Network Test)
find_package(GTest REQUIRED)
find_package(benchmark QUIET)
include(GoogleTest)

include(GNUInstallDirs)

# moc runs only on the targets that declare it (`suite_moc`): scanning every target's sources for Q_OBJECT
# and compiling an empty moc file per target costs build time for nothing.
set(CMAKE_AUTOMOC OFF)
function(suite_moc)
  set_target_properties(${ARGN} PROPERTIES AUTOMOC ON)
endfunction()

# `cmake --build B --target programs` builds the three programs and nothing else; `benchmarks` builds the
# benchmarks, which the default target leaves out (the test builds never run them).
add_custom_target(programs)
add_custom_target(benchmarks)

# The reverse-DNS prefix of the programs' desktop entries, icons and metadata.
set(SUITE_APP_ID_PREFIX "org.suiteweb")

# Programs land in build/bin, benchmarks in build/bench, fuzz targets in build-fuzz/fuzz.
function(suite_program target)
  set_target_properties(${target} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bin)
  add_dependencies(programs ${target})
  install(TARGETS ${target} RUNTIME DESTINATION ${CMAKE_INSTALL_BINDIR})
endfunction()

# suite_desktop_data(PROGRAM): installs what a desktop needs of PROGRAM from the calling folder's data/:
# its desktop entry, AppStream metadata, scalable icon and PNG renderings (data/icons/N.png, made by
# cmake/render-icons.sh), and its manual page PROGRAM.1.
function(suite_desktop_data program)
  set(id ${SUITE_APP_ID_PREFIX}.${program})
  set(data ${CMAKE_CURRENT_SOURCE_DIR}/data)
  install(FILES ${data}/${id}.desktop DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
  install(FILES ${data}/${id}.metainfo.xml DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
  install(FILES ${data}/${id}.svg DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
  foreach(size 16 22 24 32 48 64 128 256)
    install(FILES ${data}/icons/${size}.png
            DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME ${id}.png)
  endforeach()
  install(FILES ${data}/${program}.1 DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endfunction()

# suite_gtest(NAME SOURCES... LIBS ...): a GoogleTest executable whose cases CTest lists one by one.
# Widget tests get the offscreen platform from CTest's environment.
function(suite_gtest name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} GTest::gtest GTest::gmock)
  # A test program's files share their heavy headers (GoogleTest, GoogleMock, Qt): compiled as one unit they
  # are read once instead of once per file.
  set_target_properties(${name} PROPERTIES UNITY_BUILD ON UNITY_BUILD_BATCH_SIZE 0)
  # GCC takes the included files for headers and warns of test classes deriving from fixtures in an anonymous
  # namespace, which is harmless inside one program.
  if(CMAKE_CXX_COMPILER_ID STREQUAL "GNU")
    target_compile_options(${name} PRIVATE -Wno-subobject-linkage)
  endif()
  gtest_discover_tests(${name}
    DISCOVERY_TIMEOUT 60
    PROPERTIES ENVIRONMENT "QT_QPA_PLATFORM=offscreen" TIMEOUT 120)
endfunction()

# suite_benchmark(NAME SOURCES... LIBS ...): built only when Google Benchmark is present, by the `benchmarks`
# target (`./suite bench`, `./suite release`); never a test.
function(suite_benchmark name)
  if(NOT benchmark_FOUND)
    return()
  endif()
  cmake_parse_arguments(ARG "" "" "SOURCES;LIBS" ${ARGN})
  add_executable(${name} EXCLUDE_FROM_ALL ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS} benchmark::benchmark)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/bench)
  add_dependencies(benchmarks ${name})
endfunction()

# suite_xvfb_test(NAME TARGET [ENVIRONMENT ...]): an end-to-end test run by TARGET inside its own Xvfb server.
# Such tests take turns: two "xvfb-run -a" starting at once may pick the same display. The server must not
# reset when its last client leaves: a program started right after another one ended would find no display.
function(suite_xvfb_test name)
  cmake_parse_arguments(ARG "" "TARGET" "ENVIRONMENT" ${ARGN})
  add_test(NAME ${name} COMMAND xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" $<TARGET_FILE:${ARG_TARGET}>)
  # The programs must draw on the Xvfb display even when the caller's environment asks Qt for another platform.
  set_tests_properties(${name} PROPERTIES TIMEOUT 180 RESOURCE_LOCK xvfb
                       ENVIRONMENT "QT_QPA_PLATFORM=xcb;${ARG_ENVIRONMENT}")
endfunction()

# suite_fuzz(NAME SOURCES... LIBS ... [CORPUS DIR]): a libFuzzer target, built only in the fuzz build
# (clang, -DSUITE_FUZZ=ON; `./suite fuzz` makes it). Call it from a program's `fuzz/` folder; its seed corpus
# is `fuzz/corpus/NAME/` there unless CORPUS says otherwise. `./suite fuzz` runs every target over its seeds,
# `./suite fuzz NAME SECONDS` mutates from them. The libraries the target links are instrumented too, since
# the fuzz build compiles everything with -fsanitize=fuzzer-no-link.
if(SUITE_FUZZ AND NOT TARGET fuzz)
  add_custom_target(fuzz)
  file(GLOB stale_seeds ${CMAKE_BINARY_DIR}/fuzz/*.seeds)  # of targets since removed
  if(stale_seeds)
    file(REMOVE ${stale_seeds})
  endif()
endif()
function(suite_fuzz name)
  if(NOT SUITE_FUZZ)
    return()
  endif()
  cmake_parse_arguments(ARG "" "CORPUS" "SOURCES;LIBS" ${ARGN})
  if(NOT ARG_CORPUS)
    set(ARG_CORPUS ${CMAKE_CURRENT_SOURCE_DIR}/corpus/${name})
  endif()
  add_executable(${name} ${ARG_SOURCES})
  target_link_libraries(${name} PRIVATE ${ARG_LIBS})
  target_link_options(${name} PRIVATE -fsanitize=fuzzer)
  set_target_properties(${name} PROPERTIES RUNTIME_OUTPUT_DIRECTORY ${CMAKE_BINARY_DIR}/fuzz)
  add_dependencies(fuzz ${name})
  # The suite script finds each target's seeds through this file.
  file(WRITE ${CMAKE_BINARY_DIR}/fuzz/${name}.seeds "${ARG_CORPUS}\n")
endfunction()
