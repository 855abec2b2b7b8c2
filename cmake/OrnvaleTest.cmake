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

# ornvale_add_test(NAME <name> SOURCES <files...> LIBS <targets...> LABEL unit|ui|cli [THREADS])
# One Qt Test executable, registered with CTest. Window tests run on the offscreen platform.
# THREADS marks a test whose code under test starts threads of its own (in the test or in a
# program it runs): it gets the label `threads`, which the ThreadSanitizer build runs.
function(ornvale_add_test)
    cmake_parse_arguments(T "THREADS" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
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
    set(labels ${T_LABEL})
    if(T_THREADS)
        list(APPEND labels threads)
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${labels}" ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()

# ornvale_add_fuzzer(NAME <name> SOURCES <files...> LIBS <targets...> [THREADS])
# In a fuzz build (clang, ORNVALE_FUZZ) a libFuzzer target, built by the ornvale_fuzzers target.
# In every other Linux build the same entry point linked with a small main that replays the kept
# corpus (tests/data/fuzz/<name>/) once, registered as the test <name>_replay (labelled `fuzz`,
# and `threads` with THREADS, as in ornvale_add_test).
function(ornvale_add_fuzzer)
    cmake_parse_arguments(F "THREADS" "NAME" "SOURCES;LIBS" ${ARGN})
    if(ORNVALE_FUZZ)
        add_executable(${F_NAME} EXCLUDE_FROM_ALL ${F_SOURCES})
        target_compile_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
        target_link_options(${F_NAME} PRIVATE -fsanitize=fuzzer)
        add_dependencies(ornvale_fuzzers ${F_NAME})
        set(target ${F_NAME})
    else()
        set(target ${F_NAME}_replay)
        add_executable(${target} ${F_SOURCES} ${PROJECT_SOURCE_DIR}/tests/fuzz/ReplayMain.cpp)
        add_test(NAME ${target} COMMAND ${target} ${PROJECT_SOURCE_DIR}/tests/data/fuzz/${F_NAME})
        set(labels fuzz)
        if(F_THREADS)
            list(APPEND labels threads)
        endif()
        set_tests_properties(${target} PROPERTIES LABELS "${labels}" ENVIRONMENT "LANG=C.UTF-8"
            TIMEOUT 600)
    endif()
    ornvale_target_defaults(${target})
    target_include_directories(${target} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_link_libraries(${target} PRIVATE ${F_LIBS})
endfunction()
