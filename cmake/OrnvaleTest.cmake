# Paths the tests are given at build time. A Windows build's tests run under Wine, which sees
# this machine's root as drive Z:.
if(WIN32 AND CMAKE_CROSSCOMPILING)
    set(ORNVALE_TEST_ROOT "Z:")
else()
    set(ORNVALE_TEST_ROOT "")
endif()
set(ORNVALE_TEST_DATA_DIR "${ORNVALE_TEST_ROOT}${PROJECT_SOURCE_DIR}/tests/data")

# The definitions every test program and picture renderer gets.
function(ornvale_test_definitions target)
    target_compile_definitions(${target} PRIVATE
        ORNVALE_TEST_DATA="${ORNVALE_TEST_DATA_DIR}"
        ORNVALE_BINARY_DIR="${ORNVALE_TEST_ROOT}${PROJECT_BINARY_DIR}"
        ORNVALE_EXE_SUFFIX="${CMAKE_EXECUTABLE_SUFFIX}")
endfunction()

# ornvale_add_test(NAME <name> SOURCES <files...> LIBS <targets...> LABEL unit|ui|cli)
# One Qt Test executable, registered with CTest. Window tests run on the offscreen platform.
function(ornvale_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    ornvale_target_defaults(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    ornvale_test_definitions(${T_NAME})
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(env "LANG=C.UTF-8")
    if(T_LABEL STREQUAL "ui")
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()

# ornvale_add_fuzzer(NAME <name> SOURCES <files...> LIBS <targets...>)
# A libFuzzer target (clang only), built by the ornvale_fuzzers target of a fuzz build.
function(ornvale_add_fuzzer)
    cmake_parse_arguments(F "" "NAME" "SOURCES;LIBS" ${ARGN})
    add_executable(${F_NAME} EXCLUDE_FROM_ALL ${F_SOURCES})
    ornvale_target_defaults(${F_NAME})
    target_include_directories(${F_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
    target_link_libraries(${F_NAME} PRIVATE ${F_LIBS})
    add_dependencies(ornvale_fuzzers ${F_NAME})
endfunction()
