#pragma once

#include <optional>
#include <string>
#include <vector>

// The keys of a data file's one section "File0", in the order saving writes them, each with the
// settings field it keeps, the form its value is written in and when it is written.
namespace rcp::settings {

inline constexpr const char* kDataFileSection = "File0";

// How saving writes a key's value.
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

// When saving writes a key.
enum class WhenWritten {
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

// Opening reads the key only when the file itself holds the matching condition (its own search
// mode, scheme or talk-around switch); the other conditional keys are read whatever the file
// holds, so a save that does not write one must not leave an older value behind.
constexpr bool readOnlyUnderItsCondition(WhenWritten when) {
  return when == WhenWritten::RangeSearch || when == WhenWritten::Mpt1343 ||
         when == WhenWritten::Cpsx || when == WhenWritten::Talk;
}

struct DataFileKey {
  std::string key;
  std::string field;  // the settings field whose value is written
  ValueForm form = ValueForm::Field;
  WhenWritten when = WhenWritten::Always;
  int label = 0;  // LabelInUse: the entry, 1 to 40
  // What opening takes when the file lacks the key, where it is not the field's own absent
  // value in the key's written form.
  std::optional<std::string> absent;
};

// Every key in the order saving writes it into a new file.
const std::vector<DataFileKey>& dataFileKeys();
// The key of that name, or null.
const DataFileKey* findDataFileKey(const std::string& key);

}  // namespace rcp::settings
