# Lists a built Windows file's resources with the native build's pe_resources and compares the
# list with an expected file, line by line.
#   -DTOOL=build/native/out/pe_resources -DFILE=module.gau -DEXPECTED=list.txt [-DPANEL_VERSION=1.0.0]
#   -P check_resources.cmake
# In the expected list, @PANEL_VERSION@ stands for the release's version.
cmake_minimum_required(VERSION 3.25)
if(NOT EXISTS "${TOOL}")
    message(FATAL_ERROR "${TOOL} is missing: the resource checks use the native build's tool; "
                        "build it first with: cmake --preset native && cmake --build --preset native")
endif()
execute_process(COMMAND "${TOOL}" "${FILE}" RESULT_VARIABLE failed OUTPUT_VARIABLE out ERROR_VARIABLE err)
if(failed)
    message(FATAL_ERROR "${TOOL} cannot read ${FILE}: ${err}")
endif()
string(REPLACE ";" "\\;" out "${out}")
string(REGEX REPLACE "\n$" "" out "${out}")
string(REPLACE "\n" ";" actual "${out}")
file(READ "${EXPECTED}" expected_text)
string(CONFIGURE "${expected_text}" expected_text @ONLY)
string(REPLACE ";" "\\;" expected_text "${expected_text}")
string(REGEX REPLACE "\n$" "" expected_text "${expected_text}")
string(REPLACE "\n" ";" expected "${expected_text}")
if(NOT actual STREQUAL expected)
    string(REPLACE ";" "\n  " want "${expected}")
    string(REPLACE ";" "\n  " got "${actual}")
    message(FATAL_ERROR "${FILE}: the resources differ from ${EXPECTED}\nexpected:\n  ${want}\nactual:\n  ${got}")
endif()
list(LENGTH actual count)
message(STATUS "${FILE}: ${count} resource lines as expected")
