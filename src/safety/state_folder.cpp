#include "safety/state_folder.hpp"

#include "link/path_text.hpp"
#include "link/user_folders.hpp"

namespace rcp::app {

std::filesystem::path stateFolder() {
  return link::pathOf(link::stateFolderOn(link::kThisPlatform, link::systemEnvironment()));
}

std::filesystem::path defaultHistoryFile() {
  return stateFolder() / "history.sqlite";
}

}  // namespace rcp::app
