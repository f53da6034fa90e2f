# Shared helpers for every build of Velmora.

# Warnings are errors on our own code (not on third-party sources built here).
function(velmora_warnings target)
    target_compile_options(${target} PRIVATE -Wall -Wextra -Werror -Wshadow
                                             -Wnon-virtual-dtor -Wno-missing-field-initializers)
endfunction()

# Collects the portable .cpp files of the given folders (not recursive):
# everything except Win32 files (*.win32.cpp).
function(velmora_portable_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.cpp)
        list(FILTER found EXCLUDE REGEX "\\.win32\\.cpp$")
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Collects the Win32 files (*.win32.cpp) of the given folders.
function(velmora_win32_sources out)
    set(result)
    foreach(dir IN LISTS ARGN)
        file(GLOB found CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/${dir}/*.win32.cpp)
        list(APPEND result ${found})
    endforeach()
    set(${out} ${result} PARENT_SCOPE)
endfunction()

# Every build of a library first checks the includes against the layers of
# cmake/Layers.cmake (again whenever a source changes).
file(GLOB_RECURSE VELMORA_LAYERED_SOURCES CONFIGURE_DEPENDS
     ${PROJECT_SOURCE_DIR}/platform/*.h ${PROJECT_SOURCE_DIR}/platform/*.cpp
     ${PROJECT_SOURCE_DIR}/security/*.h ${PROJECT_SOURCE_DIR}/security/*.cpp
     ${PROJECT_SOURCE_DIR}/files/*.h ${PROJECT_SOURCE_DIR}/files/*.cpp
     ${PROJECT_SOURCE_DIR}/framework/*.h ${PROJECT_SOURCE_DIR}/framework/*.cpp
     ${PROJECT_SOURCE_DIR}/resources/*.h
     ${PROJECT_SOURCE_DIR}/app/*.h ${PROJECT_SOURCE_DIR}/app/*.cpp
     ${PROJECT_SOURCE_DIR}/backup/*.h ${PROJECT_SOURCE_DIR}/backup/*.cpp
     ${PROJECT_SOURCE_DIR}/lists/*.h ${PROJECT_SOURCE_DIR}/lists/*.cpp
     ${PROJECT_SOURCE_DIR}/advanced/*.h ${PROJECT_SOURCE_DIR}/advanced/*.cpp
     ${PROJECT_SOURCE_DIR}/bookmarks/*.h ${PROJECT_SOURCE_DIR}/bookmarks/*.cpp
     ${PROJECT_SOURCE_DIR}/controls/*.h ${PROJECT_SOURCE_DIR}/controls/*.cpp
     ${PROJECT_SOURCE_DIR}/cli/*.h ${PROJECT_SOURCE_DIR}/cli/*.cpp
     ${PROJECT_SOURCE_DIR}/demo/*.h ${PROJECT_SOURCE_DIR}/demo/*.cpp)
set(VELMORA_LAYERS_STAMP ${CMAKE_BINARY_DIR}/velmora-layers.stamp)
add_custom_command(
    OUTPUT ${VELMORA_LAYERS_STAMP}
    COMMAND ${CMAKE_COMMAND} -DROOT=${PROJECT_SOURCE_DIR} -DSTAMP=${VELMORA_LAYERS_STAMP}
            -P ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    DEPENDS ${VELMORA_LAYERED_SOURCES} ${PROJECT_SOURCE_DIR}/cmake/Layers.cmake
            ${PROJECT_SOURCE_DIR}/cmake/CheckLayers.cmake
    COMMENT "Checking the includes against the layers"
    VERBATIM)
add_custom_target(velmora_layers DEPENDS ${VELMORA_LAYERS_STAMP})

# A static library of our own code, linked to the libraries named after
# DEPENDS; an empty source list gives an interface library so that folders can
# start empty.
function(velmora_library name sources)
    cmake_parse_arguments(ARG "" "" "DEPENDS" ${ARGN})
    if(sources)
        add_library(${name} STATIC ${sources})
        target_include_directories(${name} PUBLIC ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} PUBLIC ${ARG_DEPENDS})
        velmora_warnings(${name})
        add_dependencies(${name} velmora_layers)
    else()
        add_library(${name} INTERFACE)
        target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
        target_link_libraries(${name} INTERFACE ${ARG_DEPENDS})
    endif()
endfunction()

if(VELMORA_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-sanitize-recover=all
                        -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()

# ThreadSanitizer for the tests of the worker threads (preset native-tsan).
option(VELMORA_TSAN "Build with ThreadSanitizer" OFF)
if(VELMORA_TSAN)
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

# Portable test programs: one per folder below tests/native, named test_<folder>.
# They run natively and, in the Windows build, under Wine as well.
function(velmora_native_tests)
    file(GLOB dirs LIST_DIRECTORIES true CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/tests/native/*)
    foreach(dir IN LISTS dirs)
        if(IS_DIRECTORY ${dir})
            get_filename_component(area ${dir} NAME)
            # NTFS volumes mounted on Linux: built natively only (cmake/Ntfs.cmake).
            if(WIN32 AND area STREQUAL "ntfs")
                continue()
            endif()
            file(GLOB sources CONFIGURE_DEPENDS ${dir}/*.cpp)
            if(sources)
                add_executable(test_${area} ${sources})
                velmora_warnings(test_${area})
                target_include_directories(test_${area} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
                target_link_libraries(test_${area} PRIVATE ${VELMORA_PORTABLE_LIBS}
                                      velmora_gtest_main)
                velmora_add_test(test_${area})
            endif()
        endif()
    endforeach()
endfunction()
