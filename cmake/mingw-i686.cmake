# The 32-bit Windows build: the program that is shipped.
set(CMAKE_SYSTEM_PROCESSOR i686)
set(SKEIN_MINGW i686-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
