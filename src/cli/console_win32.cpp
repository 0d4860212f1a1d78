#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include "cli/console.hpp"
#include "link/windows_text.hpp"

namespace rcp::app {

namespace {

bool isConsole(DWORD stream) {
  DWORD mode = 0;
  return GetConsoleMode(GetStdHandle(stream), &mode) != 0;
}

}  // namespace

bool stdinIsTerminal() {
  return isConsole(STD_INPUT_HANDLE);
}

bool stderrIsTerminal() {
  return isConsole(STD_ERROR_HANDLE);
}

std::vector<std::string> utf8Arguments(int argc, char** argv) {
  SetConsoleOutputCP(CP_UTF8);
  SetConsoleCP(CP_UTF8);
  int count = 0;
  wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
  if (wide == nullptr) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  for (int i = 0; i < count; ++i) arguments.push_back(link::utf8Of(wide[i]));
  LocalFree(wide);
  return arguments;
}

}  // namespace rcp::app
