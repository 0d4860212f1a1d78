#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace rcp::link {

// The byte forms of everything the tool sends to the radio. There are five:
//   memory command   0x91, command word, hexadecimal operands, CR   (PROG, WRITE, READ)
//   mode letter      one upper-case letter, nothing else           (T, Q, U, D)
//   setting command  command word and operands, CR; no 0x91        (STANDARD1, MODE0, PN1, CH5…)
//   wake byte        0x91 alone
//   dump chunk       16 hexadecimal digits, nothing else            (only after D)

using Bytes = std::vector<std::uint8_t>;

inline constexpr std::uint8_t kWakeByte = 0x91;
inline constexpr std::uint8_t kCarriageReturn = 0x0D;
inline constexpr std::size_t kIdentityLength = 18;
// The bulk block: read as one answer of 0x010-0x1FF, written as 61 chunks of 8 bytes from 0x010.
inline constexpr std::uint16_t kBulkStart = 0x010;
inline constexpr std::size_t kBulkAnswerBytes = 496;
inline constexpr std::size_t kDumpChunkBytes = 8;
inline constexpr std::size_t kDumpChunks = 61;

enum class ModeLetter : char {
  EnterTest = 'T',  // answered with "T"
  Leave = 'Q',      // back to idle, no answer
  SendBulk = 'U',   // answered with "U" and the bulk block as digits
  TakeBulk = 'D',   // answered with one byte, then takes the dump chunks
};

Bytes textBytes(std::string_view text);

Bytes wakeByte();
Bytes modeLetter(ModeLetter letter);

// 0x91, the word with its operands, CR.
Bytes memoryCommand(std::string_view wordAndOperands);
// 0x91 "PROG" CR.
Bytes progCommand();
// "PROG" CR: after a wake byte, which serves as the command's 0x91.
Bytes progAfterWake();
// 0x91 "WRITE", address (4 digits), length (2 digits), data (2 digits a byte), CR. The length
// field normally counts the data; some records carry a length field that disagrees with it.
Bytes writeCommand(std::uint16_t address, std::span<const std::uint8_t> data);
Bytes writeCommand(std::uint16_t address, std::uint8_t lengthField,
                   std::span<const std::uint8_t> data);
// 0x91 "READ", address (4 digits), length (2 digits), CR.
Bytes readCommand(std::uint16_t address, std::uint8_t length);

// The word with its operands, CR; no 0x91.
Bytes settingCommand(std::string_view wordAndOperands);

// The 16 digits of up to 8 bytes of the bulk image (fewer bytes give fewer digits).
Bytes dumpChunk(std::span<const std::uint8_t> bytes);

}  // namespace rcp::link
