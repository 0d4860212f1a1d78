#include "cli/image.hpp"

#include <span>

#include "cli/written_image.hpp"
#include "link/hex_text.hpp"

namespace rcp::app {

namespace {

constexpr std::size_t kListingBytesPerLine = 16;

}  // namespace

int cliImage(std::string_view model, const std::filesystem::path& file, const CliStreams& io) {
  RadioMemory memory{};
  if (const int code = writtenImage(model, file, io, memory); code != kExitDone) return code;
  io.out << memoryListing(memory);
  return kExitDone;
}

std::string memoryListing(const std::array<std::uint8_t, 1024>& memory) {
  std::string listing;
  for (std::size_t at = 0; at < memory.size(); at += kListingBytesPerLine) {
    listing += link::hexWord(static_cast<std::uint16_t>(at)) + ": " +
               link::hexDigits(std::span(memory).subspan(at, kListingBytesPerLine)) + '\n';
  }
  return listing;
}

}  // namespace rcp::app
