#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace rcp::sim {

// What a command word (the text between the optional 0x91 and the CR) asks of the radio.
enum class CommandKind {
  Prog,         // PROG
  Write,        // WRITE aaaa ll dd…
  Read,         // READ aaaa ll
  Signalling,   // STANDARD0, STANDARD1
  Dialling,     // MODE0, MODE1
  Scrambler,    // PN0 (on), PN1 (off)
  Test,         // TXMD, TXAD, TXDT, RXAD, TALK, MUTE, and "U" with CR (power adjustment)
  Channel,      // CH and one to three digits
  Compander,    // TC0, TC1
  Volume,       // VR1-VR3 and one or two digits, VR4 and one digit
  Alignment,    // SS, BF, PWR, PP0-PP3, LM1-LM3 and three digits
  Calibration,  // I1, I5
};

struct RadioCommand {
  CommandKind kind = CommandKind::Prog;
  std::string word;  // the whole text, e.g. "WRITE00070101" or "CH5"
  std::string name;  // the word without its operands, e.g. "WRITE", "CH", "VR1", "PP0"
  int value = 0;     // the digits of STANDARD, MODE, PN, CH, TC, VRn and the alignment commands
  // WRITE and READ:
  std::uint16_t address = 0;
  std::uint8_t length = 0;         // the length field as sent
  std::vector<std::uint8_t> data;  // WRITE: the bytes whose digits arrived before the CR
};

bool isMemoryCommand(CommandKind kind);
// The commands the radio obeys only in its test state: the tests, the channel, the compander,
// the alignment values and the field-strength calibration.
bool isTestCommand(CommandKind kind);

// Nothing when the word is not one the radio knows, or its operands are malformed (hexadecimal
// operands must be upper case).
std::optional<RadioCommand> parseCommand(std::string_view word);

}  // namespace rcp::sim
