#include "settings/data_file.hpp"

#include <algorithm>
#include <exception>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

#include "link/ini_profile.hpp"
#include "link/path_text.hpp"
#include "settings/data_file_keys.hpp"
#include "settings/data_file_rollback.hpp"
#include "settings/data_file_values.hpp"
#include "settings/fleet_levels.hpp"
#include "settings/menu_switch_table.hpp"
#include "settings/record.hpp"
#include "ui/conversion_error.hpp"
#include "ui/layout.hpp"
#include "ui/number_text.hpp"

namespace rcp::settings {

namespace {

namespace fs = std::filesystem;
using std::int64_t;

constexpr const char* kAllChannels = "全信道搜索";
constexpr const char* kMenusValid = "有效";
constexpr const char* kMenusInvalid = "无效";

constexpr const char* kCpsxOwnNumber = "32620201";

constexpr const char* kTalkControls[] = {"Talk", "TalkLab1", "TalkLab2", "TalkIndivol", "TalkGrp"};

// ---- Messages ------------------------------------------------------------------------------

std::string quoted(const fs::path& file) {
  return "“" + link::textOf(file) + "”";
}

DataFileError missing(const fs::path& file) {
  return {DataFileError::Kind::Missing, "文件" + quoted(file) + "不存在！"};
}

DataFileError unreadable(const link::IniError& error) {
  return {DataFileError::Kind::Unreadable, error.message()};
}

DataFileError notDataFile(const fs::path& file) {
  return {DataFileError::Kind::NotDataFile, "文件" + quoted(file) + "不是数据文件！"};
}

// The toolkit's wording: a full stop follows unless the path already ends in one (or in a
// character that sorts before it).
DataFileError unwritable(const fs::path& file) {
  std::string text = "Unable to write to " + link::textOf(file);
  if (!text.empty() && static_cast<unsigned char>(text.back()) > '.') text += '.';
  return {DataFileError::Kind::Unwritable, std::move(text)};
}

// ---- Files --------------------------------------------------------------------------------

// ---- Value forms ---------------------------------------------------------------------------

// A field's value as saving writes it under the key; also the form of the key's absent value.
std::string writtenText(const DataFileKey& key, const FieldValue& value) {
  switch (key.form) {
    case ValueForm::VersionText:
      return std::get<bool>(value) ? "Old" : "New";
    case ValueForm::MenuSwitch:
      return menuSwitchText(std::get<bool>(value));
    case ValueForm::MoreGroups:
      return switchText(std::get<int64_t>(value) != 0);
    case ValueForm::CommonMenus:
      return kMenusValid;
    case ValueForm::AllMenus:
      return std::get<int64_t>(value) == static_cast<int64_t>(MenuPreset::None) ? kMenusInvalid
                                                                                : kMenusValid;
    case ValueForm::Field:
    case ValueForm::SpinText:
      break;
  }
  if (const auto* on = std::get_if<bool>(&value)) return switchText(*on);
  if (const auto* number = std::get_if<int64_t>(&value)) return ui::decimal(*number);
  return std::get<std::string>(value);
}

const DataFileKey& keyRow(const std::string& key) {
  const DataFileKey* row = findDataFileKey(key);
  if (!row) throw std::out_of_range("no data-file key " + key);
  return *row;
}

// What opening takes for a missing key, in the key's written form.
std::string absentText(const DataFileKey& key) {
  if (key.absent) return *key.absent;
  const FieldDef* field = findField(key.field);
  if (!field || !field->absent)
    throw std::logic_error("data-file key " + key.key + " has no absent value");
  return writtenText(key, *field->absent);
}

// ---- Saving --------------------------------------------------------------------------------

std::string savedText(ProgramState& state, Record& record, const DataFileKey& key) {
  const FieldValue value = record.get(key.field);  // an empty spin field becomes its minimum
  if (key.form == ValueForm::SpinText) return state.main->text(findField(key.field)->control);
  return writtenText(key, value);
}

bool isWritten(ProgramState& state, Record& record, const DataFileKey& key) {
  switch (key.when) {
    case WhenWritten::Never:
      return false;
    case WhenWritten::Always:
      return true;
    case WhenWritten::RangeSearch:
      return record.text("SearchWay") != kAllChannels;
    case WhenWritten::Mpt1343:
      return record.text("DiallingScheme") == "MPT1343";
    case WhenWritten::Cpsx:
      return record.text("DiallingScheme") == "CPSX";
    case WhenWritten::Talk:
      return record.flag("Talk");
    case WhenWritten::LabelInUse:
      return state.values.systemLabels.at(static_cast<std::size_t>(key.label - 1)).route != 0;
    case WhenWritten::DynaCode:
      return record.flag("DynaCode");
    case WhenWritten::TranscodeShown:
      return state.main->at("Transcode").visible;
    case WhenWritten::CommonPreset:
      return state.values.menuPreset == MenuPreset::Common;
    case WhenWritten::AllPreset:
      return state.values.menuPreset == MenuPreset::None ||
             state.values.menuPreset == MenuPreset::All;
  }
  return false;
}

// ---- Opening -------------------------------------------------------------------------------

// Section "File0" of a document, with the absent text of a key the file lacks.
class FileSection {
 public:
  explicit FileSection(link::IniSection section) : section_(std::move(section)) {}

