# Cross build for i686 Windows with mingw-w64: the shipping 32-bit files.
set(MINGW_PROCESSOR i686)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-w64.cmake)
