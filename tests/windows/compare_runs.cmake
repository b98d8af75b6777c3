# Runs one script through the native bench and through the Windows bench under Wine, and
# compares the trace lines that both have, printing what differed.
#   -DNATIVE=program;args...   the native run
#   -DWINDOWS=program;args...  the Windows run (wine-run.sh ...)
#   -DPREFIXES=key;msgbox;...  the kinds of line compared
#   [-DREQUIRED=file]          a file of lines that each run must contain
#   [-DWORK=dir -DSONGS=file;file...]  a fresh folder with these files in its Sound folder
#   [-DPREPARE=program;args...]  run once the folder is made, before the files are copied
#   [-DSONG_EXTENSION=.wma]  the copies in the Sound folder take this extension
# A failing render's result code is the platform's own choice of error, so both runs' failed
# renders read "-> failed".
cmake_minimum_required(VERSION 3.25)

if(DEFINED WORK)
    file(REMOVE_RECURSE "${WORK}")
    file(MAKE_DIRECTORY "${WORK}/Sound")
    if(DEFINED PREPARE)
        execute_process(COMMAND ${PREPARE} RESULT_VARIABLE prepared)
        if(NOT prepared EQUAL 0)
            message(FATAL_ERROR "${PREPARE} ended with status ${prepared}")
        endif()
    endif()
    foreach(song IN LISTS SONGS)
        if(DEFINED SONG_EXTENSION)
            get_filename_component(stem "${song}" NAME_WE)
            file(COPY_FILE "${song}" "${WORK}/Sound/${stem}${SONG_EXTENSION}")
        else()
            file(COPY "${song}" DESTINATION "${WORK}/Sound")
        endif()
    endforeach()
endif()

include(${CMAKE_CURRENT_LIST_DIR}/../support/trace_lines.cmake)
trace_lines("${NATIVE}" "${PREFIXES}" native)
trace_lines("${WINDOWS}" "${PREFIXES}" windows)
list(TRANSFORM native REPLACE "^(dshow render \".*\") -> 0x8[0-9a-f]+$" "\\1 -> failed")
list(TRANSFORM windows REPLACE "^(dshow render \".*\") -> 0x8[0-9a-f]+$" "\\1 -> failed")

if(DEFINED REQUIRED)
    file(STRINGS "${REQUIRED}" required)
endif()
foreach(line IN LISTS required)
    foreach(run native windows)
        list(FIND ${run} "${line}" found)
        if(found EQUAL -1)
            message(FATAL_ERROR "the ${run} run lacks the line: ${line}")
        endif()
    endforeach()
endforeach()

compare_lines("${native}" "${windows}" native windows "the runs differ")
list(LENGTH native count)
message(STATUS "${count} lines alike")
