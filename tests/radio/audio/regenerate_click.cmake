# Runs the click generator and compares its output with the committed resource byte for byte.
# cmake -DGENERATOR=click_wave -DEXPECTED=click.wav -DOUT=regenerated.wav -P regenerate_click.cmake
execute_process(COMMAND ${GENERATOR} ${OUT} RESULT_VARIABLE status)
if(NOT status EQUAL 0)
    message(FATAL_ERROR "the generator failed with ${status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${OUT} ${EXPECTED} RESULT_VARIABLE different)
if(NOT different EQUAL 0)
    file(READ ${OUT} actual HEX)
    file(READ ${EXPECTED} expected HEX)
    message(FATAL_ERROR "the generated click differs from ${EXPECTED}\nexpected: ${expected}\nactual:   ${actual}")
endif()
