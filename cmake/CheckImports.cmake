# Fails unless the executable EXE imports only DLLs of the Windows system:
# a static build must not need the compiler's runtime DLLs.
# Usage: cmake -DOBJDUMP=<objdump> -DEXE=<file.exe> -P CheckImports.cmake
cmake_policy(SET CMP0057 NEW)  # if(IN_LIST)
execute_process(COMMAND ${OBJDUMP} -p ${EXE} OUTPUT_VARIABLE dump RESULT_VARIABLE result)
if(NOT result EQUAL 0)
    message(FATAL_ERROR "${OBJDUMP} -p ${EXE} failed")
endif()
string(REGEX MATCHALL "DLL Name: [^\n]+" lines "${dump}")
set(system_dlls advapi32 comctl32 comdlg32 gdi32 gdiplus kernel32 msvcrt netapi32 ole32 oleaut32
                shell32 shlwapi user32 uxtheme version wininet)
set(bad)
foreach(line IN LISTS lines)
    string(REGEX REPLACE "DLL Name: ([^.]+)\\.[dD][lL][lL].*" "\\1" dll "${line}")
    string(TOLOWER "${dll}" dll)
    string(STRIP "${dll}" dll)
    if(NOT dll IN_LIST system_dlls AND NOT dll MATCHES "^api-ms-win-")
        list(APPEND bad ${dll})
    endif()
    message(STATUS "imports ${dll}.dll")
endforeach()
if(bad)
    message(FATAL_ERROR "${EXE} imports DLLs that are not part of Windows: ${bad}")
endif()
