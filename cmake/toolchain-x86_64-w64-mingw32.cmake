# Cross build for x86_64 Windows with mingw-w64: the same sources, for the tests under Wine.
set(MINGW_PROCESSOR x86_64)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
