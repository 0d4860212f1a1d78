#pragma once

#include <optional>

#include "link/clock.hpp"
#include "link/port.hpp"
#include "settings/program_state.hpp"

// The radio's electronic code, three bytes of its memory at 0x2E7: "电子码1" (one byte) and
// "电子码2" (two bytes, high byte first). The other-groups dialog edits it in its fields
// electcode1 and electcode2 and moves it straight over the radio link; nothing else of the
// program keeps it.
namespace rcp::rules {

struct ElectronicCode {
  int first = 0;   // 0 to 255 when written
  int second = 0;  // 0 to 65535 when written
};

// Sends the code to the radio; no answer is awaited and no failure is reported.
void writeElectronicCode(link::Port& port, link::Clock& clock, ElectronicCode code);
// Asks the radio twice and takes the second answer, decoded digit by digit without any check of
// its characters; nothing when fewer than six characters came.
[[nodiscard]] std::optional<ElectronicCode> readElectronicCode(link::Port& port,
                                                               link::Clock& clock);

// Binds the rules below and the digit filter of both fields to the other-groups dialog.
void bindElectronicCode(settings::ProgramState& state);

// A field left: empty becomes "0", and so does a value beyond the field's range (255 for
// "电子码1", 65535 for "电子码2"), without a message.
void electcode1Exit(settings::ProgramState& state);
void electcode2Exit(settings::ProgramState& state);
// "写电子码": both fields are brought into range, then sent.
void BitBtn3Click(settings::ProgramState& state);
// "读电子码": the fields show what the radio answers, or keep their texts when it answers short.
void BitBtn4Click(settings::ProgramState& state);

}  // namespace rcp::rules
