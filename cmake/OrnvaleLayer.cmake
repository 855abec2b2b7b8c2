# ornvale_add_layer(<target> LIBS <public deps...>)
# A static library from every source file of the calling folder. Files ending in _win.cpp are
# built only on Windows, files ending in _posix.cpp everywhere else. The folder itself is the
# include root, so a layer sees only the headers of the layers it links.
function(ornvale_add_layer target)
    cmake_parse_arguments(L "" "" "LIBS" ${ARGN})
    file(GLOB sources CONFIGURE_DEPENDS ${CMAKE_CURRENT_SOURCE_DIR}/*.cpp ${CMAKE_CURRENT_SOURCE_DIR}/*.h)
    if(WIN32)
        list(FILTER sources EXCLUDE REGEX "_posix\\.cpp$")
    else()
        list(FILTER sources EXCLUDE REGEX "_win\\.cpp$")
    endif()
    add_library(${target} STATIC ${sources})
    ornvale_target_defaults(${target})
    target_include_directories(${target} PUBLIC ${CMAKE_CURRENT_SOURCE_DIR})
    target_link_libraries(${target} PUBLIC ${L_LIBS})
    target_compile_definitions(${target} PUBLIC
        ORNVALE_VERSION_MAJOR=${PROJECT_VERSION_MAJOR}
        ORNVALE_VERSION_MINOR=${PROJECT_VERSION_MINOR}
        ORNVALE_VERSION_PATCH=${PROJECT_VERSION_PATCH})
endfunction()
