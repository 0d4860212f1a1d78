#include "settings/data_file_keys.hpp"

#include <array>
#include <map>

#include "settings/menu_switch_table.hpp"
#include "ui/layout.hpp"

namespace rcp::settings {

namespace {

// Saving visits the main window's fields in the order of the window layout, so the preferred
// control channels and the roaming zone codes come out in the order their fields are laid out.
constexpr std::array<int, 50> kHuntOrder = {2,  3,  16, 5,  6,  7,  8,  9,  13, 14, 15, 4,  17,
                                            18, 19, 20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30,
                                            10, 11, 12, 1,  33, 34, 35, 36, 32, 31, 45, 46, 47,
                                            48, 50, 49, 37, 38, 39, 40, 42, 41, 43, 44};
constexpr std::array<int, 12> kZoneDataOrder = {3, 2, 1, 6, 5, 4, 9, 8, 7, 11, 12, 10};

struct KeyList {
  std::vector<DataFileKey> keys;

  void add(std::string key, WhenWritten when = WhenWritten::Always,
           ValueForm form = ValueForm::Field) {
    DataFileKey k;
    k.field = key;
    k.key = std::move(key);
    k.form = form;
    k.when = when;
    keys.push_back(std::move(k));
  }
  void all(std::initializer_list<const char*> names, WhenWritten when = WhenWritten::Always) {
    for (const char* name : names) add(name, when);
  }
  void numbered(const std::string& prefix, int first, int last, const std::string& suffix = "") {
    for (int n = first; n <= last; ++n) add(prefix + std::to_string(n) + suffix);
  }
  void menuPreset(const char* key, WhenWritten when, ValueForm form) {
    DataFileKey k;
    k.key = key;
    k.field = "MenuPreset";
    k.form = form;
    k.when = when;
    k.absent = "有效";
    keys.push_back(std::move(k));
  }
};

std::vector<DataFileKey> buildKeys() {
  KeyList t;
  t.add("Version", WhenWritten::Always, ValueForm::VersionText);
  t.add("ChannelSpace");
  for (const char* segment : {"First", "Second", "Third"})
    for (const char* part : {"Channel", "Stop", "RxFreq", "TxFreq"})
      t.add(std::string(segment) + part);
  t.add("SearchWay");
  t.all({"SearchStartChannel", "SearchStopChannel"}, WhenWritten::RangeSearch);
  for (int n : kHuntOrder) t.add("Hunt" + ui::twoDigits(n));
  t.all({"NetType", "SingalCode", "AutoRoam", "StatusSave", "NetId", "Category", "RegCode",
         "ZoneData", "ZoneLength", "AreaData", "AreaLength", "SilData", "SilLength"});
  for (int n : kZoneDataOrder) t.add("ZoneData" + ui::twoDigits(n));
  for (int n = 1; n <= 12; ++n) t.add("AreaData" + ui::twoDigits(n));
  t.numbered("Simplex", 1, 8);
  t.all({"Simplex9RxFreq", "Simplex9TxFreq"});
  t.numbered("Simplex", 10, 19, "RxFreq");
  t.numbered("Simplex", 10, 19, "TxFreq");
  t.all({"StartUp-Infomation", "StartUp-Password", "DiallingScheme"});
  t.all({"MaxIndivol", "MaxFleet", "GroupFleet"}, WhenWritten::Mpt1343);
  t.all({"Block", "LargeBlock", "MediumBlock", "SmallBlock"}, WhenWritten::Cpsx);
  t.all({"IndivolStart", "IndivolStop", "GrpStart", "GrpStop", "GrpWay", "Indivol"});
  t.numbered("Group", 1, 8);
  t.numbered("HideGroup", 1, 8);
  t.numbered("WaitGroup", 1, 40);
  // Each entry of the system-label list as a pair, the route number first.
  for (int n = 1; n <= 40; ++n) {
    for (const char* prefix : {"无线局向号", "对应系统号"}) {
      t.add(prefix + std::to_string(n), WhenWritten::LabelInUse);
      t.keys.back().label = n;
    }
  }
  t.add("DynaCode");
  t.add("DynaGroup", WhenWritten::DynaCode);
  t.all({"TA", "TB", "TC", "TI", "TJ", "TN", "TP", "TS", "TT", "TW"});
  t.all({"ND1", "ND2", "NE", "NI", "NR", "NT", "NW", "NPON", "NPOFF"});
  t.all({"IncludeCall", "PSTNCall", "PABXCall", "Dead", "RegOpen", "DeregClose", "KeyGrpCall",
         "Shrink"});
  t.add("MoreGrpDisp", WhenWritten::Always, ValueForm::MoreGroups);
  t.add("Callback");
  t.add("PTT-code", WhenWritten::TranscodeShown);
  t.add("Talk");
  t.all({"TalkIndivol", "TalkGrp"}, WhenWritten::Talk);
  t.all({"RingCategory", "Timelimit", "PSTNLength"});
  t.add("MaxPhoneNumber", WhenWritten::Always, ValueForm::SpinText);
  t.numbered("PhoneNumber", 0, 9);
  for (const auto& s : kMenuSwitches) {
    t.add(s.field, WhenWritten::Always, ValueForm::MenuSwitch);
    if (s.valueField) t.add(s.valueField);
  }
  t.add("系统告警号");
  t.menuPreset("常用菜单", WhenWritten::CommonPreset, ValueForm::CommonMenus);
  t.menuPreset("全部菜单", WhenWritten::AllPreset, ValueForm::AllMenus);
  return std::move(t.keys);
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
