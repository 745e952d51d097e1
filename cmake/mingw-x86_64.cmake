# The 64-bit Windows build, for machines that cannot run 32-bit Wine (scripts/wine-env).
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(SKEIN_MINGW x86_64-w64-mingw32)
include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
