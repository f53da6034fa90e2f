# Native build (g++ on Linux): portable core, its tests and benchmarks.
find_package(GTest REQUIRED)
find_package(Threads REQUIRED)

add_library(velmora_gtest_main INTERFACE)
target_link_libraries(velmora_gtest_main INTERFACE GTest::gtest GTest::gmock GTest::gtest_main
                      Threads::Threads)

function(velmora_add_test target)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()

velmora_native_tests()

# Fuzz targets are plain functions; test programs replay their corpora, and a
# clang build (preset "fuzz") links them with libFuzzer.
if(EXISTS ${PROJECT_SOURCE_DIR}/tests/fuzz/CMakeLists.txt)
    add_subdirectory(tests/fuzz)
endif()

# Differential tests against an independent implementation (tests/diff).
if(EXISTS ${PROJECT_SOURCE_DIR}/tests/diff/CMakeLists.txt)
    add_subdirectory(tests/diff)
endif()

# The generator of the demonstration machine's description (resources/demo):
#   make_demo_machine resources/demo/demo-machine.txt
if(EXISTS ${PROJECT_SOURCE_DIR}/resources/demo/MakeDemoMachine.cpp)
    add_executable(make_demo_machine ${PROJECT_SOURCE_DIR}/resources/demo/MakeDemoMachine.cpp)
    velmora_warnings(make_demo_machine)
    target_link_libraries(make_demo_machine PRIVATE ${VELMORA_PORTABLE_LIBS})
endif()

if(VELMORA_BENCH AND NOT VELMORA_SANITIZE)
    find_package(benchmark REQUIRED)
    file(GLOB bench_sources CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/*.cpp)
    foreach(src IN LISTS bench_sources)
        get_filename_component(name ${src} NAME_WE)
        add_executable(bench_${name} ${src})
        velmora_warnings(bench_${name})
        target_link_libraries(bench_${name} PRIVATE ${VELMORA_PORTABLE_LIBS}
                              benchmark::benchmark benchmark::benchmark_main)
    endforeach()
endif()
