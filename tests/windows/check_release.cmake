# The release made twice from one build: the two pairs of zips are the same bytes; unzip finds
# every entry's CRC right and lists the entries in the byte order of their names (cmake's own
# unpacking only warns of a bad CRC); the shipped files carry the fixed PE time stamp (0) and no
# path of the build's folders; the pilots' README ends its lines in CR LF; SHA256SUMS holds the
# sum of each file.
#   -DRELEASE=tools/release/release-files.sh -DNATIVE=build/native/out -DWIN32=build/win32/out -DWORK=dir
#   -DOBJDUMP=objdump -DUNZIP=unzip -DSOURCE=source folder -DVERSION=x.y.z -P check_release.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
foreach(run a b)
    execute_process(COMMAND sh ${RELEASE} ${NATIVE} ${WIN32} ${WORK}/${run}
                    RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "${RELEASE} ended with status ${status}:\n${err}${out}")
    endif()
endforeach()
set(zips panel-gauges-${VERSION}.zip panel-gauges-${VERSION}-debug.zip)
# Each zip's entries as the release names them, in the byte order of their names.
set(entries_panel-gauges-${VERSION}.zip Gauges/autohelm.gau Gauges/radio.gau Manual.html README.txt SHA256SUMS
    panel.cfg)
set(entries_panel-gauges-${VERSION}-debug.zip Bench/panelhost.exe Bench/panelhost.exe.debug Gauges/autohelm.gau.debug
    Gauges/radio.gau.debug)
foreach(zip IN LISTS zips)
    execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK}/a/${zip} ${WORK}/b/${zip} RESULT_VARIABLE differ)
    if(differ)
        message(FATAL_ERROR "two releases of one build differ: ${zip}")
    endif()
    execute_process(COMMAND ${UNZIP} -t ${WORK}/a/${zip} TIMEOUT 120
                    RESULT_VARIABLE failed OUTPUT_VARIABLE tested ERROR_VARIABLE tested)
    if(failed OR NOT tested MATCHES "No errors detected in compressed data")
        message(FATAL_ERROR "${zip}: unzip -t finds a fault (status ${failed}):\n${tested}")
    endif()
    execute_process(COMMAND ${UNZIP} -Z1 ${WORK}/a/${zip} TIMEOUT 120
                    RESULT_VARIABLE failed OUTPUT_VARIABLE listed ERROR_VARIABLE why)
    string(REGEX REPLACE "\n$" "" listed "${listed}")
    string(REPLACE "\n" ";" listed "${listed}")
    if(failed OR NOT listed STREQUAL "${entries_${zip}}")
        message(FATAL_ERROR "${zip}: the entries are [${listed}], not [${entries_${zip}}] in this order ${why}")
    endif()
    file(MAKE_DIRECTORY ${WORK}/unpacked/${zip})
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${WORK}/a/${zip} WORKING_DIRECTORY ${WORK}/unpacked/${zip}
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot unpack ${zip}")
    endif()
endforeach()

set(main ${WORK}/unpacked/panel-gauges-${VERSION}.zip)
set(debug ${WORK}/unpacked/panel-gauges-${VERSION}-debug.zip)
set(expected_main Gauges/autohelm.gau Gauges/radio.gau Manual.html README.txt SHA256SUMS panel.cfg)
file(GLOB_RECURSE found RELATIVE ${main} ${main}/*)
list(SORT found)
if(NOT found STREQUAL expected_main)
    message(FATAL_ERROR "the zip holds [${found}], not [${expected_main}]")
endif()

# No byte of a shipped file names the folders it was built in.
file(GLOB_RECURSE shipped ${main}/* ${debug}/*)
foreach(file IN LISTS shipped)
    file(STRINGS ${file} paths REGEX "${SOURCE}")
    if(paths)
        list(GET paths 0 first)
        message(FATAL_ERROR "${file} names the build's folder ${SOURCE}: ${first}")
    endif()
endforeach()

foreach(file ${main}/Gauges/radio.gau ${main}/Gauges/autohelm.gau ${debug}/Bench/panelhost.exe)
    execute_process(COMMAND ${OBJDUMP} -p ${file} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
    string(REGEX MATCH "Time/Date[\t ]+[^\n]*" stamp "${headers}")
    if(failed OR NOT stamp MATCHES "Jan  1 00:00:00 1970")
        message(FATAL_ERROR "${file}: the PE time stamp is not the fixed one, 0: ${stamp}")
    endif()
endforeach()

file(READ ${main}/README.txt readme HEX)
string(REGEX MATCHALL "0a" line_feeds "${readme}")
string(REGEX MATCHALL "0d0a" line_ends "${readme}")
list(LENGTH line_feeds feeds)
list(LENGTH line_ends ends)
if(feeds EQUAL 0 OR NOT feeds EQUAL ends)
    message(FATAL_ERROR "README.txt: ${feeds} line feeds, ${ends} of them after a carriage return")
endif()

file(STRINGS ${main}/SHA256SUMS sums)
list(LENGTH sums count)
if(NOT count EQUAL 5)
    message(FATAL_ERROR "SHA256SUMS holds ${count} lines, not 5")
endif()
foreach(line IN LISTS sums)
    string(REGEX MATCH "^([0-9a-f]+)  (.+)$" parts "${line}")
    file(SHA256 ${main}/${CMAKE_MATCH_2} sum)
    if(NOT sum STREQUAL CMAKE_MATCH_1)
        message(FATAL_ERROR "SHA256SUMS: ${CMAKE_MATCH_2} has ${sum}, not ${CMAKE_MATCH_1}")
    endif()
endforeach()
message(STATUS "two releases alike: ${zips}")
