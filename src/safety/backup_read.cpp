#include "safety/backup_read.hpp"

#include <cstdint>
#include <string>

#include "link/hex_text.hpp"
#include "settings/data_file_keys.hpp"

namespace rcp::app {

namespace {

// The memory in lines of 128 bytes ("Memory000" to "Memory380"): a value holds at most 2047
// characters.
constexpr const char* kMemoryKey = "Memory";
constexpr std::size_t kLineBytes = 128;

std::string memoryKey(std::size_t at) {
  const char digits[] = "0123456789ABCDEF";
  return std::string(kMemoryKey) + digits[at >> 8 & 0xF] + digits[at >> 4 & 0xF] + digits[at & 0xF];
}
constexpr const char* kFetchedKey = "Fetched";
constexpr const char* kMenuBitsKey = "MenuBits";
constexpr const char* kRecordKey = "Record";

// FNV-1a over the record's keys and values in file order.
std::string fingerprint(const link::IniDocument& document) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  const auto add = [&hash](const std::string& text) {
    for (const char c : text) {
      hash ^= static_cast<unsigned char>(c);
      hash *= 0x100000001b3ULL;
    }
  };
  for (const std::string& key : document.keys(settings::kDataFileSection)) {
    add(key);
    add("=");
    add(document.value(settings::kDataFileSection, key, ""));
    add("\n");
  }
  std::string text;
  for (int shift = 60; shift >= 0; shift -= 4) text += "0123456789ABCDEF"[(hash >> shift) & 0xF];
  return text;
}

bool hexOfLength(const std::string& text, std::size_t digits) {
  return text.size() == digits &&
         text.find_first_not_of("0123456789ABCDEFabcdef") == std::string::npos;
}

int digit(char c) {
  return c <= '9' ? c - '0' : (c | 0x20) - 'a' + 10;
}

}  // namespace

void addBackupRead(link::IniDocument& document, const image::RadioReading& reading,
                   const image::MenuBits& menuBits) {
  const image::ReadBack back = image::readBack(reading);
  std::string fetched;
  for (std::size_t at = 0; at < back.fetched.size(); at += 4) {
    int nibble = 0;
    for (std::size_t i = 0; i < 4; ++i) nibble = nibble << 1 | (back.fetched[at + i] ? 1 : 0);
    fetched += "0123456789ABCDEF"[nibble];
  }
  document.set(kBackupReadSection, kRecordKey, fingerprint(document));
  document.set(kBackupReadSection, kMenuBitsKey, link::hexDigits(menuBits));
  for (std::size_t at = 0; at < image::MemoryImage::kSize; at += kLineBytes)
    document.set(kBackupReadSection, memoryKey(at),
                 back.memory.hex(static_cast<image::Address>(at), kLineBytes));
  document.set(kBackupReadSection, kFetchedKey, fetched);
}

std::optional<BackupRead> backupRead(const link::IniDocument& document) {
  const auto value = [&document](const char* key) {
    return document.value(kBackupReadSection, key, "");
  };
  std::string memory;
  for (std::size_t at = 0; at < image::MemoryImage::kSize; at += kLineBytes)
    memory += document.value(kBackupReadSection, memoryKey(at), "");
  const std::string fetched = value(kFetchedKey), bits = value(kMenuBitsKey);
  constexpr std::size_t kBytes = image::MemoryImage::kSize;
  if (value(kRecordKey) != fingerprint(document) || !hexOfLength(memory, 2 * kBytes) ||
      !hexOfLength(fetched, kBytes / 4) || !hexOfLength(bits, 6))
    return std::nullopt;
  BackupRead read;
  read.memory.memory.loadHex(0, memory);
  for (std::size_t at = 0; at < kBytes; ++at)
    read.memory.fetched[at] = (digit(fetched[at / 4]) >> (3 - at % 4)) & 1;
  for (std::size_t i = 0; i < read.menuBits.size(); ++i)
    read.menuBits[i] = static_cast<std::uint8_t>(digit(bits[2 * i]) << 4 | digit(bits[2 * i + 1]));
  return read;
}

}  // namespace rcp::app
