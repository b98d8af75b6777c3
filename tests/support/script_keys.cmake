# Runs panelhost (native, or a Windows build under Wine) on a script and compares the key and
# echo lines of its trace with an expected file, line by line.
#   -DCOMMAND=program;args... -DEXPECTED=file.keys -P script_keys.cmake
cmake_minimum_required(VERSION 3.25)
include(${CMAKE_CURRENT_LIST_DIR}/trace_lines.cmake)
trace_lines("${COMMAND}" "key ;echo " actual)
file(STRINGS "${EXPECTED}" expected)
compare_lines("${expected}" "${actual}" expected actual "the trace differs from ${EXPECTED}")
list(LENGTH actual got_count)
message(STATUS "${got_count} lines as expected")
