# cmake -DCLI=<ornvale-cli> -DOUTPUT=<page> -DVERSION=<x.y.z> -DDATE=<yyyy-mm-dd> -P OrnvaleManPage.cmake
# Writes the manual page of ornvale-cli from its own help texts: the general help, then the help
# of every command that the general help lists, so the page cannot drift from the program.
#
# Help layout understood: "  NAME-OR-OPTION  text" starts an item, a line indented deeper
# continues it, an empty line ends a paragraph, "usage:" lines form a synopsis.

foreach(var CLI OUTPUT VERSION DATE)
    if(NOT DEFINED ${var})
        message(FATAL_ERROR "OrnvaleManPage.cmake needs -D${var}=...")
    endif()
endforeach()

function(run_help out)
    execute_process(COMMAND "${CLI}" ${ARGN} --help
        OUTPUT_VARIABLE text ERROR_VARIABLE err RESULT_VARIABLE rc)
    if(NOT rc EQUAL 0 OR text STREQUAL "")
        message(FATAL_ERROR "'${CLI} ${ARGN} --help' failed (${rc}): ${err}")
    endif()
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

# Square brackets and semicolons would upset CMake's lists; they travel as placeholders.
function(help_lines out text)
    string(REPLACE ";" "@SEMI@" text "${text}")
    string(REPLACE "[" "@LB@" text "${text}")
    string(REPLACE "]" "@RB@" text "${text}")
    string(REGEX REPLACE "\n$" "" text "${text}")
    string(REPLACE "\n" ";" text "${text}")
    set(${out} "${text}" PARENT_SCOPE)
endfunction()

function(roff out line)
    string(REPLACE "\\" "\\e" line "${line}")
    string(REPLACE "-" "\\-" line "${line}")
    string(REPLACE "@SEMI@" ";" line "${line}")
    string(REPLACE "@LB@" "[" line "${line}")
    string(REPLACE "@RB@" "]" line "${line}")
    if(line MATCHES "^[.']")
        set(line "\\&${line}")
    endif()
    set(${out} "${line}" PARENT_SCOPE)
endfunction()

# The help text as man requests; item terms in bold.
function(help_to_roff out text)
    help_lines(lines "${text}")
    set(page "")
    set(inUsage FALSE)
    foreach(line IN LISTS lines)
        string(STRIP "${line}" stripped)
        if(stripped STREQUAL "")
            set(inUsage FALSE)
            string(APPEND page ".PP\n")
        elseif(line MATCHES "^usage: (.*)$")
            roff(usage "${CMAKE_MATCH_1}")
            string(APPEND page ".PP\n.B Usage:\n.br\n${usage}\n.br\n")
            set(inUsage TRUE)
        elseif(inUsage)
            roff(usage "${stripped}")
            string(APPEND page "${usage}\n.br\n")
        elseif(line MATCHES "^  ([^ ]+( [^ ]+)*)(  +(.*))?$")
            roff(term "${CMAKE_MATCH_1}")
            roff(desc "${CMAKE_MATCH_4}")
            string(APPEND page ".TP\n.B ${term}\n")
            if(NOT desc STREQUAL "")
                string(APPEND page "${desc}\n")
            endif()
        elseif(line MATCHES "^   ")
            roff(more "${stripped}")
            string(APPEND page "${more}\n")
        else()
            roff(plain "${line}")
            string(APPEND page "${plain}\n")
        endif()
    endforeach()
    set(${out} "${page}" PARENT_SCOPE)
endfunction()

run_help(mainHelp)
help_lines(mainLines "${mainHelp}")
set(commands "")
set(inCommands FALSE)
foreach(line IN LISTS mainLines)
    if(line MATCHES "^commands:")
        set(inCommands TRUE)
    elseif(inCommands AND line MATCHES "^  ([a-z][a-z-]*)  ")
        list(APPEND commands "${CMAKE_MATCH_1}")
    elseif(inCommands AND NOT line MATCHES "^ ")
        set(inCommands FALSE)
    endif()
endforeach()
if(commands STREQUAL "")
    message(FATAL_ERROR "no commands found in the help of ${CLI}")
endif()

help_to_roff(description "${mainHelp}")
set(page ".TH ORNVALE\\-CLI 1 \"${DATE}\" \"ornvale\\-cli ${VERSION}\" \"User Commands\"\n")
string(APPEND page ".SH NAME\n"
    "ornvale\\-cli \\- convert CAD drawings and rewrite DXF texts without windows\n"
    ".SH SYNOPSIS\n"
    ".B ornvale\\-cli\n.I command\n[\\fIoptions\\fR] [\\fIFILE\\fR...]\n.br\n"
    ".B ornvale\\-cli\n\\-\\-help | \\-\\-version\n"
    ".SH DESCRIPTION\n${description}"
    ".SH COMMANDS\n")
foreach(command IN LISTS commands)
    run_help(help ${command})
    help_to_roff(section "${help}")
    string(APPEND page ".SS ${command}\n${section}")
endforeach()
string(APPEND page ".SH VERSION\nThis page describes ornvale\\-cli ${VERSION}.\n")
file(WRITE "${OUTPUT}" "${page}")
