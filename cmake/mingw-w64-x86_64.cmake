# Cross-compiling for 64-bit Windows with MinGW-w64. The posix thread model is
# needed by GoogleTest (std::mutex); the program itself uses Win32 threads.
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(DIGESTOR_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${DIGESTOR_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${DIGESTOR_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${DIGESTOR_MINGW_PREFIX}-windres)

set(CMAKE_FIND_ROOT_PATH /usr/${DIGESTOR_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Everything linked in, winpthreads included: programs and DLLs need no MinGW DLL.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
set(CMAKE_SHARED_LINKER_FLAGS_INIT "-static")

# ctest runs every Windows program under Wine in the project's own display.
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../scripts/wine-run)
