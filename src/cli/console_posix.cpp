#include <unistd.h>

#include "cli/console.hpp"

namespace rcp::app {

bool stdinIsTerminal() {
  return isatty(STDIN_FILENO) == 1;
}

bool stderrIsTerminal() {
  return isatty(STDERR_FILENO) == 1;
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
  return std::vector<std::string>(argv, argv + argc);
}

}  // namespace rcp::app
