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

// How saving writes a field's value under its key.
enum class ValueForm {
  Field,        // by the field's kind: its text, a decimal number, "True" or "False", or the
                // text of the selected radio button
  VersionText,  // "Old" while the old-version switch is on, else "New"
  MenuSwitch,   // "打开" or "关闭"
  MoreGroups,   // "True" unless the value is 0
  CommonMenus,  // "有效" (written only under the common-menu preset)
  AllMenus,     // "无效" under the no-menu preset, "有效" under the all-menu preset
  SpinText,     // the spin field's text as typed ("07" stays "07"); an empty text as the minimum
};

// When saving writes a field's key.
enum class WhenWritten {
  Never,  // the field is no part of a data file
  Always,
  RangeSearch,     // the search mode is anything other than "全信道搜索"
  Mpt1343,         // the MPT1343 scheme is selected
  Cpsx,            // the CPSX scheme is selected
  Talk,            // the talk-around switch is on
  LabelInUse,      // the entry's 局向号 is not 0
  DynaCode,        // the dynamic-group switch is on
  TranscodeShown,  // the PTT switch has been revealed
  CommonPreset,    // menu preset 0
  AllPreset,       // menu preset 1 or 2
};

// The steps of opening a data file, in order. Setting some fields runs rules that set others, so
// each field is set before the fields its rules would overwrite are read. Within a step, fields
// are set by their openRank, then in table order.
enum class OpenStep {
  Spacing,       // the spacing resets the first segment, which the file then sets
  Version,       // the old-version switch, shown when on
  Segments,      // the three channel segments
  Ways,          // search mode and group-call mode; then both change rules run
  SearchRange,   // only when the file's search mode is a range
  Hunting,       // the preferred control channels
  Network,       // network identity, codes and roaming codes
  OffNetwork,    // off-network channels and frequencies
  TalkSwitch,    // the talk-around switch, which shows or hides its group
  TalkNumbers,   // only when the file's talk-around switch is on
  Scheme,        // the scheme switch resets the numbers, which the file then sets
  OwnNumber,     // the own number; a file without it gets the scheme's default
  Mpt1343Fleet,  // only under the file's MPT1343 scheme
  CpsxFleet,     // only under the file's CPSX scheme
  Numbers,       // groups, phone book, ranges
  Lists,         // hidden and waiting groups, system labels
  Rights,        // rights, phone book size, counters and timers
  MenuSwitches,  // each switch followed by its companion
  Alarm,         // the system alarm number
  MenuPreset,    // the preset the two menu keys tell
  NotOpened,     // opening leaves the field alone
};

// How the record shows "MoreGrpDisp" switched on: the radio's bit for it.
inline constexpr std::int64_t kMoreGroupsShown = 16;

// How opening turns a key's value into the field's value.
enum class OpenRead {
  NumberText,   // a digit field gets the number's decimal text
  DigitString,  // a talk-around number: digits as the radio keeps them
  Number,       // a whole number; spin fields and sliders clamp it as they are set
  U32,          // never fails
  Text,         // the text as it stands
  Toggle,       // "True" or not
  MenuSwitch,   // "打开" or not
  FirstOption,  // a radio choice: the first option for exactly its value, else the second
  VersionText,  // the old version for exactly "Old"
  MoreGroups,   // kMoreGroupsShown for "True", else 0
  ByCode,       // read by the open's own code for the field
};

// One row of the field registry: a field of the settings record with everything the program
// knows about it in one place. Its name is the data-file key where the file stores it. Where it
// lives, its value once the program has started (the window's layout takes its start from here),
// what opening a data file gives it when the key is missing (nullopt: such an open leaves it
// alone), how and when saving writes it and when opening sets it. Its place on the window and in
// the radio's memory are derived: fieldPath (settings/field_captions.hpp) and fieldLocations
// (image/field_locations.hpp).
struct FieldDef {
  std::string name;
  FieldKind kind = FieldKind::Digits;
  std::string control;  // empty for working values
  int maxLength = 0;
  FieldValue start;
  std::optional<FieldValue> absent;
  std::vector<RadioOption> options;
  // Whether the box starts with the start value when the window is created. The menu switches
  // do not: the window's first showing turns them on.
  bool startsTheBox = true;
  // Working values are read and set through these.
  std::function<FieldValue(const ProgramState&)> read;
  std::function<void(ProgramState&, const FieldValue&)> write;

  // Data file: saving writes the fields in table order.
  ValueForm saveForm = ValueForm::Field;
  WhenWritten saveWhen = WhenWritten::Always;
  int label = 0;  // LabelInUse: the entry, 1 to 40
  OpenStep openStep = OpenStep::NotOpened;
  OpenRead openRead = OpenRead::Text;
  int openRank = 0;
  // Derived once the table is built: the field's place among the keys saving writes and among
  // the fields opening sets (-1 where it has none).
  int savePosition = -1;
  int openPosition = -1;
};

// Every field of the settings record, in the order saving writes them into a new data file.
const std::vector<FieldDef>& fieldTable();
// The field of that name, or null.
const FieldDef* findField(std::string_view name);
// The field shown by that control of the main window, or null.
const FieldDef* fieldOfControl(std::string_view control);
// The fields opening a data file sets, in the order it sets them.
const std::vector<const FieldDef*>& fieldsInOpenOrder();

}  // namespace rcp::settings
