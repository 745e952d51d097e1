# Cross-compiling for Windows with MinGW-w64 (posix thread model); the toolchain
# file that includes this names the processor and the tools' prefix.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_C_COMPILER ${SKEIN_MINGW}-gcc-posix)
set(CMAKE_CXX_COMPILER ${SKEIN_MINGW}-g++-posix)
set(CMAKE_RC_COMPILER ${SKEIN_MINGW}-windres)
set(CMAKE_FIND_ROOT_PATH /usr/${SKEIN_MINGW})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
get_filename_component(_skein_root "${CMAKE_CURRENT_LIST_DIR}/.." ABSOLUTE)
set(CMAKE_CROSSCOMPILING_EMULATOR "${_skein_root}/scripts/wine-run")
