# ornvale_add_test(NAME <name> SOURCES <files...> LIBS <targets...> LABEL unit|ui|cli)
# One Qt Test executable, registered with CTest. Window tests run on the offscreen platform.
function(ornvale_add_test)
    cmake_parse_arguments(T "" "NAME;LABEL" "SOURCES;LIBS" ${ARGN})
    add_executable(${T_NAME} ${T_SOURCES})
    ornvale_target_defaults(${T_NAME})
    target_link_libraries(${T_NAME} PRIVATE Qt6::Test ${T_LIBS})
    target_include_directories(${T_NAME} PRIVATE ${PROJECT_SOURCE_DIR}/tests)
    target_compile_definitions(${T_NAME} PRIVATE
        ORNVALE_TEST_DATA="${PROJECT_SOURCE_DIR}/tests/data"
        ORNVALE_BINARY_DIR="${PROJECT_BINARY_DIR}")
    add_test(NAME ${T_NAME} COMMAND ${T_NAME})
    set(env "LANG=C.UTF-8")
    if(T_LABEL STREQUAL "ui")
        list(APPEND env "QT_QPA_PLATFORM=offscreen")
    endif()
    set_tests_properties(${T_NAME} PROPERTIES LABELS "${T_LABEL}" ENVIRONMENT "${env}" TIMEOUT 600)
endfunction()
