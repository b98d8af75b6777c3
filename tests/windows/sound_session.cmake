# The radio's sound as the sound card receives it: one session of the Windows bench under Wine
# with songs made by real encoders in the four formats, the default sound card ALSA's `file`
# plugin writing the stream into a pipe to the sound sink (which takes it no faster than its
# rate, so Wine plays in real time), and the capture checked by sound_check. Prints how long the
# session took.
#   -DWORK=dir             a fresh folder for the songs, the capture and the sound card's settings
#   -DNATIVE_OUT=dir       the native build's programs (midi_song, sound_sink, sound_check)
#   -DRUN=program;args...  the Windows bench under Wine, up to its module (the script is added)
#   -DMODULE=file          the radio's module
#   -DSCRIPT=file          the session
#   -DCLICK=file           the radio's click, as its resource holds it
cmake_minimum_required(VERSION 3.25)

# Every program started here has a time limit: the song makers a minute, the session five.
set(MAKE_LIMIT timeout -k 5 60)
set(SESSION_LIMIT timeout -k 10 300)

file(REMOVE_RECURSE "${WORK}")
file(MAKE_DIRECTORY "${WORK}/Sound")

function(make_song description)
    execute_process(COMMAND ${ARGN} RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
    if(NOT status EQUAL 0)
        message(FATAL_ERROR "making ${description} failed (status ${status}):\n${ARGN}\n${err}${out}")
    endif()
endfunction()

# The songs, each a tone of its own, by which the check tells them apart:
#   song1.wma  WMA v2 in ASF (ffmpeg's wmav2), 500 Hz, 2 s
#   song2.mp3  MP3 (lame), 750 Hz, 2 s
#   song3.wav  16-bit PCM (sox), a sweep from 300 to 1200 Hz, 2 s: the song that repeats
#   song4.mid  a standard MIDI file (midi_song): the flute's A5, 880 Hz, 2 s
#   song5.wav  16-bit PCM (sox), 1000 Hz, 6 s: the song under the volume steps
# sox writes without dither (-D), so that a tone's level is the tone's.
set(S ${WORK}/Sound)
make_song("song1.wma" ${MAKE_LIMIT} ffmpeg -nostdin -hide_banner -loglevel error -f lavfi
          -i sine=frequency=500:sample_rate=44100:duration=2 -ac 1 -c:a wmav2 -b:a 64k -f asf -y ${S}/song1.wma)
make_song("the samples of song2.mp3" ${MAKE_LIMIT} sox -D -n -r 44100 -c 1 -b 16 ${WORK}/song2.wav synth 2 sine 750 vol 0.5)
make_song("song2.mp3" ${MAKE_LIMIT} lame --quiet -b 128 ${WORK}/song2.wav ${S}/song2.mp3)
make_song("song3.wav" ${MAKE_LIMIT} sox -D -n -r 48000 -c 1 -b 16 ${S}/song3.wav synth 2 sine 300-1200 vol 0.5)
make_song("song4.mid" ${MAKE_LIMIT} ${NATIVE_OUT}/midi_song ${S}/song4.mid 81 73 2)
make_song("song5.wav" ${MAKE_LIMIT} sox -D -n -r 48000 -c 1 -b 16 ${S}/song5.wav synth 6 sine 1000 vol 0.25)

# The sound card: the stream into the sink, named by its rate, channels and format; the null
# device behind it takes what the plugin passes on.
set(ASOUNDRC ${WORK}/asoundrc)
file(WRITE ${ASOUNDRC}
    "pcm.!default { type file; slave.pcm \"capture_null\"; format \"raw\";\n"
    "    file \"|timeout -k 5 300 ${NATIVE_OUT}/sound_sink ${WORK}/capture-%r-%c-%f.raw %r %c %f\" }\n"
    "pcm.capture_null { type null }\n"
    "ctl.!default { type hw card 0 }\n")

execute_process(COMMAND date +%s%N OUTPUT_VARIABLE from OUTPUT_STRIP_TRAILING_WHITESPACE)
execute_process(
    COMMAND ${CMAKE_COMMAND} -E env WINE_ASOUNDRC=${ASOUNDRC}
            ${SESSION_LIMIT} ${RUN} --intercept --cwd ${WORK} --script ${SCRIPT} ${MODULE} tuneset
    RESULT_VARIABLE status OUTPUT_FILE ${WORK}/session.trace ERROR_VARIABLE err)
execute_process(COMMAND date +%s%N OUTPUT_VARIABLE to OUTPUT_STRIP_TRAILING_WHITESPACE)
math(EXPR took_ms "(${to} - ${from}) / 1000000")
math(EXPR took_s "${took_ms} / 1000")
math(EXPR took_tenths "${took_ms} % 1000 / 100")
message(STATUS "the Wine session took ${took_s}.${took_tenths} s")
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the session ended with status ${status}:\n${err}")
endif()

file(GLOB captures ${WORK}/capture-*.raw)
list(LENGTH captures count)
if(NOT count EQUAL 1)
    message(FATAL_ERROR "expected one stream at the sound card, found ${count}: ${captures}\n${err}")
endif()
get_filename_component(name ${captures} NAME_WE)
if(NOT name MATCHES "^capture-([0-9]+)-([0-9]+)-([A-Z0-9_]+)$")
    message(FATAL_ERROR "the stream's name ${name} does not say its rate, channels and format")
endif()
execute_process(
    COMMAND ${NATIVE_OUT}/sound_check --capture ${captures} --rate ${CMAKE_MATCH_1} --channels ${CMAKE_MATCH_2}
            --format ${CMAKE_MATCH_3} --script ${SCRIPT} --click ${CLICK}
            --song 1:${S}/song1.wma:500 --song 2:${S}/song2.mp3:750 --song 3:${S}/song3.wav
            --song 4:${S}/song4.mid:880 --song 5:${S}/song5.wav:1000
    RESULT_VARIABLE checked OUTPUT_VARIABLE report ERROR_VARIABLE report_err)
message("${report}${report_err}")
if(NOT checked EQUAL 0)
    message(FATAL_ERROR "the radio's sound is not as it should be (FAIL lines above); the session's trace is ${WORK}/session.trace")
endif()
