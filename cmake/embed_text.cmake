# Writes a text file into a header as a character array, so that a tool carries the file's exact
# bytes wherever it runs, followed by a zero byte that is not the file's.
# Script mode: cmake -DIN=file -DLABEL=name-for-the-comment -DOUT=header.h -DNAME=IDENTIFIER -P embed_text.cmake
file(READ "${IN}" hex HEX)
string(LENGTH "${hex}" hex_length)
set(lines "")
# sixteen bytes a line
set(offset 0)
while(offset LESS hex_length)
    string(SUBSTRING "${hex}" ${offset} 32 chunk)
    string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1, " chunk "${chunk}")
    string(REGEX REPLACE " $" "" chunk "${chunk}")
    string(APPEND lines "    ${chunk}\n")
    math(EXPR offset "${offset} + 32")
endwhile()
file(WRITE "${OUT}.tmp"
    "// ${NAME}: the bytes of ${LABEL}, written by cmake/embed_text.cmake; edit that file, not this one.\n"
    "#pragma once\n\n"
    "inline constexpr unsigned char ${NAME}[] = {\n${lines}    0x00};\n")
file(COPY_FILE "${OUT}.tmp" "${OUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUT}.tmp")
