#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

#include "link/ini_document.hpp"
#include "program/offline_program.hpp"
#include "settings/data_file.hpp"
#include "settings/data_file_keys.hpp"
#include "settings/record.hpp"
#include "support/temp_dir.hpp"

namespace rcp::test {

using KeyValues = std::vector<std::pair<std::string, std::string>>;

// A data file as a fresh program saves it, then with the given keys set as a text editor would
// set them (a key the save did not write is added).
// With `cpsx`, the fresh program is switched to the CPSX scheme first, as a user clicks it (its
// rule puts the scheme's own numbers into the numbering fields).
inline std::filesystem::path savedFile(const std::filesystem::path& file,
                                       const KeyValues& changes = {}, bool cpsx = false) {
  {
    app::OfflineProgram fresh;
    if (cpsx) settings::Record(fresh.state()).set("DiallingScheme", std::string("CPSX"));
    if (settings::saveDataFile(fresh.state(), file)) throw std::runtime_error("cannot save");
  }
  if (changes.empty()) return file;
  std::string bytes;
  {
    std::ifstream in(file, std::ios::binary);
    bytes.assign(std::istreambuf_iterator<char>(in), {});
  }
  link::IniDocument document(bytes);
  for (const auto& [key, value] : changes) document.set(settings::kDataFileSection, key, value);
  std::ofstream(file, std::ios::binary | std::ios::trunc) << document.fileBytes();
  return file;
}

}  // namespace rcp::test
