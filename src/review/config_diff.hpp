#pragma once

#include <array>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "image/memory_image.hpp"
#include "link/ini_document.hpp"
#include "settings/program_state.hpp"

// Comparing two configurations: field by field as their data files would keep them, or byte by
// byte as the memory a write of each leaves in a radio. Either side is a program holding a
// record (a data file opened, a radio read) or, for the memory, the 1024 bytes themselves.
namespace rcp::app {

struct FieldDifference {
  std::string key;    // the data-file key
  std::string field;  // the settings field it keeps
  std::string tab;    // the main window's tab page the field is found on; empty for none
  // Where the window shows it: tab › group › caption (the key without one), followed by
  // "（键 KEY）" where another key has the same name.
  std::string path;
  // What a save of each side writes under the key; nothing when that side's save leaves the key
  // out (a search range under "全信道搜索", the other scheme's fleet fields, an unused label).
  std::optional<std::string> a;
  std::optional<std::string> b;
};

// The value under every key a configuration keeps, by key.
using KeptValues = std::map<std::string, std::string>;

// What a save of the record writes. Saving is done into memory; reading a spin field that holds
// no number sets it to its minimum, as a save would.
KeptValues savedValues(settings::ProgramState& state);

// A data file's values as the program takes them: those of the record opened from it (its
// numbers as a save writes them, "0001" as "1"), except under the keys that opening leaves alone
// (the start-up text and password), which keep the file's own value or stay missing.
KeptValues dataFileValues(settings::ProgramState& opened, const link::IniDocument& file);

// Every key whose value differs or which only one side carries, in the order of the main
// window's tab pages (keys that no tab shows last), within a tab in the order saving writes them.
// `namer` names the fields.
std::vector<FieldDifference> compareValues(const KeptValues& a, const KeptValues& b,
                                           const settings::ProgramState& namer);

// Whether a radio keeps the field: the write puts it somewhere in the radio's memory, or a read
// sets it from another field's place. A field it does not keep (the old-version switch, the menu
// preset) comes out of a read as the program had it.
bool radioKeeps(const std::string& field);

struct ByteDifference {
  image::Address address = 0;
  std::uint8_t a = 0;
  std::uint8_t b = 0;
};

using MemoryBytes = std::array<std::uint8_t, image::MemoryImage::kSize>;

std::vector<ByteDifference> compareImages(const MemoryBytes& a, const MemoryBytes& b);

// What the byte at the address belongs to: the path of each field stored there, or "填充" with
// the filler's description, joined by "；". Places that only one dialling scheme lays out there
// are named under that scheme only when it is one of the two memories' (`cpsxA`, `cpsxB`).
std::string ownerOfByte(const settings::ProgramState& namer, image::Address address, bool cpsxA,
                        bool cpsxB);

// Whether a memory holds a configuration of the CPSX dialling scheme.
bool holdsCpsx(const MemoryBytes& memory);

}  // namespace rcp::app
