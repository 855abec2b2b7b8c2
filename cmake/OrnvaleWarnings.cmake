# Warnings and sanitizers for every target of the project.
set(ORNVALE_WARNINGS -Wall -Wextra -Wold-style-cast -Wnon-virtual-dtor -Wpedantic)
if(ORNVALE_WERROR)
    list(APPEND ORNVALE_WARNINGS -Werror)
endif()

function(ornvale_target_defaults target)
    target_compile_options(${target} PRIVATE ${ORNVALE_WARNINGS})
    target_compile_definitions(${target} PRIVATE QT_NO_CAST_FROM_ASCII QT_NO_NARROWING_CONVERSIONS_IN_CONNECT)
endfunction()

# The code paths written with SSE2 intrinsics have scalar twins; this build uses those.
if(ORNVALE_NO_SIMD)
    add_compile_definitions(ORNVALE_NO_SIMD)
endif()

if(ORNVALE_SANITIZE)
    add_compile_options(-fsanitize=address,undefined -fno-omit-frame-pointer -fno-sanitize-recover=undefined)
    add_link_options(-fsanitize=address,undefined)
endif()

if(ORNVALE_TSAN)
    if(ORNVALE_SANITIZE OR ORNVALE_FUZZ)
        message(FATAL_ERROR "ORNVALE_TSAN cannot be combined with ORNVALE_SANITIZE or ORNVALE_FUZZ")
    endif()
    add_compile_options(-fsanitize=thread -fno-omit-frame-pointer)
    add_link_options(-fsanitize=thread)
endif()

if(ORNVALE_FUZZ)
    if(NOT CMAKE_CXX_COMPILER_ID MATCHES "Clang")
        message(FATAL_ERROR "ORNVALE_FUZZ needs clang (-DCMAKE_CXX_COMPILER=clang++)")
    endif()
    add_compile_options(-fsanitize=fuzzer-no-link,address,undefined -fno-omit-frame-pointer)
    add_link_options(-fsanitize=address,undefined)
endif()
