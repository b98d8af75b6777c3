# tools/wine32.sh where it cannot run the program: one line on standard error that says why,
# nothing on standard output, a status that is not 0.
#   -DWINE32=tools/wine32.sh -DPROGRAM=panelhost.exe -DWORK=dir -P wine32_failures.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}")
file(WRITE "${WORK}/a-file" "")

# case name | environment | program | the line expected
set(cases
    "missing program|WINE32_PREFIX=${WORK}/prefix|${WORK}/missing.exe|wine32: no program ${WORK}/missing.exe"
    "prefix in a folder that cannot be made|WINE32_PREFIX=${WORK}/a-file/prefix|${PROGRAM}|wine32: cannot make the 32-bit Wine prefix ${WORK}/a-file/prefix: its folder cannot be written"
    "unknown mode|WINE32_MODE=emulator|${PROGRAM}|wine32: WINE32_MODE is native or emulated, not emulator")
foreach(case IN LISTS cases)
    string(REPLACE "|" ";" fields "${case}")
    list(GET fields 0 name)
    list(GET fields 1 environment)
    list(GET fields 2 program)
    list(GET fields 3 expected)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env ${environment} sh ${WINE32} ${program} --help
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    string(REGEX REPLACE "\n$" "" err "${err}")
    if(status EQUAL 0 OR NOT out STREQUAL "" OR NOT err STREQUAL expected)
        message(FATAL_ERROR "${name}: expected a failing status, no output and the line\n  ${expected}\n"
                            "got status ${status}, output \"${out}\" and\n  ${err}")
    endif()
endforeach()
if(EXISTS "${WORK}/prefix")
    message(FATAL_ERROR "missing program: a prefix was made at ${WORK}/prefix")
endif()
list(LENGTH cases count)
message(STATUS "${count} failures reported")
