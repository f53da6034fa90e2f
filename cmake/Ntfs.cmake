# NTFS volumes mounted on Linux (platform/ntfs): a library of the native
# build only, with its test program (tests/native/ntfs, made by
# velmora_native_tests) and its benchmarks (bench/ntfs_*.cpp). Included after
# those are defined. The Windows build leaves all of it out.
find_package(PkgConfig REQUIRED)
pkg_check_modules(HIVEX REQUIRED IMPORTED_TARGET hivex)

file(GLOB NTFS_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/platform/ntfs/*.cpp)
velmora_library(vm_ntfs "${NTFS_SOURCES}" DEPENDS vm_rules)
target_link_libraries(vm_ntfs PRIVATE PkgConfig::HIVEX)

# The real-volume rig: makes, mounts and audits NTFS images in a folder of
# the build tree. Tests of the store and of the command line use it.
file(GLOB NTFS_RIG_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/ntfs/rig/*.cpp)
add_library(vm_ntfs_rig STATIC ${NTFS_RIG_SOURCES})
velmora_warnings(vm_ntfs_rig)
target_include_directories(vm_ntfs_rig PUBLIC ${PROJECT_SOURCE_DIR}/tests)
target_compile_definitions(vm_ntfs_rig PRIVATE
                           VELMORA_NTFS_RIG_DIR="${CMAKE_BINARY_DIR}/ntfs-rig")

if(TARGET test_ntfs)
    target_link_libraries(test_ntfs PRIVATE vm_ntfs vm_ntfs_rig)
endif()
file(GLOB NTFS_BENCH_SOURCES CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/bench/ntfs_*.cpp)
foreach(src IN LISTS NTFS_BENCH_SOURCES)
    get_filename_component(name ${src} NAME_WE)
    if(TARGET bench_${name})
        target_link_libraries(bench_${name} PRIVATE vm_ntfs vm_ntfs_rig)
    endif()
endforeach()
