# The portable Windows zip: `cmake --build <dir> --target ornvale_zip` writes
# <dir>/ornvale-<version>-win64.zip with the three programs, the Qt libraries and plugins they
# load, the Japanese texts of Qt's standard buttons and the MinGW runtime. Unpacked anywhere,
# it runs; qt.conf points Qt at the folders beside the programs.
set(ORNVALE_ZIP_NAME ornvale-${PROJECT_VERSION}-win64)
set(ORNVALE_ZIP ${CMAKE_BINARY_DIR}/${ORNVALE_ZIP_NAME}.zip)

# The MinGW runtime that the programs and Qt link dynamically.
set(ORNVALE_MINGW_RUNTIME "")
foreach(dll libstdc++-6.dll libgcc_s_seh-1.dll libwinpthread-1.dll)
    execute_process(COMMAND ${CMAKE_CXX_COMPILER} -print-file-name=${dll}
        OUTPUT_VARIABLE found OUTPUT_STRIP_TRAILING_WHITESPACE)
    if(NOT IS_ABSOLUTE "${found}" OR NOT EXISTS "${found}")
        message(FATAL_ERROR "The MinGW runtime ${dll} was not found (${CMAKE_CXX_COMPILER})")
    endif()
    list(APPEND ORNVALE_MINGW_RUNTIME ${found})
endforeach()

# Qt's own translations of its standard buttons, from the host (qt6-translations-l10n): the same
# version as the Windows Qt.
find_file(ORNVALE_QT_JA_QM qtbase_ja.qm PATHS /usr/share/qt6/translations NO_CMAKE_FIND_ROOT_PATH
    NO_DEFAULT_PATH REQUIRED)

add_custom_target(ornvale_zip
    COMMAND ${CMAKE_COMMAND}
        -DSTAGE=${CMAKE_BINARY_DIR}/zip/${ORNVALE_ZIP_NAME}
        -DZIP=${ORNVALE_ZIP}
        "-DPROGRAMS=$<TARGET_FILE:ornvale>;$<TARGET_FILE:ornvale-cli>;$<TARGET_FILE:ornvale-acad-sim>"
        "-DLIBRARIES=$<TARGET_FILE:Qt6::Core>;$<TARGET_FILE:Qt6::Gui>;$<TARGET_FILE:Qt6::Widgets>;${ORNVALE_MINGW_RUNTIME}"
        -DPLATFORM=$<TARGET_FILE:Qt6::QWindowsIntegrationPlugin>
        -DSTYLE=$<TARGET_FILE:Qt6::QWindowsVistaStylePlugin>
        -DTRANSLATION=${ORNVALE_QT_JA_QM}
        -P ${PROJECT_SOURCE_DIR}/cmake/windows/make-zip.cmake
    DEPENDS ornvale ornvale-cli ornvale-acad-sim
    BYPRODUCTS ${ORNVALE_ZIP}
    COMMENT "Writing ${ORNVALE_ZIP_NAME}.zip"
    VERBATIM)
