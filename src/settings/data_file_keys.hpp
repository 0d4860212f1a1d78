#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/field_table.hpp"

// The keys of a data file's one section "File0", in the order saving writes them, each with the
// settings field it keeps, the form its value is written in and when it is written; derived from
// the field registry (field_table.hpp).
namespace rcp::settings {

inline constexpr const char* kDataFileSection = "File0";

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
