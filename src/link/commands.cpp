#include "link/commands.hpp"

#include <algorithm>
#include <string>

#include "link/hex_text.hpp"

namespace rcp::link {

Bytes textBytes(std::string_view text) {
  return Bytes(text.begin(), text.end());
}

Bytes wakeByte() {
  return {kWakeByte};
}

Bytes modeLetter(ModeLetter letter) {
  return {static_cast<std::uint8_t>(letter)};
}

Bytes memoryCommand(std::string_view wordAndOperands) {
  std::string text(1, static_cast<char>(kWakeByte));
  text += wordAndOperands;
  text += static_cast<char>(kCarriageReturn);
  return textBytes(text);
}

Bytes progCommand() {
  return memoryCommand("PROG");
}

Bytes progAfterWake() {
  return settingCommand("PROG");
}

Bytes writeCommand(std::uint16_t address, std::span<const std::uint8_t> data) {
  return writeCommand(address, static_cast<std::uint8_t>(data.size()), data);
}

Bytes writeCommand(std::uint16_t address, std::uint8_t lengthField,
                   std::span<const std::uint8_t> data) {
  return memoryCommand("WRITE" + hexWord(address) + hexByte(lengthField) + hexDigits(data));
}

Bytes readCommand(std::uint16_t address, std::uint8_t length) {
  return memoryCommand("READ" + hexWord(address) + hexByte(length));
}

Bytes settingCommand(std::string_view wordAndOperands) {
  std::string text(wordAndOperands);
  text += static_cast<char>(kCarriageReturn);
  return textBytes(text);
}

Bytes dumpChunk(std::span<const std::uint8_t> bytes) {
  return textBytes(hexDigits(bytes.first(std::min(bytes.size(), kDumpChunkBytes))));
}

}  // namespace rcp::link
