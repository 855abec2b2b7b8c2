# cmake -DSTAGE=<folder> -DZIP=<file> -DPROGRAMS=<list> -DLIBRARIES=<list> -DPLATFORM=<dll>
#       -DSTYLE=<dll> -DTRANSLATION=<qm> -P make-zip.cmake
# Stages the portable Windows program in STAGE and packs it into ZIP (see OrnvaleWindowsZip.cmake).
file(REMOVE_RECURSE ${STAGE})
file(MAKE_DIRECTORY ${STAGE}/platforms ${STAGE}/styles ${STAGE}/translations)
file(COPY ${PROGRAMS} ${LIBRARIES} DESTINATION ${STAGE})
file(COPY ${PLATFORM} DESTINATION ${STAGE}/platforms)
file(COPY ${STYLE} DESTINATION ${STAGE}/styles)
file(COPY ${TRANSLATION} DESTINATION ${STAGE}/translations)
# Qt looks for its plugins and translations beside the programs, wherever the folder was put.
file(WRITE ${STAGE}/qt.conf "[Paths]\r\nPrefix = .\r\nPlugins = .\r\nTranslations = translations\r\n")
get_filename_component(parent ${STAGE} DIRECTORY)
get_filename_component(name ${STAGE} NAME)
file(REMOVE ${ZIP})
execute_process(COMMAND ${CMAKE_COMMAND} -E tar cf ${ZIP} --format=zip ${name}
    WORKING_DIRECTORY ${parent} RESULT_VARIABLE rc)
if(NOT rc EQUAL 0)
    message(FATAL_ERROR "Could not write ${ZIP}")
endif()