  std::string value(const std::string& key) const {
    auto found = section_.value(key);
    return found ? std::move(*found) : absentText(keyRow(key));
  }
  bool has(const std::string& key) const { return section_.value(key).has_value(); }
  // Whether the section holds any key a data file has: one that holds none is no data file,
  // whatever its header says, and would only give every field its absent value.
  bool hasAnyKnownKey() const {
    const auto& keys = dataFileKeys();
    return std::any_of(keys.begin(), keys.end(), [&](const DataFileKey& k) { return has(k.key); });
  }
  std::string value(const std::string& key, const std::string& absent) const {
    return section_.value(key).value_or(absent);
  }

 private:
  link::IniSection section_;
};

// The changes an open makes, in order. Building it converts every value the open reads, so a
// value that is no number stops the open before anything has changed; running it sets the fields
// with their side effects.
class OpenPlan {
 public:
  explicit OpenPlan(const FileSection& file) : file_(file) {}

  // Every value the plan reads goes through here, so the key of a failed conversion is known.
  std::string raw(const std::string& key) {
    lastKey_ = key;
    return file_.value(key);
  }
  const std::string& lastKey() const { return lastKey_; }
  bool has(const std::string& key) const { return file_.has(key); }

  void then(std::function<void(ProgramState&)> change) { changes_.push_back(std::move(change)); }
  void set(const std::string& field, FieldValue value) {
    then([field, value = std::move(value)](ProgramState& s) { Record(s).set(field, value); });
  }
  void fire(const char* control, ui::Event event) {
    then([control, event](ProgramState& s) { s.main->fire(control, event); });
  }

  // N: a digit field gets the number's decimal text.
  void numberText(const std::string& key) { set(key, readNumberText(raw(key))); }
  // N for a field the rules take as a whole number (the channel segments): one too long for
  // that fails here, where its key is known, not in a rule after the open.
  void wholeNumberText(const std::string& key) {
    std::string text = readNumberText(raw(key));
    if (!text.empty()) ui::toInt32(text);  // raises the conversion error
    set(key, std::move(text));
  }
  // The talk-around numbers: digit strings as the radio keeps them.
  void digitString(const std::string& key) { set(key, readDigitString(raw(key))); }
  // I, S and L: a whole number; spin fields and sliders clamp it as they are set.
  void number(const std::string& key) { set(key, int64_t{readInteger(raw(key))}); }
  // U: never fails; a text that is not the number it gives is kept for the write's check.
  void u32(const std::string& key) {
    const std::string text = raw(key);
    const int64_t number = readLenientU32(text);
    if (!text.empty() && ui::parseInt64(text) != number)
      then([key, text, number](ProgramState& s) { s.openedAsOther[key] = {text, number}; });
    set(key, number);
  }
  // T: the text as it stands.
  void text(const std::string& key) { set(key, raw(key)); }
  void textOr(const std::string& key, const std::string& absent) {
    lastKey_ = key;
    set(key, file_.value(key, absent));
  }
  // B and M.
  void toggle(const std::string& key) { set(key, readSwitch(raw(key))); }
  void menuSwitch(const std::string& key) { set(key, readMenuSwitch(raw(key))); }

  void run(ProgramState& state) const {
    for (const auto& change : changes_) change(state);
  }

