# What the embedding scripts share: bytes as a C array, and a generated file written only when its
# text changes, so that what includes it is not rebuilt for nothing.

# c_byte_array(NAME HEX TEXT_VAR SIZE_VAR): the definition of the array NAME holding the bytes
# that HEX spells (as file(READ ... HEX) reads them), and their count.
function(c_byte_array name hex text_var size_var)
    string(LENGTH "${hex}" hex_length)
    math(EXPR size "${hex_length} / 2")
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
    string(REGEX REPLACE "((0x..,){24})" "\\1\n    " bytes "${bytes}")
    set(${text_var} "static const unsigned char ${name}[] = {\n    ${bytes}\n};\n" PARENT_SCOPE)
    set(${size_var} ${size} PARENT_SCOPE)
endfunction()

# write_generated(PATH TEXT...): the texts one after another (each may hold semicolons).
function(write_generated path)
    set(text "")
    math(EXPR last "${ARGC} - 1")
    foreach(i RANGE 1 ${last})
        string(APPEND text "${ARGV${i}}")
    endforeach()
    file(WRITE "${path}.tmp" "${text}")
    file(COPY_FILE "${path}.tmp" "${path}" ONLY_IF_DIFFERENT)
    file(REMOVE "${path}.tmp")
endfunction()
