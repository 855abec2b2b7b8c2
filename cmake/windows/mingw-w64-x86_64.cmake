# Cross-compiles for 64-bit Windows with Debian's MinGW-w64 (the -posix thread model, which gives
# std::thread and std::mutex). Used for the Qt build and for Ornvale itself; for Ornvale, pass the
# Windows Qt with -DORNVALE_WINDOWS_QT=<its install prefix>.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(MINGW_TRIPLET x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${MINGW_TRIPLET}-gcc-posix)
set(CMAKE_CXX_COMPILER ${MINGW_TRIPLET}-g++-posix)
set(CMAKE_RC_COMPILER ${MINGW_TRIPLET}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${MINGW_TRIPLET})
list(APPEND CMAKE_TRY_COMPILE_PLATFORM_VARIABLES ORNVALE_WINDOWS_QT)
if(ORNVALE_WINDOWS_QT)
    list(APPEND CMAKE_FIND_ROOT_PATH ${ORNVALE_WINDOWS_QT})
    list(APPEND CMAKE_PREFIX_PATH ${ORNVALE_WINDOWS_QT})
endif()
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# moc, rcc and uic come from the host's Qt of the same version.
set(QT_HOST_PATH /usr CACHE PATH "Host Qt")
set(QT_HOST_PATH_CMAKE_DIR /usr/lib/x86_64-linux-gnu/cmake CACHE PATH "Host Qt's CMake packages")
