#include "settings/data_file_keys.hpp"

#include <map>

namespace rcp::settings {

namespace {

// The menu preset is kept under two keys of its own: "常用菜单" under the common preset and
// "全部菜单" under the presets "all off" and "all on"; a file without them opens as "有效".
void addMenuPresetKeys(std::vector<DataFileKey>& keys, const FieldDef& preset) {
  for (const auto& [key, when, form] :
       {std::tuple{"常用菜单", WhenWritten::CommonPreset, ValueForm::CommonMenus},
        std::tuple{"全部菜单", WhenWritten::AllPreset, ValueForm::AllMenus}}) {
    DataFileKey k;
    k.key = key;
    k.field = preset.name;
    k.form = form;
    k.when = when;
    k.absent = "有效";
    keys.push_back(std::move(k));
  }
}

std::vector<DataFileKey> buildKeys() {
  std::vector<DataFileKey> keys;
  for (const FieldDef& f : fieldTable()) {
    if (f.saveWhen == WhenWritten::Never) continue;
    if (f.name == "MenuPreset") {
      addMenuPresetKeys(keys, f);
      continue;
    }
    DataFileKey k;
    k.key = f.name;
    k.field = f.name;
    k.form = f.saveForm;
    k.when = f.saveWhen;
    k.label = f.label;
    keys.push_back(std::move(k));
  }
  return keys;
}

}  // namespace

const std::vector<DataFileKey>& dataFileKeys() {
  static const std::vector<DataFileKey> keys = buildKeys();
  return keys;
}

const DataFileKey* findDataFileKey(const std::string& key) {
  static const std::map<std::string, const DataFileKey*, std::less<>> index = [] {
    std::map<std::string, const DataFileKey*, std::less<>> m;
    for (const auto& k : dataFileKeys()) m.emplace(k.key, &k);
    return m;
  }();
  const auto it = index.find(key);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace rcp::settings
