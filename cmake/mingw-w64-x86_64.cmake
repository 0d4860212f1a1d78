# Cross-building for 64-bit Windows with Debian's mingw-w64 (g++-mingw-w64-x86-64-posix: the
# POSIX thread model, which std::thread, std::mutex and Qt need). Used for the program (GUI off
# by scripts/test-windows; the window by scripts/windows-package against the Qt for Windows in
# CMAKE_PREFIX_PATH) and for building that Qt (scripts/windows-qt). Pass QT_HOST_PATH=/usr so
# that the host's moc, rcc and uic are used.
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
# Packages may also come from CMAKE_PREFIX_PATH (the Qt for Windows install) and QT_HOST_PATH.
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE BOTH)
