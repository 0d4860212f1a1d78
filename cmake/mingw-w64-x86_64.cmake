# Cross-building for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread and std::mutex need).
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(RCP520_MINGW_PREFIX x86_64-w64-mingw32)
set(CMAKE_C_COMPILER ${RCP520_MINGW_PREFIX}-gcc-posix)
set(CMAKE_CXX_COMPILER ${RCP520_MINGW_PREFIX}-g++-posix)
set(CMAKE_RC_COMPILER ${RCP520_MINGW_PREFIX}-windres)

# Libraries and headers come from the mingw sysroot only; programs (the host's tools) from the host.
set(CMAKE_FIND_ROOT_PATH /usr/${RCP520_MINGW_PREFIX})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# Each .exe runs alone: the compiler's runtime (libstdc++, libgcc, winpthread) linked in.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static -static-libgcc -static-libstdc++")