 private:
  const FileSection& file_;
  std::string lastKey_;
  std::vector<std::function<void(ProgramState&)>> changes_;
};

// Saving writes "全部菜单" under the presets "all off" and "all on", "常用菜单" under the common
// preset and neither after a menu switch was changed by hand; opening gives back the preset the
// keys tell.
MenuPreset menuPreset(OpenPlan& plan) {
  if (plan.has("全部菜单"))
    return plan.raw("全部菜单") == kMenusInvalid ? MenuPreset::None : MenuPreset::All;
  return plan.has("常用菜单") ? MenuPreset::Common : MenuPreset::HandPicked;
}

// The segment number of the chosen fleet level in its spin box, as the stored blocks hold it:
// the box's bounds are the level's, widened to the stored value where the plan is out of order,
// so that nothing is clamped, and the value is put in place without its change rule (which would
// move the plan and check the groups against it).
void showStoredSegment(ProgramState& state) {
  ui::Form& form = *state.main;
  const int level = levelNamed(form.text("Block")).value_or(3);
  const SegmentChoice choice = segmentChoice(level, fleetBlocks(state.values));
  form.setCaption("MaxUnitLab", std::string(choice.caption));
  form.setEnabled("MaxUnit", choice.editable);
  ui::Control shown = form.at("MaxUnit");
  shown.min = std::min(choice.min.value_or(shown.min), choice.value);
  shown.max = std::max(choice.max, choice.value);
  shown.text = ui::decimal(choice.value);
  form.restore({shown});
}

bool mpt1343File(OpenPlan& plan) {
  return plan.raw("DiallingScheme") == "MPT1343";
}

// Whether the file's own settings let opening set the fields of a step.
bool stepApplies(OpenPlan& plan, OpenStep step) {
  switch (step) {
    case OpenStep::SearchRange:
      return plan.raw("SearchWay") != kAllChannels;
    case OpenStep::TalkNumbers:
      return readSwitch(plan.raw("Talk"));
    case OpenStep::Mpt1343Fleet:
      return mpt1343File(plan);
    case OpenStep::CpsxFleet:
      return !mpt1343File(plan);
    default:
      return true;
  }
}

// A radio choice of two: the first option for exactly its value, else the second.
FieldValue firstOrSecond(const FieldDef& field, const std::string& raw) {
  const FieldValue& first = field.options.front().value;
  const bool isFirst = std::holds_alternative<int64_t>(first)
                           ? readInteger(raw) == std::get<int64_t>(first)
                           : raw == std::get<std::string>(first);
  return isFirst ? first : field.options.back().value;
}

// The fields the open's own code reads.
void openByCode(OpenPlan& plan, const FieldDef& field) {
  if (field.name == "MenuPreset")
    return plan.set(field.name, static_cast<int64_t>(menuPreset(plan)));
  // The own number: a file without it gets the default of its scheme.
  plan.textOr(field.name,
              mpt1343File(plan) ? std::get<std::string>(*field.absent) : kCpsxOwnNumber);
}

void openField(OpenPlan& plan, const FieldDef& field) {
  const std::string& key = field.name;
  switch (field.openRead) {
    case OpenRead::NumberText:
      if (field.openStep == OpenStep::Segments) return plan.wholeNumberText(key);
      return plan.numberText(key);
    case OpenRead::DigitString:
      return plan.digitString(key);
    case OpenRead::Number:
      return plan.number(key);
    case OpenRead::U32:
      return plan.u32(key);
    case OpenRead::Text:
      return plan.text(key);
    case OpenRead::Toggle:
      return plan.toggle(key);
    case OpenRead::MenuSwitch:
      return plan.menuSwitch(key);
    case OpenRead::FirstOption:
      return plan.set(key, firstOrSecond(field, plan.raw(key)));
    case OpenRead::VersionText:
      return plan.set(key, plan.raw(key) == "Old");
    case OpenRead::MoreGroups:
      return plan.set(key, readSwitch(plan.raw(key)) ? kMoreGroupsShown : int64_t{0});
    case OpenRead::ByCode:
      return openByCode(plan, field);
  }
}

// What follows the fields of a step: shown controls and the change rules the open runs.
void afterStep(OpenPlan& plan, OpenStep step) {
  switch (step) {
    case OpenStep::Version:
      if (plan.raw("Version") == "Old")
        plan.then([](ProgramState& s) { s.main->setVisible("OldVersion", true); });
      return;
    case OpenStep::Ways:
      // Both combo boxes take any text; their change rules set the search flag with the range
      // fields' state and the group-call flag.
      plan.fire("GrpWay", ui::Event::Change);
      plan.fire("SearchWay", ui::Event::Change);
      return;
    case OpenStep::TalkSwitch: {
      // The talk-around group shows with its switch.
      const bool talk = readSwitch(plan.raw("Talk"));
      plan.then([talk](ProgramState& s) {
        for (const char* control : kTalkControls) s.main->setVisible(control, talk);
      });
      return;
    }
    case OpenStep::MenuPreset:
      // The fleet plan read is the one used, as stored: the level bounds follow the block values
      // at once, and the level's segment number is shown without any rule running.
      if (!mpt1343File(plan)) {
        plan.then([](ProgramState& s) {
          boundLevelsByBlocks(s.values);
          showStoredSegment(s);
        });
      }
      return;
    default:
      return;
  }
}

// The open walks the fields in the registry's open order, step by step.
void planOpen(OpenPlan& plan) {
  const auto& fields = fieldsInOpenOrder();
  auto next = fields.begin();
  for (int s = 0; s < static_cast<int>(OpenStep::NotOpened); ++s) {
    const auto step = static_cast<OpenStep>(s);
    const bool applies = stepApplies(plan, step);
    for (; next != fields.end() && (*next)->openStep == step; ++next)
      if (applies) openField(plan, **next);
    if (applies) afterStep(plan, step);
  }
}

}  // namespace

void saveRecord(ProgramState& state, link::IniDocument& document) {
  Record record(state);
  std::vector<std::pair<std::string, std::string>> written;
  std::vector<std::string> stale;
  for (const DataFileKey& key : dataFileKeys()) {
    if (isWritten(state, record, key))
      written.emplace_back(key.key, savedText(state, record, key));
    else if (!readOnlyUnderItsCondition(key.when))
      stale.push_back(key.key);
  }
  document.setAll(kDataFileSection, written);
  document.removeAll(kDataFileSection, stale);
}

std::optional<DataFileError> openRecord(ProgramState& state, const link::IniDocument& document) {
  auto section = document.section(kDataFileSection);
  if (!section) return DataFileError{DataFileError::Kind::NotDataFile, "no section File0"};
  const FileSection file(std::move(*section));
  if (!file.hasAnyKnownKey())
    return DataFileError{DataFileError::Kind::NotDataFile, "no known key in section File0"};
  OpenPlan plan(file);
  plan.then([](ProgramState& s) { s.openedAsOther.clear(); });
  try {
    planOpen(plan);
  } catch (const ui::ConversionError& e) {
    return DataFileError{DataFileError::Kind::NotANumber, e.what(), plan.lastKey()};
  }
  // A rule can still fail while the fields are being set; a failed open changes nothing.
  OpenRollback rollback(state);
  try {
    plan.run(state);
  } catch (const std::exception& e) {
    rollback.restore();
    return DataFileError{DataFileError::Kind::Interrupted, e.what()};
  }
  return std::nullopt;
}

void openStartUpTexts(ProgramState& state, const link::IniDocument& document) {
  Record record(state);
  for (const char* key : {"StartUp-Infomation", "StartUp-Password"})
    if (const auto value = document.value(kDataFileSection, key)) record.set(key, *value);
}

std::string dataFileErrorDetail(const DataFileError& error, const fs::path& file) {
  if (error.key.empty()) return error.message;
  return "文件" + quoted(file) + "中" + error.key + "的值有误：" + error.message;
}

std::optional<DataFileError> saveDataFile(ProgramState& state, const fs::path& file) {
  const link::FileCheck target = link::checkFile(file);
  if (target != link::FileCheck::Absent && target != link::FileCheck::Usable)
    return unwritable(file);
  link::IniLoad load = link::loadIniFile(file);
  if (load.error) return unwritable(file);
  saveRecord(state, load.document);
  if (link::saveIniFile(load.document, file)) return unwritable(file);
  return std::nullopt;
}

std::optional<DataFileError> openDataFile(ProgramState& state, const fs::path& file) {
  switch (link::checkFile(file)) {
    case link::FileCheck::Absent:
      return missing(file);
    case link::FileCheck::NotPlainFile:
      return unreadable(link::IniError{link::IniError::Operation::Read, file, ""});
    case link::FileCheck::TooLarge:
      return notDataFile(file);
    case link::FileCheck::Usable:
      break;
  }
  const link::IniLoad load = link::loadIniFile(file);
  if (load.error) return unreadable(*load.error);
  auto error = openRecord(state, load.document);
  if (error && error->kind == DataFileError::Kind::NotDataFile) return notDataFile(file);
  return error;
}

}  // namespace rcp::settings
