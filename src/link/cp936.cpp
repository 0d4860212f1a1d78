#include "link/cp936.hpp"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <optional>

namespace rcp::link {

namespace {

// The two-byte codes, generated from the C library's CP936 by scripts/gen-cp936.
#include "link/cp936_table.inc"

constexpr unsigned char kFirstLead = 0x81, kLastLead = 0xFE;
constexpr unsigned char kFirstTrail = 0x40, kLastTrail = 0xFE;
constexpr std::size_t kTrails = kLastTrail - kFirstTrail + 1;

// Besides ASCII, one byte stands alone: 0x80, the euro sign. 0xFF is no character.
constexpr unsigned char kEuroByte = 0x80;
constexpr char32_t kEuro = 0x20AC;

constexpr std::string_view kReplacement = "\xEF\xBF\xBD";  // U+FFFD in UTF-8

// The character of a lead and a trail byte; 0 when the pair is no character.
char16_t twoByteCharacter(unsigned char lead, unsigned char trail) {
  if (lead < kFirstLead || lead > kLastLead || trail < kFirstTrail || trail > kLastTrail) return 0;
  return kTwoByteCharacters[(lead - kFirstLead) * kTrails + (trail - kFirstTrail)];
}

// The two-byte code of a character of the Basic Multilingual Plane, if the code page has one.
std::optional<std::uint16_t> twoByteCode(char32_t character) {
  const auto characterOf = [](std::uint16_t code) {
    return static_cast<char32_t>(twoByteCharacter(code >> 8, code & 0xFF));
  };
  const auto* end = std::end(kTwoByteCodesByCharacter);
  const auto* found = std::lower_bound(
      std::begin(kTwoByteCodesByCharacter), end, character,
      [&](std::uint16_t code, char32_t wanted) { return characterOf(code) < wanted; });
  if (found == end || characterOf(*found) != character) return std::nullopt;
  return *found;
}

void appendUtf8(std::string& out, char32_t character) {
  if (character < 0x80) {
    out += static_cast<char>(character);
  } else if (character < 0x800) {
    out += static_cast<char>(0xC0 | character >> 6);
    out += static_cast<char>(0x80 | (character & 0x3F));
  } else {
    out += static_cast<char>(0xE0 | character >> 12);
    out += static_cast<char>(0x80 | (character >> 6 & 0x3F));
    out += static_cast<char>(0x80 | (character & 0x3F));
  }
}

// How many bytes the character at the start of `text` takes when it is well-formed UTF-8;
// 1 for a byte that does not begin a complete, well-formed sequence. Malformed input is skipped
// by this length.
std::size_t utf8CharacterLength(std::string_view text) {
  const auto lead = static_cast<unsigned char>(text.front());
  std::size_t length = 1;
  if (lead >= 0xC2 && lead <= 0xDF) length = 2;
  if (lead >= 0xE0 && lead <= 0xEF) length = 3;
  if (lead >= 0xF0 && lead <= 0xF4) length = 4;
  if (length > text.size()) return 1;
  for (std::size_t i = 1; i < length; ++i) {
    if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
  }
  return length;
}

// The character at the start of `text` when it is strict UTF-8 (shortest form, no surrogate,
// at most U+10FFFF), taking utf8CharacterLength(text) bytes.
std::optional<char32_t> utf8Character(std::string_view text) {
  const std::size_t length = utf8CharacterLength(text);
  const auto lead = static_cast<unsigned char>(text.front());
  if (length == 1) return lead < 0x80 ? std::optional<char32_t>(lead) : std::nullopt;
  char32_t character = lead & (0xFF >> (length + 1));
  for (std::size_t i = 1; i < length; ++i) {
    character = character << 6 | (static_cast<unsigned char>(text[i]) & 0x3F);
  }
  constexpr char32_t kShortest[] = {0, 0, 0x80, 0x800, 0x10000};
  if (character < kShortest[length] || character > 0x10FFFF) return std::nullopt;
  if (character >= 0xD800 && character <= 0xDFFF) return std::nullopt;
  return character;
}

// The language tags U+E0000..U+E007F are dropped rather than replaced, as the C library's
// converters do: they only qualify the characters before them.
bool isTagCharacter(char32_t character) {
  return character >> 7 == 0xE0000 >> 7;
}

}  // namespace

std::string decodeCp936(std::string_view bytes) {
  std::string out;
  out.reserve(bytes.size() * 3 / 2);
  for (std::size_t i = 0; i < bytes.size();) {
    const auto byte = static_cast<unsigned char>(bytes[i]);
    if (byte < 0x80 || byte == kEuroByte) {
      appendUtf8(out, byte == kEuroByte ? kEuro : byte);
      i += 1;
      continue;
    }
    const char16_t character =
        i + 1 < bytes.size() ? twoByteCharacter(byte, static_cast<unsigned char>(bytes[i + 1])) : 0;
    if (character != 0) {
      appendUtf8(out, character);
      i += 2;
    } else {
      out += kReplacement;  // only this byte: the next may begin a character of its own
      i += 1;
    }
  }
  return out;
}

std::string encodeCp936(std::string_view utf8) {
  std::string out;
  out.reserve(utf8.size());
  while (!utf8.empty()) {
    const std::optional<char32_t> character = utf8Character(utf8);
    utf8.remove_prefix(utf8CharacterLength(utf8));
    if (!character) {
      out += '?';
    } else if (*character < 0x80) {
      out += static_cast<char>(*character);
    } else if (*character == kEuro) {
      out += static_cast<char>(kEuroByte);
    } else if (isTagCharacter(*character)) {
      continue;
    } else if (const auto code = *character <= 0xFFFF ? twoByteCode(*character) : std::nullopt) {
      out += static_cast<char>(*code >> 8);
      out += static_cast<char>(*code & 0xFF);
    } else {
      out += '?';
    }
  }
  return out;
}

}  // namespace rcp::link
