# A cross-build takes the libraries from the host's packages, built with the cross compiler:
# CLI11's headers and GoogleTest's sources (Debian: libcli11-dev, libgtest-dev), zlib from
# Debian's mingw-w64 build of it (libz-mingw-w64-dev), and SQLite's amalgamation made from
# Debian's source by scripts/windows-deps (RCP520_SQLITE_AMALGAMATION names its folder).
add_library(rcp520_cli11 INTERFACE)
# Only CLI11's own folder is copied: the host's /usr/include must not reach the cross compiler.
file(COPY /usr/include/CLI DESTINATION ${CMAKE_BINARY_DIR}/cli11)
target_include_directories(rcp520_cli11 SYSTEM INTERFACE ${CMAKE_BINARY_DIR}/cli11)
add_library(CLI11::CLI11 ALIAS rcp520_cli11)

# Linked in, so that each .exe runs without zlib1.dll beside it.
set(ZLIB_USE_STATIC_LIBS ON)
find_package(ZLIB REQUIRED)

set(RCP520_SQLITE_AMALGAMATION "" CACHE PATH
    "Folder with SQLite's sqlite3.c and sqlite3.h for the cross-build (scripts/windows-deps)")
if(NOT EXISTS "${RCP520_SQLITE_AMALGAMATION}/sqlite3.c")
  message(FATAL_ERROR "A cross-build needs SQLite's amalgamation: pass "
                      "-DRCP520_SQLITE_AMALGAMATION=\"$(scripts/windows-deps)\"")
endif()
enable_language(C)
add_library(rcp520_sqlite STATIC ${RCP520_SQLITE_AMALGAMATION}/sqlite3.c)
# No extensions loaded from files, serialized use from any thread, and no double-quoted strings
# taken as literals. SQLite's own code is not held to the project's warnings: -w replaces them.
target_compile_definitions(rcp520_sqlite PRIVATE
  SQLITE_OMIT_LOAD_EXTENSION SQLITE_THREADSAFE=1 SQLITE_DQS=0)
set_target_properties(rcp520_sqlite PROPERTIES COMPILE_OPTIONS -w)
target_include_directories(rcp520_sqlite SYSTEM INTERFACE ${RCP520_SQLITE_AMALGAMATION})
add_library(SQLite::SQLite3 ALIAS rcp520_sqlite)

set(INSTALL_GTEST OFF CACHE BOOL "" FORCE)
set(BUILD_GMOCK OFF CACHE BOOL "" FORCE)
add_subdirectory(/usr/src/googletest ${CMAKE_BINARY_DIR}/googletest EXCLUDE_FROM_ALL)
# GoogleTest itself names its targets GTest::gtest and GTest::gtest_main.
