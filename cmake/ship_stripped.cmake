# strip_shipped(TARGET): the built Windows file goes out without its symbols and debug sections (most
# of them come with the static compiler runtime); they are kept beside it as FILE.debug, which the
# stripped file names in its debug link, so that a debugger finds them. objcopy would stamp the
# file it writes with the time of the build; it is given the linker's time stamp, 0, instead.
function(strip_shipped target)
    if(NOT CMAKE_OBJCOPY)
        message(FATAL_ERROR "strip_shipped: no objcopy for ${CMAKE_SYSTEM_PROCESSOR}")
    endif()
    add_custom_command(TARGET ${target} POST_BUILD
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0 ${CMAKE_OBJCOPY} --only-keep-debug $<TARGET_FILE_NAME:${target}> $<TARGET_FILE_NAME:${target}>.debug
        COMMAND ${CMAKE_COMMAND} -E env SOURCE_DATE_EPOCH=0
                ${CMAKE_OBJCOPY} --strip-all --add-gnu-debuglink=$<TARGET_FILE_NAME:${target}>.debug
                $<TARGET_FILE_NAME:${target}>
        WORKING_DIRECTORY $<TARGET_FILE_DIR:${target}>
        COMMENT "Moving the debug sections of $<TARGET_FILE_NAME:${target}> to its .debug file"
        VERBATIM)
endfunction()
