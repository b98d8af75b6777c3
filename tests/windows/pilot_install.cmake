# The release installed as a pilot would install it: both zips tested by unzip (every entry's CRC),
# the zip unpacked into a folder laid out as a simulator's (its gauge folder, an aircraft's panel
# folder with the example window naming both gauges, a Sound folder with songs), the debug zip's
# bench beside it. Then, under 32-bit Wine: the bench checks a panel file with a misspelled line, a
# missing module and a wrong gauge name and says each, with a status that is not 0; and it runs a
# session on both gauges of the sound example window at once, whose whole trace must be the native
# bench's run of the same window.
#   -DZIPS=dir -DVERSION=x.y.z -DWORK=dir -DWINE32=tools/wine32.sh -DNATIVE_OUT=build/native/out -DUNZIP=unzip
#   -DSCRIPT=pilot_session.script -DCOMPARE=compare_runs.cmake -P pilot_install.cmake
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE "${WORK}")
set(sim ${WORK}/Simulator)
set(panel ${sim}/Aircraft/Trainer/panel)
file(MAKE_DIRECTORY ${WORK}/unpacked ${sim}/Gauges ${panel} ${sim}/Sound ${WORK}/native-gauges ${WORK}/songs)
# cmake's unpacking only warns of an entry whose CRC is wrong: unzip checks each first.
foreach(zip panel-gauges-${VERSION}.zip panel-gauges-${VERSION}-debug.zip)
    execute_process(COMMAND ${UNZIP} -t ${ZIPS}/${zip} TIMEOUT 120
                    RESULT_VARIABLE failed OUTPUT_VARIABLE tested ERROR_VARIABLE tested)
    if(failed OR NOT tested MATCHES "No errors detected in compressed data")
        message(FATAL_ERROR "${ZIPS}/${zip}: unzip -t finds a fault (status ${failed}):\n${tested}")
    endif()
    execute_process(COMMAND ${CMAKE_COMMAND} -E tar xf ${ZIPS}/${zip} WORKING_DIRECTORY ${WORK}/unpacked
                    RESULT_VARIABLE failed)
    if(failed)
        message(FATAL_ERROR "cannot unpack ${ZIPS}/${zip}")
    endif()
endforeach()
file(COPY ${WORK}/unpacked/Gauges/radio.gau ${WORK}/unpacked/Gauges/autohelm.gau DESTINATION ${sim}/Gauges)
file(COPY ${WORK}/unpacked/panel.cfg DESTINATION ${panel})
set(bench ${WORK}/unpacked/Bench/panelhost.exe)
execute_process(COMMAND ${NATIVE_OUT}/demo_songs ${WORK}/songs RESULT_VARIABLE failed OUTPUT_QUIET)
if(failed)
    message(FATAL_ERROR "cannot write the demo's songs")
endif()
foreach(n 1 2 4)
    file(COPY_FILE ${WORK}/songs/song${n}.wav ${sim}/Sound/song${n}.wma)
endforeach()
# The native bench runs the same window over the native modules of the same sources.
file(COPY_FILE ${NATIVE_OUT}/radio.so ${WORK}/native-gauges/radio.so)
file(COPY_FILE ${NATIVE_OUT}/autohelm.so ${WORK}/native-gauges/autohelm.so)

# A panel file in trouble: each line said, and no gauge runs.
file(WRITE ${panel}/broken.cfg
    "[Window00]\r\nsize_mm=500,330\r\nguage00=radio!tuneset, 10, 10, 476\r\ngauge01=radoi!tuneset, 10, 10\r\n"
    "gauge02=autohelm!autohlem.gau, 10, 170\r\n")
execute_process(COMMAND sh ${WINE32} ${bench} --panel ${panel}/broken.cfg --gauges ${sim}/Gauges
                RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(status EQUAL 0)
    message(FATAL_ERROR "a panel file in trouble was taken (status 0):\n${out}${err}")
endif()
foreach(said
        "broken.cfg:3: \"guage00\" is not a gauge line's key (gaugeNN)"
        "broken.cfg:4: gauge01: no module \"radoi\" in"
        "broken.cfg:5: gauge02: module \"autohelm\" has no gauge \"autohlem.gau\"; its gauges: \"autohelm.gau\"")
    string(FIND "${err}" "${said}" at)
    if(at EQUAL -1)
        message(FATAL_ERROR "the bench did not say: ${said}\nit said:\n${err}")
    endif()
endforeach()
message(STATUS "the panel file in trouble: status ${status}, each of its three lines said")

# The example window: sound, both gauges in one session.
set(NATIVE "${NATIVE_OUT}/panelhost;--cwd;${sim};--panel;${panel}/panel.cfg;--gauges;${WORK}/native-gauges;--script;${SCRIPT}")
set(WINDOWS "sh;${WINE32};${bench};--simulated-media-graph;--simulated-sound-device;--cwd;${sim};--panel;${panel}/panel.cfg;--gauges;${sim}/Gauges;--script;${SCRIPT}")
set(PREFIXES "echo;key;tooltip;element;gauge;msgbox;exit;warning;mci;mixer-set;dshow;dsound")
# the folder is this script's, made above: the comparison must not make it afresh
unset(WORK)
unset(WORK CACHE)
include(${COMPARE})
