# Checks a built Windows file's PE facts with mingw's objdump, and prints what differed.
#   -DFILE=path -DOBJDUMP=tool -DMAGIC=PE32|PE32+ -DMACHINE=i386|x86-64 -DKIND=dll|exe
#   [-DEXPORTS=a;b]   the exact exported names (a DLL)
#   -P check_pe.cmake
# Every imported DLL must be one of Windows' own: no compiler runtime.
cmake_minimum_required(VERSION 3.25)
set(system_dlls kernel32.dll user32.dll gdi32.dll msvcrt.dll winmm.dll ole32.dll oleaut32.dll advapi32.dll
    ntdll.dll shell32.dll)

execute_process(COMMAND ${OBJDUMP} -p ${FILE} OUTPUT_VARIABLE headers RESULT_VARIABLE failed)
if(failed)
    message(FATAL_ERROR "${OBJDUMP} cannot read ${FILE}")
endif()
execute_process(COMMAND ${OBJDUMP} -f ${FILE} OUTPUT_VARIABLE file_header)
set(problems "")

string(REPLACE "+" "\\+" magic_pattern "${MAGIC}")
if(NOT headers MATCHES "Magic[ \t]+[0-9a-f]+[ \t]+\\(${magic_pattern}\\)")
    string(REGEX MATCH "Magic[^\n]*" seen "${headers}")
    string(APPEND problems "expected magic ${MAGIC}, found: ${seen}\n")
endif()
if(NOT file_header MATCHES "architecture: ${MACHINE},")
    string(REGEX MATCH "architecture: [^,]*" seen "${file_header}")
    string(APPEND problems "expected architecture ${MACHINE}, found: ${seen}\n")
endif()
string(REGEX MATCH "Characteristics 0x([0-9a-f]+)" characteristics "${headers}")
math(EXPR is_dll "0x${CMAKE_MATCH_1} & 0x2000")
if(KIND STREQUAL "dll" AND NOT is_dll)
    string(APPEND problems "expected a DLL, the characteristics 0x${CMAKE_MATCH_1} lack the DLL flag\n")
elseif(KIND STREQUAL "exe" AND is_dll)
    string(APPEND problems "expected a program, found a DLL\n")
endif()

string(REGEX MATCHALL "DLL Name: [^\n]+" imports "${headers}")
set(imported "")
foreach(line IN LISTS imports)
    string(REGEX REPLACE "DLL Name: " "" name "${line}")
    string(STRIP "${name}" name)
    string(TOLOWER "${name}" lower)
    list(APPEND imported "${lower}")
    if(NOT lower IN_LIST system_dlls)
        string(APPEND problems "imports ${name}, which is not a Windows system DLL\n")
    endif()
endforeach()

if(DEFINED EXPORTS)
    string(REGEX MATCH "\\[Ordinal/Name Pointer\\] Table[^\n]*\n(([ \t]+\\[[ 0-9]+\\][^\n]*\n)*)" table "${headers}")
    # The names without their "[ n]" column: a CMake list must hold no square brackets, which
    # would keep its semicolons from separating the names.
    string(REGEX REPLACE "[ \t]*\\[[ 0-9]+\\][ \t]+([^ \t\n]+)\n" "\\1;" exported "${CMAKE_MATCH_1}")
    list(REMOVE_ITEM exported "")
    list(SORT exported)
    set(wanted ${EXPORTS})
    list(SORT wanted)
    if(NOT exported STREQUAL wanted)
        string(APPEND problems "expected exports [${wanted}], found [${exported}]\n")
    endif()
endif()

if(problems)
    message(FATAL_ERROR "${FILE}:\n${problems}")
endif()
message(STATUS "${FILE}: ${MAGIC} ${MACHINE} ${KIND}, imports [${imported}]")
