#include "settings/data_file.hpp"

#include <algorithm>
#include <exception>
#include <functional>
#include <system_error>
#include <utility>
#include <vector>

#include "link/ini_profile.hpp"
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
constexpr int kCommonMenusPreset = 0;
constexpr int kNoMenusPreset = 1;
constexpr int kAllMenusPreset = 2;
constexpr int kHandPickedMenus = 3;

constexpr const char* kTalkControls[] = {"Talk", "TalkLab1", "TalkLab2", "TalkIndivol", "TalkGrp"};

// ---- Messages ------------------------------------------------------------------------------

std::string quoted(const fs::path& file) {
  return "“" + file.string() + "”";
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
  std::string text = "Unable to write to " + file.string();
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
      return std::get<int64_t>(value) == kNoMenusPreset ? kMenusInvalid : kMenusValid;
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
      return state.values.menuPreset == kCommonMenusPreset;
    case WhenWritten::AllPreset:
      return state.values.menuPreset == kNoMenusPreset ||
             state.values.menuPreset == kAllMenusPreset;
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
  // The talk-around numbers: digit strings as the radio keeps them.
  void digitString(const std::string& key) { set(key, readDigitString(raw(key))); }
  // I, S and L: a whole number; spin fields and sliders clamp it as they are set.
  void number(const std::string& key) { set(key, int64_t{readInteger(raw(key))}); }
  // U: never fails.
  void u32(const std::string& key) { set(key, int64_t{readLenientU32(raw(key))}); }
  // T: the text as it stands.
  void text(const std::string& key) { set(key, raw(key)); }
  void textOr(const std::string& key, const std::string& absent) {
    lastKey_ = key;
    set(key, file_.value(key, absent));
  }
  // B and M.
  void toggle(const std::string& key) { set(key, readSwitch(raw(key))); }
  void menuSwitch(const std::string& key) { set(key, readMenuSwitch(raw(key))); }

  using Read = void (OpenPlan::*)(const std::string&);
  void each(std::initializer_list<const char*> keys, Read read) {
    for (const char* key : keys) (this->*read)(key);
  }
  void numbered(const std::string& prefix, int first, int last, const std::string& suffix,
                Read read) {
    for (int n = first; n <= last; ++n) (this->*read)(prefix + std::to_string(n) + suffix);
  }

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
int menuPreset(OpenPlan& plan) {
  if (plan.has("全部菜单"))
    return plan.raw("全部菜单") == kMenusInvalid ? kNoMenusPreset : kAllMenusPreset;
  return plan.has("常用菜单") ? kCommonMenusPreset : kHandPickedMenus;
}

// The open's own order: setting some fields runs rules that set others, so each field is set
// before the fields its rules would overwrite are read.
void planOpen(OpenPlan& plan) {

  // The spacing selects its radio button; a change of spacing resets the first segment, which
  // the file then sets.
  plan.set("ChannelSpace", int64_t{readInteger(plan.raw("ChannelSpace")) == 125 ? 125 : 250});
  const bool old = plan.raw("Version") == "Old";
  plan.set("Version", old);
  if (old) plan.then([](ProgramState& s) { s.main->setVisible("OldVersion", true); });
  for (const char* segment : {"First", "Second", "Third"})
    for (const char* part : {"Channel", "Stop", "RxFreq", "TxFreq"})
      plan.numberText(std::string(segment) + part);

  // Both combo boxes take any text; their change rules set the search flag with the range
  // fields' state and the group-call flag. The range is read only for a search over a range.
  const std::string searchWay = plan.raw("SearchWay");
  plan.set("SearchWay", searchWay);
  plan.text("GrpWay");
  plan.fire("GrpWay", ui::Event::Change);
  plan.fire("SearchWay", ui::Event::Change);
  if (searchWay != kAllChannels)
    plan.each({"SearchStartChannel", "SearchStopChannel"}, &OpenPlan::numberText);
  for (int n = 1; n <= 50; ++n) plan.numberText("Hunt" + ui::twoDigits(n));

  // Network identity and the off-network channels.
  plan.set("NetType", std::string(plan.raw("NetType") == "National" ? "National" : "Regional"));
  plan.set("SingalCode",
           std::string(plan.raw("SingalCode") == "Standard" ? "Standard" : "Enhanced"));
  plan.toggle("StatusSave");
  plan.number("NetId");
  plan.toggle("AutoRoam");
  plan.number("Category");
  plan.each({"RegCode", "ZoneData", "ZoneLength", "AreaData", "AreaLength", "SilData", "SilLength"},
            &OpenPlan::numberText);
  for (int n = 1; n <= 12; ++n) plan.numberText("ZoneData" + ui::twoDigits(n));
  for (int n = 1; n <= 12; ++n) plan.numberText("AreaData" + ui::twoDigits(n));
  plan.numbered("Simplex", 1, 8, "", &OpenPlan::numberText);
  plan.each({"Simplex9RxFreq", "Simplex9TxFreq"}, &OpenPlan::number);
  plan.numbered("Simplex", 10, 19, "TxFreq", &OpenPlan::number);
  plan.numbered("Simplex", 10, 19, "RxFreq", &OpenPlan::number);

  // The talk-around group shows with its switch; its numbers are read only while it is on.
  const bool talk = readSwitch(plan.raw("Talk"));
  plan.set("Talk", talk);
  plan.then([talk](ProgramState& s) {
    for (const char* control : kTalkControls) s.main->setVisible(control, talk);
  });
  if (talk) plan.each({"TalkIndivol", "TalkGrp"}, &OpenPlan::digitString);

  // The scheme switch resets the numbers, which the file then sets; each scheme reads its own
  // fleet settings.
  const bool mpt1343 = plan.raw("DiallingScheme") == "MPT1343";
  plan.set("DiallingScheme", std::string(mpt1343 ? "MPT1343" : "CPSX"));
  if (mpt1343) {
    plan.textOr("Indivol", "3262001201");
    plan.each({"MaxIndivol", "MaxFleet", "GroupFleet"}, &OpenPlan::text);
  } else {
    plan.textOr("Indivol", "32620201");
    plan.text("Block");
    plan.each({"LargeBlock", "MediumBlock", "SmallBlock"}, &OpenPlan::number);
  }
  plan.numbered("Group", 1, 8, "", &OpenPlan::text);
  plan.text("DynaGroup");
  plan.numbered("PhoneNumber", 0, 9, "", &OpenPlan::text);
  plan.each({"IndivolStart", "IndivolStop", "GrpStart", "GrpStop"}, &OpenPlan::text);

  plan.numbered("HideGroup", 1, 8, "", &OpenPlan::u32);
  plan.numbered("WaitGroup", 1, 40, "", &OpenPlan::u32);
  for (int n = 1; n <= 40; ++n) {
    plan.u32("无线局向号" + std::to_string(n));
    plan.u32("对应系统号" + std::to_string(n));
  }

  // Rights, phone book, counters and timers.
  plan.each({"RingCategory", "Timelimit", "PSTNLength", "MaxPhoneNumber"}, &OpenPlan::number);
  plan.each({"IncludeCall", "PSTNCall", "PABXCall", "Shrink", "DynaCode", "Dead", "RegOpen",
             "DeregClose", "KeyGrpCall"},
            &OpenPlan::toggle);
  plan.set("MoreGrpDisp", int64_t{readSwitch(plan.raw("MoreGrpDisp")) ? 16 : 0});
  plan.toggle("Callback");
  plan.toggle("PTT-code");  // the switch shows the opposite; its visibility stays
  plan.each({"TA", "TB", "TC", "TI", "TJ", "TN", "TP", "TS", "TT", "TW"}, &OpenPlan::number);
  plan.each({"ND1", "ND2", "NE", "NI", "NR", "NT", "NW", "NPON", "NPOFF"}, &OpenPlan::number);

  // Menu switches with their companions, then the alarm number and the menu preset (of the two
  // preset keys the second decides: a file saved under the common preset opens as "all").
  for (const MenuSwitchDef* s : menuSwitchesInOpenOrder()) {
    plan.menuSwitch(s->field);
    if (!s->valueField) continue;
    if (s->valueIsSlider)
      plan.number(s->valueField);
    else
      plan.text(s->valueField);
  }
  plan.text("系统告警号");
  plan.set("MenuPreset", int64_t{menuPreset(plan)});

  // The fleet plan read is the one used: the level bounds follow the block values at once, as
  // after a read from the radio, and the fleet level's change rule shows its segment number.
  if (!mpt1343) {
    plan.then([](ProgramState& s) { boundLevelsByBlocks(s.values); });
    plan.fire("Block", ui::Event::Change);
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
