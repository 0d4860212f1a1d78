#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "settings/program_state.hpp"

namespace rcp::settings {

enum class FieldKind {
  Digits,          // decimal text of at most maxLength characters, kept exactly as typed
  Text,            // free text of at most maxLength characters
  Number,          // spin field, clamped into its bounds
  Level,           // slider position
  Switch,          // check box
  InvertedSwitch,  // check box showing the opposite of the field
  Choice,          // combo box text
  RadioChoice,     // which of a group of radio buttons is checked
  Integer,         // working value
  U32,             // working value, 0 to 4294967295
};

using FieldValue = std::variant<bool, std::int64_t, std::string>;

struct RadioOption {
  FieldValue value;  // the file text ("National") or the number (125)
  std::string control;
};

// One field of the settings record: its name (the data-file key where the file stores it), its
// kind, where it lives, its value once the program has started, and what opening a data file
// gives it when the key is missing (nullopt: such an open leaves it alone).
struct FieldDef {
  std::string name;
  FieldKind kind = FieldKind::Digits;
  std::string control;  // empty for working values
  int maxLength = 0;
  FieldValue start;
  std::optional<FieldValue> absent;
  std::vector<RadioOption> options;
  // Working values are read and set through these.
  std::function<FieldValue(const ProgramState&)> read;
  std::function<void(ProgramState&, const FieldValue&)> write;
};

// Every field of the settings record, in the order of its tables.
const std::vector<FieldDef>& fieldTable();
// The field of that name, or null.
const FieldDef* findField(std::string_view name);

}  // namespace rcp::settings
