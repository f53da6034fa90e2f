# Windows build (mingw-w64): the portable core again, the Win32 layer,
# velmora.exe and the Windows test programs. In the cross build CTest runs
# every test program through Wine (scripts/wine-run).

# Every program is one static executable that imports nothing but system DLLs.
add_compile_definitions(UNICODE _UNICODE _WIN32_WINNT=0x0601 WINVER=0x0601 NOMINMAX)
add_link_options(-static -static-libgcc -static-libstdc++)

# --- Our Win32 code ----------------------------------------------------------
# System libraries of the Win32 layer and the windows.
add_library(velmora_system_libs INTERFACE)
target_link_libraries(velmora_system_libs INTERFACE comctl32 uxtheme gdiplus shlwapi shell32 ole32
                      oleaut32 uuid netapi32 advapi32 wininet comdlg32 version gdi32 user32)

file(GLOB WIN32_PLATFORM_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/win32/*.cpp)
file(GLOB FRAMEWORK_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/framework/*.cpp)
velmora_win32_sources(WINDOWS_SOURCES app security backup lists advanced bookmarks controls)
list(REMOVE_ITEM WINDOWS_SOURCES ${PROJECT_SOURCE_DIR}/app/Main.win32.cpp)

velmora_library(vm_win32 "${WIN32_PLATFORM_SOURCES}"
                DEPENDS vm_descriptor vm_seam velmora_system_libs)
velmora_library(vm_framework "${FRAMEWORK_SOURCES}" DEPENDS vm_seam velmora_system_libs)
# The windows take their Platform from the application context: neither they
# nor velmora.exe link the simulated machine (the window tests do).
velmora_library(vm_windows "${WINDOWS_SOURCES}" DEPENDS vm_framework vm_win32 vm_models)

# The resources (strings, icon, version, manifest) as an object library, so
# that every program that links it gets them (a resource object in a static
# library would be dropped: nothing refers to it).
add_library(velmora_resources OBJECT ${PROJECT_SOURCE_DIR}/resources/velmora.rc)
# windres reports no dependencies: rebuild when any file it may include changes.
file(GLOB_RECURSE RESOURCE_FILES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/resources/*.rc ${PROJECT_SOURCE_DIR}/resources/*.h
     ${PROJECT_SOURCE_DIR}/resources/*.manifest ${PROJECT_SOURCE_DIR}/resources/*.ico
     ${PROJECT_SOURCE_DIR}/resources/*.png ${PROJECT_SOURCE_DIR}/resources/*.bin)
set_property(SOURCE ${PROJECT_SOURCE_DIR}/resources/velmora.rc APPEND PROPERTY OBJECT_DEPENDS
             ${RESOURCE_FILES})

# The program: a GUI executable with the Unicode entry point wWinMain, over
# the Win32 platform only.
add_executable(velmora WIN32 ${PROJECT_SOURCE_DIR}/app/Main.win32.cpp)
velmora_warnings(velmora)
target_link_options(velmora PRIVATE -municode)
target_link_libraries(velmora PRIVATE velmora_resources vm_windows)

# velmora-demo.exe: the same program over the demonstration machine, a
# simulated PC it carries as a resource (demo/DemoMain.win32.cpp). Besides the
# tests, the one program that links the simulated machine.
add_library(velmora_demo_resources OBJECT ${PROJECT_SOURCE_DIR}/demo/velmora-demo.rc)
# windres looks for the machine file (resources/demo/...) along the include path.
target_include_directories(velmora_demo_resources PRIVATE ${PROJECT_SOURCE_DIR})
set_property(SOURCE ${PROJECT_SOURCE_DIR}/demo/velmora-demo.rc APPEND PROPERTY OBJECT_DEPENDS
             ${PROJECT_SOURCE_DIR}/resources/demo/demo-machine.txt ${RESOURCE_FILES})
add_executable(velmora-demo WIN32 ${PROJECT_SOURCE_DIR}/demo/DemoMain.win32.cpp)
velmora_warnings(velmora-demo)
target_link_options(velmora-demo PRIVATE -municode)
target_link_libraries(velmora-demo PRIVATE velmora_resources velmora_demo_resources vm_demo
                      vm_windows)

# --- Tests ---------------------------------------------------------------------
# GoogleTest is built from its sources for mingw: Debian's googletest package
# on the build machine; elsewhere point VELMORA_GOOGLETEST_SOURCE at a copy of
# them, or leave it to build the program alone.
set(VELMORA_GOOGLETEST_SOURCE /usr/src/googletest CACHE PATH "GoogleTest sources")
if(NOT EXISTS ${VELMORA_GOOGLETEST_SOURCE}/CMakeLists.txt)
    message(STATUS "No GoogleTest sources in ${VELMORA_GOOGLETEST_SOURCE}: no test programs")
    return()
endif()

# Test programs run under Wine, in the prefix the scripts create (when cross
# building; on Windows they run directly).
if(CMAKE_CROSSCOMPILING)
    set(CMAKE_CROSSCOMPILING_EMULATOR ${PROJECT_SOURCE_DIR}/scripts/wine-run)
endif()

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK ON CACHE BOOL "" FORCE)
add_subdirectory(${VELMORA_GOOGLETEST_SOURCE} ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL
                 SYSTEM)

add_library(velmora_gtest_main INTERFACE)
target_link_libraries(velmora_gtest_main INTERFACE gtest gmock gtest_main)

function(velmora_add_test target)
    add_test(NAME ${target} COMMAND ${target})
    set_tests_properties(${target} PROPERTIES TIMEOUT 600)
endfunction()

# The portable tests again, with the 16-bit wchar_t of Windows.
velmora_native_tests()

# The program imports nothing but system DLLs.
add_test(NAME velmora_imports
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DEXE=$<TARGET_FILE:velmora>
                 -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake)
add_test(NAME velmora_demo_imports
         COMMAND ${CMAKE_COMMAND} -DOBJDUMP=${CMAKE_OBJDUMP} -DEXE=$<TARGET_FILE:velmora-demo>
                 -P ${PROJECT_SOURCE_DIR}/cmake/CheckImports.cmake)

# Window test harness (tests/harness/Harness.h).
file(GLOB HARNESS_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/harness/*.cpp)
add_library(velmora_harness STATIC ${HARNESS_SOURCES})
velmora_warnings(velmora_harness)
target_include_directories(velmora_harness PUBLIC ${PROJECT_SOURCE_DIR} ${PROJECT_SOURCE_DIR}/tests)
target_link_libraries(velmora_harness PUBLIC velmora_system_libs gtest)

# Windows benchmarks: one program per file of bench/windows, named
# wbench_<file>, over the simulated machine with the harness's window thread.
# They print "name: value unit" lines; they are run by hand, not by CTest.
file(GLOB WINDOWS_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/windows/*.cpp)
foreach(src IN LISTS WINDOWS_BENCH_SOURCES)
    get_filename_component(name ${src} NAME_WE)
    add_executable(wbench_${name} ${src})
    velmora_warnings(wbench_${name})
    target_link_libraries(wbench_${name} PRIVATE velmora_resources velmora_harness vm_windows vm_sim)
endforeach()

# One program per file of tests/windows, named wintest_<file>. They find
# velmora.exe beside themselves and save their pictures in build/screenshots.
# Tests that open windows take the display one at a time.
set(VELMORA_SCREENSHOT_DIR ${PROJECT_SOURCE_DIR}/build/screenshots)
file(GLOB WINDOWS_TEST_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/windows/*.cpp)
foreach(src IN LISTS WINDOWS_TEST_SOURCES)
    get_filename_component(name ${src} NAME_WE)
    set(target wintest_${name})
    add_executable(${target} ${src})
    velmora_warnings(${target})
    # The window tests run the real windows over the simulated machine.
    target_link_libraries(${target} PRIVATE velmora_resources velmora_harness vm_windows vm_sim
                          velmora_gtest_main)
    add_dependencies(${target} velmora velmora-demo)
    velmora_add_test(${target})
    set_tests_properties(${target} PROPERTIES RESOURCE_LOCK display ENVIRONMENT
                         "VELMORA_SCREENSHOT_DIR=${VELMORA_SCREENSHOT_DIR}")
endforeach()

# The display-scale test once more at 150%: Wine takes the scale from
# LogPixels of its prefix, and scripts/wine-run keeps a prefix of that scale
# beside the usual one (VELMORA_WINE_DPI).
if(TARGET wintest_DisplayScaleTest)
    add_test(NAME wintest_DisplayScaleTest_144 COMMAND wintest_DisplayScaleTest)
    set_tests_properties(wintest_DisplayScaleTest_144 PROPERTIES TIMEOUT 600 RESOURCE_LOCK display
                         ENVIRONMENT
                         "VELMORA_SCREENSHOT_DIR=${VELMORA_SCREENSHOT_DIR};VELMORA_WINE_DPI=144")
endif()
