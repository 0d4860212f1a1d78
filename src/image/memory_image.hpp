#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// The radio's configuration memory, 0x000 to 0x3FF, as bytes with one accessor per encoding
// the radio uses. Numbers are big-endian. Hex text exists only at the edge: hex() gives the wire
// form of a run of bytes and loadHex() takes an answer back in.
namespace rcp::image {

using Address = std::uint16_t;

// A subscriber number as the radio holds it: an MPT 1327 prefix byte and an ident word. The
// fields are plain integers so that a computed pair can be checked before it is stored.
struct PrefixIdent {
  std::int64_t prefix = 0;
  std::int64_t ident = 0;

  friend bool operator==(const PrefixIdent&, const PrefixIdent&) = default;
};

// Channel frequencies are stored as a count of channel steps. Frequencies of 801 MHz and above
// are folded down by 600 MHz so that they fit; a stored count that lands between 201 and
// 299 MHz is unfolded again. Frequencies are in 100 Hz steps, the step in the same unit.
std::int64_t channelCount(std::int64_t frequency, int step);
std::int64_t frequencyOfCount(std::int64_t count, int step);

enum class FrequencyWidth { Word = 2, Triple = 3 };

class MemoryImage {
 public:
  static constexpr std::size_t kSize = 1024;

  // Every accessor checks that its bytes lie inside the memory and throws std::out_of_range
  // otherwise: an address outside is a programming error, never the radio's data.
  std::uint8_t byte(Address at) const;
  void setByte(Address at, std::uint8_t value);
  std::uint16_t word(Address at) const;
  void setWord(Address at, std::uint16_t value);
  std::uint32_t triple(Address at) const;
  void setTriple(Address at, std::uint32_t value);  // value below 2^24

  // Flag: 0x01 on, 0x00 off; any nonzero byte (or low half-byte) reads as on.
  bool flag(Address at) const { return byte(at) != 0; }
  bool lowFlag(Address at) const { return lowHalf(at) != 0; }
  void setFlag(Address at, bool on) { setByte(at, on ? 1 : 0); }
  // Inverted flag: 0x00 on, 0x01 off.
  bool invertedFlag(Address at) const { return byte(at) == 0; }
  void setInvertedFlag(Address at, bool on) { setByte(at, on ? 0 : 1); }
  bool bit(Address at, std::uint8_t mask) const { return (byte(at) & mask) != 0; }
  void setBit(Address at, std::uint8_t mask, bool on);
  std::uint8_t lowHalf(Address at) const { return byte(at) & 0x0F; }
  std::uint8_t highHalf(Address at) const { return byte(at) >> 4; }

  // Nibble digits: one decimal digit per half-byte, the first in the high half of the first
  // byte, the rest of the slot of `width` bytes zero. The digits are "0" to "9" and at most
  // 2 x width of them (std::invalid_argument otherwise). Reading gives the first `count`
  // half-bytes (at most the slot) as hexadecimal digit characters, as the radio holds them.
  void setNibbleDigits(Address at, std::size_t width, std::string_view digits);
  std::string nibbleDigits(Address at, std::size_t width, std::size_t count) const;
  // Byte digits: one digit per byte (0 to 9), the rest of the slot zero. Reading takes the low
  // decimal digit of each of the first `count` bytes (at most the slot).
  void setByteDigits(Address at, std::size_t width, std::string_view digits);
  std::string byteDigits(Address at, std::size_t width, std::size_t count) const;

  // Character codes, one per byte.
  void setBytes(Address at, std::span<const std::uint8_t> bytes);
  std::vector<std::uint8_t> bytes(Address at, std::size_t count) const;
  void clear(Address at, std::size_t count);

  // A channel frequency stored as a word or a triple of channel steps (folded, see above); the
  // count must fit the width (std::out_of_range otherwise).
  std::int64_t frequency(Address at, FrequencyWidth width, int step) const;
  void setFrequency(Address at, FrequencyWidth width, int step, std::int64_t frequency);

  // Prefix byte followed by ident word; both must fit (std::out_of_range otherwise).
  PrefixIdent prefixIdent(Address at) const;
  void setPrefixIdent(Address at, PrefixIdent value);

  // The wire form: two upper-case hexadecimal digits per byte, lowest address first.
  std::string hex(Address at, std::size_t count) const;
  // Takes digit pairs into memory from `at` on: a character above "9" counts as its code minus
  // 55, any other as its code minus 48, so no text is refused. An odd last digit and digits
  // beyond the end of memory are ignored. Returns the number of bytes taken.
  std::size_t loadHex(Address at, std::string_view digits);

  const std::array<std::uint8_t, kSize>& data() const { return bytes_; }

  friend bool operator==(const MemoryImage&, const MemoryImage&) = default;

 private:
  std::size_t checked(Address at, std::size_t count) const;

  std::array<std::uint8_t, kSize> bytes_{};
};

}  // namespace rcp::image
