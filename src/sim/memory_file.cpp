#include "sim/memory_file.hpp"

#include <fstream>

namespace rcp::sim {

void loadMemoryFile(const std::filesystem::path& file, VirtualRadio::Memory& memory) {
  std::ifstream in(file, std::ios::binary);
  if (!in) return;
  in.read(reinterpret_cast<char*>(memory.data()), static_cast<std::streamsize>(memory.size()));
}

std::optional<std::string> saveMemoryFile(const std::filesystem::path& file,
                                          const VirtualRadio::Memory& memory) {
  const std::string failure = "cannot write " + file.string();
  std::filesystem::path temporary = file;
  temporary += ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(memory.data()),
              static_cast<std::streamsize>(memory.size()));
    out.close();
    if (!out) return failure;
  }
  std::error_code ec;
  std::filesystem::rename(temporary, file, ec);
  if (ec) {
    std::filesystem::remove(temporary, ec);
    return failure;
  }
  return std::nullopt;
}

}  // namespace rcp::sim
