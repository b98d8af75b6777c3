# Turns a module's resource script into the embedded resource table of its native build, so
# that both builds carry the same resources. Reads the lines
#     ID BITMAP "file.bmp"      (the file's 14-byte header is dropped, as the resource compiler does)
#     NAME RCDATA "file"
# and ignores everything else (the version block belongs to the Windows build).
# Script mode: cmake -DRC=module.rc -DOUT=resources.cpp -P embed_resources.cmake

function(resource_script_files rc_file out_var)
    file(STRINGS "${rc_file}" lines)
    get_filename_component(rc_dir "${rc_file}" DIRECTORY)
    set(files "")
    foreach(line IN LISTS lines)
        if(line MATCHES "^[ \t]*([A-Za-z0-9_]+)[ \t]+(BITMAP|RCDATA)[ \t]+\"([^\"]+)\"")
            list(APPEND files "${rc_dir}/${CMAKE_MATCH_3}")
        endif()
    endforeach()
    set(${out_var} "${files}" PARENT_SCOPE)
endfunction()

if(CMAKE_SCRIPT_MODE_FILE AND DEFINED RC AND DEFINED OUT)
    include(${CMAKE_CURRENT_LIST_DIR}/embedded_bytes.cmake)
    file(STRINGS "${RC}" lines)
    get_filename_component(rc_dir "${RC}" DIRECTORY)
    set(arrays "")
    set(rows "")
    set(index 0)
    foreach(line IN LISTS lines)
        if(NOT line MATCHES "^[ \t]*([A-Za-z0-9_]+)[ \t]+(BITMAP|RCDATA)[ \t]+\"([^\"]+)\"")
            continue()
        endif()
        set(name "${CMAKE_MATCH_1}")
        set(kind "${CMAKE_MATCH_2}")
        set(path "${rc_dir}/${CMAKE_MATCH_3}")
        if(kind STREQUAL "BITMAP")
            set(type 2)
            file(READ "${path}" hex OFFSET 14 HEX)
        else()
            set(type 10)
            file(READ "${path}" hex HEX)
        endif()
        c_byte_array(resource_${index} "${hex}" array size)
        string(APPEND arrays "${array}")
        if(name MATCHES "^[0-9]+$")
            string(APPEND rows "    {${type}, ${name}, nullptr, resource_${index}, ${size}},\n")
        else()
            string(TOUPPER "${name}" upper)
            string(APPEND rows "    {${type}, 0, \"${upper}\", resource_${index}, ${size}},\n")
        endif()
        math(EXPR index "${index} + 1")
    endforeach()
    write_generated("${OUT}"
        "// Generated from ${RC} by embed_resources.cmake; do not edit.\n"
        "#include \"platform/native/resources.h\"\n\n"
        "${arrays}\n"
        "extern \"C\" __attribute__((visibility(\"default\"))) const NATIVE_RESOURCE native_resource_table[] = {\n"
        "${rows}"
        "    {0, 0, nullptr, nullptr, 0},\n"
        "};\n")
endif()
