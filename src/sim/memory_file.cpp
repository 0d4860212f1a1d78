#include "sim/memory_file.hpp"

#include <fstream>

#include "link/private_files.hpp"

namespace rcp::sim {

void loadMemoryFile(const std::filesystem::path& file, VirtualRadio::Memory& memory) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  in.read(reinterpret_cast<char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
}

std::optional<std::string> saveMemoryFile(const std::filesystem::path& file,
                                          const VirtualRadio::Memory& memory) {
  const std::string_view bytes(reinterpret_cast<const char*>(memory.data()), memory.size());
  if (auto reason = link::replaceFile(file, bytes))
    return "cannot write " + file.string() + ": " + *reason;
  return std::nullopt;
}

}  // namespace rcp::sim
