# velmora-cli, the command line (cli/): its portable files make vm_cli; the
# program is cli/Main.win32.cpp over the Win32 platform in the Windows build
# and cli/VolumeMain.cpp over NTFS volumes mounted on Linux in the native
# build. tests/native/cli (test_cli) runs it over the simulated machine in
# both builds; the real-volume tests live with the NTFS tests.
file(GLOB CLI_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/cli/*.cpp)
list(FILTER CLI_SOURCES EXCLUDE REGEX "(\\.win32\\.cpp|/VolumeMain\\.cpp|/VolumeHost\\.cpp)$")
velmora_library(vm_cli "${CLI_SOURCES}" DEPENDS vm_models vm_rules)

if(TARGET test_cli)
    target_link_libraries(test_cli PRIVATE vm_cli)
endif()

if(WIN32)
    file(GLOB CLI_WIN32_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/cli/*.win32.cpp)
    set(CLI_CONSOLE_SOURCES ${CLI_WIN32_SOURCES})
    list(FILTER CLI_CONSOLE_SOURCES EXCLUDE REGEX "/Main\\.win32\\.cpp$")
    velmora_library(vm_cli_console "${CLI_CONSOLE_SOURCES}" DEPENDS vm_cli)
    add_executable(velmora-cli ${PROJECT_SOURCE_DIR}/cli/Main.win32.cpp)
    velmora_warnings(velmora-cli)
    target_link_options(velmora-cli PRIVATE -municode)
    target_link_libraries(velmora-cli PRIVATE vm_cli_console vm_win32)
    # A test program only: the same console program over a simulated
    # machine read from a machine description file, for the tests under Wine.
    if(EXISTS ${PROJECT_SOURCE_DIR}/tests/cli/SimConsoleMain.win32.cpp)
        add_executable(velmora-cli-sim ${PROJECT_SOURCE_DIR}/tests/cli/SimConsoleMain.win32.cpp)
        velmora_warnings(velmora-cli-sim)
        target_link_options(velmora-cli-sim PRIVATE -municode)
        target_link_libraries(velmora-cli-sim PRIVATE vm_cli_console vm_sim)
        if(TARGET wintest_CliConsoleTest)
            add_dependencies(wintest_CliConsoleTest velmora-cli velmora-cli-sim)
        endif()
    endif()
else()
    velmora_library(vm_cli_volume ${PROJECT_SOURCE_DIR}/cli/VolumeHost.cpp DEPENDS vm_cli vm_ntfs)
    add_executable(velmora-cli ${PROJECT_SOURCE_DIR}/cli/VolumeMain.cpp)
    velmora_warnings(velmora-cli)
    target_link_libraries(velmora-cli PRIVATE vm_cli_volume)
    if(TARGET test_ntfs)
        target_link_libraries(test_ntfs PRIVATE vm_cli)
        add_dependencies(test_ntfs velmora-cli)
        target_compile_definitions(test_ntfs PRIVATE
                                   VELMORA_CLI_PROGRAM="$<TARGET_FILE:velmora-cli>")
    endif()
    foreach(src IN LISTS NTFS_BENCH_SOURCES)
        get_filename_component(name ${src} NAME_WE)
        if(TARGET bench_${name})
            target_link_libraries(bench_${name} PRIVATE vm_cli_volume)
        endif()
    endforeach()
endif()
