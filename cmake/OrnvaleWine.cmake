# A Windows build made on Linux runs its tests under Wine: CMake puts the emulator script in
# front of every test program. The programs find the Qt and MinGW libraries through WINEPATH.
find_program(ORNVALE_WINE wine REQUIRED)
set(ORNVALE_WINE_TEMPLATE ${CMAKE_BINARY_DIR}/wine-template)

set(dll_dirs "")
foreach(dll Qt6Core.dll libstdc++-6.dll libwinpthread-1.dll)
    if(dll MATCHES "^Qt6")
        set(found ${ORNVALE_WINDOWS_QT}/bin/${dll})
    else()
        execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
            OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    endif()
    if(NOT EXISTS "${found}")
        message(FATAL_ERROR "${dll} not found for the Wine runs (ORNVALE_WINDOWS_QT=${ORNVALE_WINDOWS_QT})")
    endif()
    get_filename_component(dir "${found}" DIRECTORY)
    string(REPLACE "/" "\\" dir "${dir}")
    list(APPEND dll_dirs "Z:${dir}")
endforeach()
list(JOIN dll_dirs ";" ORNVALE_WINE_PATH)

configure_file(${CMAKE_CURRENT_LIST_DIR}/windows/wine-run.sh.in ${CMAKE_BINARY_DIR}/wine-run.sh
    @ONLY FILE_PERMISSIONS OWNER_READ OWNER_WRITE OWNER_EXECUTE GROUP_READ GROUP_EXECUTE
    WORLD_READ WORLD_EXECUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_BINARY_DIR}/wine-run.sh)
