#include "review/config_diff.hpp"

#include <algorithm>
#include <map>

#include "image/field_locations.hpp"
#include "link/ini_document.hpp"
#include "settings/data_file.hpp"
#include "settings/data_file_keys.hpp"
#include "settings/field_captions.hpp"
#include "settings/field_table.hpp"
#include "ui/number_text.hpp"

namespace rcp::app {

namespace {

constexpr std::string_view kPathSeparator = " › ";
constexpr std::uint8_t kLowHalf = 0x0F;

// The main window's tab pages in order, by caption.
std::vector<std::string> tabCaptions(const settings::ProgramState& state) {
  std::vector<std::string> tabs;
  for (const ui::Control& c : state.main->controls())
    if (c.kind == ui::ControlKind::TabPage) tabs.push_back(c.caption);
  return tabs;
}

// Every key's value from `record`, but under the keys opening leaves alone from `leftAlone`.
KeptValues keptValues(const std::optional<link::IniSection>& record,
                      const std::optional<link::IniSection>& leftAlone) {
  KeptValues values;
  for (const settings::DataFileKey& k : settings::dataFileKeys()) {
    const settings::FieldDef* field = settings::findField(k.field);
    const bool opened = !field || field->openStep != settings::OpenStep::NotOpened;
    const auto& section = opened ? record : leftAlone;
    if (auto value = section ? section->value(k.key) : std::nullopt) values.emplace(k.key, *value);
  }
  return values;
}

// Where the window shows each key's field; a key no window names (the menu preset's two) is
// named by itself. Where two keys share a name (the two ends of a range, a menu switch and its
// setting), each also gives its key.
std::map<std::string, std::string> pathsOfKeys(const settings::ProgramState& state) {
  std::map<std::string, std::string> paths;
  std::map<std::string, int> uses;
  for (const settings::DataFileKey& k : settings::dataFileKeys()) {
    std::string path = settings::fieldPath(state, k.field);
    if (path == k.field) path = k.key;
    ++uses[path];
    paths.emplace(k.key, std::move(path));
  }
  for (auto& [key, path] : paths)
    if (uses[path] > 1) path += "（键 " + key + "）";
  return paths;
}

// Equal as text, or both numbers of the same value: a number a radio brings back is written
// without the leading zeros a box may hold ("0001" is "1").
bool sameValue(const std::optional<std::string>& a, const std::optional<std::string>& b) {
  if (a == b) return true;
  if (!a || !b || !ui::isDigits(*a) || !ui::isDigits(*b)) return false;
  const auto significant = [](const std::string& digits) {
    const auto first = digits.find_first_not_of('0');
    return first == std::string::npos ? std::string() : digits.substr(first);
  };
  return significant(*a) == significant(*b);
}

}  // namespace

KeptValues savedValues(settings::ProgramState& state) {
  link::IniDocument saved;
  settings::saveRecord(state, saved);
  const auto section = saved.section(settings::kDataFileSection);
  return keptValues(section, section);
}

KeptValues dataFileValues(settings::ProgramState& opened, const link::IniDocument& file) {
  link::IniDocument saved;
  settings::saveRecord(opened, saved);
  return keptValues(saved.section(settings::kDataFileSection),
                    file.section(settings::kDataFileSection));
}

std::vector<FieldDifference> compareValues(const KeptValues& a, const KeptValues& b,
                                           const settings::ProgramState& namer) {
  const auto valueIn = [](const KeptValues& values,
                          const std::string& key) -> std::optional<std::string> {
    const auto it = values.find(key);
    if (it == values.end()) return std::nullopt;
    return it->second;
  };
  const auto paths = pathsOfKeys(namer);
  std::vector<FieldDifference> differences;
  for (const settings::DataFileKey& k : settings::dataFileKeys()) {
    auto va = valueIn(a, k.key);
    auto vb = valueIn(b, k.key);
    if (sameValue(va, vb)) continue;
    FieldDifference d{k.key, k.field, {}, paths.at(k.key), std::move(va), std::move(vb)};
    if (const auto end = d.path.find(kPathSeparator); end != std::string::npos)
      d.tab = d.path.substr(0, end);
    differences.push_back(std::move(d));
  }
  // Grouped by tab in the window's order; a field on no tab comes last.
  const std::vector<std::string> tabs = tabCaptions(namer);
  const auto rank = [&tabs](const FieldDifference& d) {
    return std::find(tabs.begin(), tabs.end(), d.tab) - tabs.begin();
  };
  std::stable_sort(
      differences.begin(), differences.end(),
      [&](const FieldDifference& x, const FieldDifference& y) { return rank(x) < rank(y); });
  return differences;
}

bool radioKeeps(const std::string& field) {
  // Fields without a place of their own that a read sets from another field's place: the search
  // mode from the range-search flag, the fleet level from the own number, the group-call mode
  // from its flag. (The call-back menu setting follows the call-back switch on a read, whatever
  // the file said: the radio does not keep it.)
  constexpr std::string_view kSetFromAnotherPlace[] = {"SearchWay", "Block", "GrpWay"};
  return !image::locationsOf(field).empty() ||
         std::find(std::begin(kSetFromAnotherPlace), std::end(kSetFromAnotherPlace), field) !=
             std::end(kSetFromAnotherPlace);
}

std::vector<ByteDifference> compareImages(const MemoryBytes& a, const MemoryBytes& b) {
  std::vector<ByteDifference> differences;
  for (std::size_t at = 0; at < a.size(); ++at)
    if (a[at] != b[at]) differences.push_back({static_cast<image::Address>(at), a[at], b[at]});
  return differences;
}

std::string ownerOfByte(const settings::ProgramState& namer, image::Address address, bool cpsxA,
                        bool cpsxB) {
  const auto laidOut = [&](image::SchemeOnly scheme) {
    switch (scheme) {
      case image::SchemeOnly::Both:
        return true;
      case image::SchemeOnly::Cpsx:
        return cpsxA || cpsxB;
      case image::SchemeOnly::Mpt1343:
        return !cpsxA || !cpsxB;
    }
    return true;
  };
  std::vector<std::string> names;
  for (const image::FieldLocation* l : image::locationsAt(address)) {
    if (!laidOut(l->scheme)) continue;
    std::string name =
        l->isFiller() ? "填充（" + l->encoding + "）" : settings::fieldPath(namer, l->field);
    if (std::find(names.begin(), names.end(), name) == names.end()) names.push_back(name);
  }
  std::string joined;
  for (const std::string& n : names) joined += (joined.empty() ? "" : "；") + n;
  return joined;
}

bool holdsCpsx(const MemoryBytes& memory) {
  const auto places = image::locationsOf("DiallingScheme");
  return !places.empty() && (memory.at(places.front()->address) & kLowHalf) != 0;
}

}  // namespace rcp::app
