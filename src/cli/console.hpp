#pragma once

#include <string>
#include <vector>

// The terminal the command-line tool runs in: one implementation a platform (console_posix.cpp,
// console_win32.cpp).
namespace rcp::app {

bool stdinIsTerminal();
bool stderrIsTerminal();

// The program's arguments as UTF-8, the program's own text encoding: POSIX passes them as they
// are; Windows takes them from the wide command line (its narrow argv is in the ANSI code page,
// which loses Chinese file names) and sets the console's output to UTF-8.
std::vector<std::string> utf8Arguments(int argc, char** argv);

// The arguments again as argc/argv for a parser; they point into `arguments`.
std::vector<char*> argumentPointers(std::vector<std::string>& arguments);

}  // namespace rcp::app
