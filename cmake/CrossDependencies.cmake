# A cross-build takes the host's header-only and source packages, built with the cross compiler:
# CLI11's headers and GoogleTest's sources (Debian: libcli11-dev, libgtest-dev).
add_library(rcp520_cli11 INTERFACE)
# Only CLI11's own folder is copied: the host's /usr/include must not reach the cross compiler.
file(COPY /usr/include/CLI DESTINATION ${CMAKE_BINARY_DIR}/cli11)
target_include_directories(rcp520_cli11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11)
add_library(CLI11::CLI11 ALIAS rcp520_cli11)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest itself names its targets GTest::gtest and GTest::gtest_main.
