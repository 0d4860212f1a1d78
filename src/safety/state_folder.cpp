#include "safety/state_folder.hpp"

#include <cstdlib>

namespace rcp::app {

std::filesystem::path stateFolder() {
  const char* state = std::getenv("XDG_STATE_HOME");
  std::filesystem::path root =
      state && *state ? std::filesystem::path(state) : std::filesystem::path();
  if (root.empty()) {
    const char* home = std::getenv("HOME");
    root = std::filesystem::path(home ? home : "") / ".local" / "state";
  }
  return root / "rcp520";
}

std::filesystem::path defaultHistoryFile() {
  return stateFolder() / "history.sqlite";
}

}  // namespace rcp::app
