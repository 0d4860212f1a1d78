#include "settings/field_table.hpp"

#include <map>
#include <string>

#include "settings/menu_switch_table.hpp"
#include "ui/layout.hpp"

namespace rcp::settings {

namespace {

using std::int64_t;

struct TableBuilder {
  std::vector<FieldDef> fields;

  FieldDef& add(std::string name, FieldKind kind, std::string control, FieldValue start,
                std::optional<FieldValue> absent) {
    FieldDef f;
    f.name = std::move(name);
    f.kind = kind;
    f.control = std::move(control);
    f.start = std::move(start);
    f.absent = std::move(absent);
    fields.push_back(std::move(f));
    return fields.back();
  }
  void digits(std::string name, std::string control, int maxLength, std::string start,
              std::optional<std::string> absent) {
    std::optional<FieldValue> a;
    if (absent) a = FieldValue{*absent};
    add(std::move(name), FieldKind::Digits, std::move(control), std::move(start), a).maxLength =
        maxLength;
  }
  void text(std::string name, std::string control, int maxLength, std::string start,
            std::optional<std::string> absent) {
    std::optional<FieldValue> a;
    if (absent) a = FieldValue{*absent};
    add(std::move(name), FieldKind::Text, std::move(control), std::move(start), a).maxLength =
        maxLength;
  }
  void number(std::string name, std::string control, int64_t start, int64_t absent) {
    add(std::move(name), FieldKind::Number, std::move(control), start, absent);
  }
  void level(std::string name, std::string control, int64_t start, int64_t absent) {
    add(std::move(name), FieldKind::Level, std::move(control), start, absent);
  }
  void toggle(std::string name, std::string control, bool start, bool absent) {
    add(std::move(name), FieldKind::Switch, std::move(control), start, absent);
  }
  void choice(std::string name, std::string control, std::string start, std::string absent) {
    add(std::move(name), FieldKind::Choice, std::move(control), std::move(start),
        std::move(absent));
  }
  void radio(std::string name, std::vector<RadioOption> options, FieldValue start,
             FieldValue absent) {
    add(std::move(name), FieldKind::RadioChoice, "", std::move(start), std::move(absent)).options =
        std::move(options);
  }
  // A working value reached through an accessor of the state.
  template <typename Access>
  void working(std::string name, FieldKind kind, int64_t start, std::optional<int64_t> absent,
               Access access) {
    std::optional<FieldValue> a;
    if (absent) a = FieldValue{*absent};
    FieldDef& f = add(std::move(name), kind, "", start, a);
    f.read = [access](const ProgramState& s) {
      return FieldValue{static_cast<int64_t>(access(const_cast<ProgramState&>(s)))};
    };
    f.write = [access](ProgramState& s, const FieldValue& v) {
      auto& slot = access(s);
      slot = static_cast<std::remove_reference_t<decltype(slot)>>(std::get<int64_t>(v));
    };
  }
};

void channelPlan(TableBuilder& t) {
  t.toggle("Version", "OldVersion", false, false);
  t.radio("ChannelSpace", {{int64_t{125}, "ChannelSpace1"}, {int64_t{250}, "ChannelSpace2"}},
          int64_t{250}, int64_t{250});
  struct Segment {
    const char* prefix;
    const char* start;
    const char* stop;
    const char* rx;
    const char* tx;
  };
  const Segment segments[] = {
      {"First", "ChannelNum", "Channel1StopNum", "RxFreq", "TxFreq"},
      {"Second", "Channel2StartNum", "Channel2StopNum", "Rx2Freq", "Tx2Freq"},
      {"Third", "Channel3StartNum", "Channel3StopNum", "Rx3Freq", "Tx3Freq"},
  };
  for (const auto& s : segments) {
    const bool first = std::string(s.prefix) == "First";
    const std::string p = s.prefix;
    t.digits(p + "Channel", s.start, 4, first ? "0001" : "0000", first ? "1" : "0");
    t.digits(p + "Stop", s.stop, 4, first ? "0160" : "0000", first ? "1" : "0");
    t.digits(p + "RxFreq", s.rx, 7, first ? "3610250" : "0000000", first ? "3610250" : "0");
    t.digits(p + "TxFreq", s.tx, 7, first ? "3510250" : "0000000", first ? "3510250" : "0");
  }
  t.choice("SearchWay", "SearchWay", "指定范围搜索", "全信道搜索");
  t.digits("SearchStartChannel", "ControlStart", 4, "0000", "0");
  t.digits("SearchStopChannel", "ControlStop", 4, "0000", "0");
  for (int k = 1; k <= 50; ++k)
    t.digits("Hunt" + ui::twoDigits(k), "ControlChannel" + std::to_string(k), 4, "0000", "0");
  for (int k = 1; k <= 8; ++k)
    t.digits("Simplex" + std::to_string(k), "SimplexChannel" + std::to_string(k), 4, "0000", "0");
}

void network(TableBuilder& t) {
  t.radio("NetType", {{std::string("National"), "National"}, {std::string("Regional"), "Regional"}},
          std::string("National"), std::string("National"));
  t.radio("SingalCode",
          {{std::string("Standard"), "Standard"}, {std::string("Enhanced"), "Enhance"}},
          std::string("Standard"), std::string("Standard"));
  t.toggle("AutoRoam", "AutoRoam", false, true);
  t.toggle("StatusSave", "StatusSave", false, true);
  t.number("NetId", "NetId", 0, 0);
  t.number("Category", "Category", 1, 1);
  t.digits("RegCode", "RegCode", 5, "00000", "0");
  for (const char* name : {"ZoneData", "ZoneLength", "AreaData", "AreaLength", "SilData", "SilLength"})
    t.digits(name, name, 3, "000", "0");
  for (int k = 1; k <= 12; ++k)
    t.digits("ZoneData" + ui::twoDigits(k), "ZoneData" + std::to_string(k), 3, "000", "0");
  for (int k = 1; k <= 12; ++k)
    t.digits("AreaData" + ui::twoDigits(k), "AreaData" + std::to_string(k), 3, "000", "0");
}

void offNetworkFrequencies(TableBuilder& t) {
  constexpr int first = WorkingValues::firstSimplex;
  for (int ch = first; ch <= WorkingValues::lastSimplex; ++ch) {
    const int i = ch - first;
    const int64_t rx = ch == first ? 3610250 : 0;
    const int64_t tx = ch == first ? 3510250 : 0;
    t.working("Simplex" + std::to_string(ch) + "RxFreq", FieldKind::Integer, rx, rx,
              [i](ProgramState& s) -> int& { return s.values.simplexRx[i]; });
    t.working("Simplex" + std::to_string(ch) + "TxFreq", FieldKind::Integer, tx, tx,
              [i](ProgramState& s) -> int& { return s.values.simplexTx[i]; });
  }
}

void startUpInformation(TableBuilder& t) {
  t.text("StartUp-Infomation", "Infomation", 8, "Veltraco", std::nullopt);
  t.digits("StartUp-Password", "password", 8, "47120385", std::nullopt);
}

void numbering(TableBuilder& t) {
  t.radio("DiallingScheme", {{std::string("MPT1343"), "MPT1343"}, {std::string("CPSX"), "CPSX"}},
          std::string("MPT1343"), std::string("MPT1343"));
  t.digits("Indivol", "MPT1343_Indivol", 10, "3262001201", "3262001201");
  t.digits("MaxIndivol", "MaxIndivol", 3, "899", "899");
  t.digits("MaxFleet", "MaxFleet", 3, "998", "998");
  t.digits("GroupFleet", "MPT1343_Fleet", 4, "5500", "5500");
  t.choice("Block", "Block", "一级队", "一级队");
  t.working("LargeBlock", FieldKind::Integer, 10, 10,
            [](ProgramState& s) -> int& { return s.values.largeBlock; });
  t.working("MediumBlock", FieldKind::Integer, 10, 10,
            [](ProgramState& s) -> int& { return s.values.mediumBlock; });
  t.working("SmallBlock", FieldKind::Integer, 10, 10,
            [](ProgramState& s) -> int& { return s.values.smallBlock; });
  t.digits("IndivolStart", "indivolstart", 7, "2001200", "");
  t.digits("IndivolStop", "indivolstop", 7, "2001899", "");
  t.digits("GrpStart", "grpstart", 7, "5500900", "");
  t.digits("GrpStop", "grpstop", 7, "5500998", "");
  t.choice("GrpWay", "GrpWay", "全部有效", "全部有效");
  for (int k = 1; k <= 8; ++k)
    t.digits("Group" + std::to_string(k), "MPT1343_Grp" + std::to_string(k), 10,
             k == 1 ? "3265500900" : "", "");
  t.toggle("DynaCode", "Dyna_Enable", false, false);
  t.digits("DynaGroup", "MPT1343_Dyna", 10, "", "");
  t.toggle("Shrink", "Shrink_num", false, true);
}

void otherGroupsAndLabels(TableBuilder& t) {
  for (int k = 1; k <= 48; ++k) {
    const std::string name =
        k <= 8 ? "HideGroup" + std::to_string(k) : "WaitGroup" + std::to_string(k - 8);
    t.working(name, FieldKind::U32, 0, 0,
              [k](ProgramState& s) -> std::uint32_t& { return s.values.otherGroups[k - 1]; });
  }
  t.working("MoreGrpDisp", FieldKind::Integer, 0, 0,
            [](ProgramState& s) -> int& { return s.values.moreGrpDisp; });
  for (int k = 1; k <= 40; ++k)
    t.working("无线局向号" + std::to_string(k), FieldKind::U32, 0, 0,
              [k](ProgramState& s) -> std::uint32_t& { return s.values.systemLabels[k - 1].route; });
  for (int k = 1; k <= 40; ++k)
    t.working("对应系统号" + std::to_string(k), FieldKind::U32, 0, 0,
              [k](ProgramState& s) -> std::uint32_t& { return s.values.systemLabels[k - 1].system; });
}

void timersAndCounters(TableBuilder& t) {
  const std::pair<const char*, int> values[] = {
      {"TA", 60}, {"TB", 2},   {"TC", 60}, {"TI", 2},  {"TJ", 20}, {"TN", 7},  {"TP", 5},
      {"TS", 5},  {"TT", 60},  {"TW", 60}, {"ND1", 2}, {"ND2", 4}, {"NE", 16}, {"NI", 4},
      {"NR", 8},  {"NT", 1},   {"NW", 4},  {"NPON", 1}, {"NPOFF", 1}};
  for (const auto& [name, start] : values) t.number(name, name, start, start);
}

void rightsAndPhoneBook(TableBuilder& t) {
  t.toggle("IncludeCall", "Include_Call", true, true);
  t.toggle("PSTNCall", "PSTN_Call", true, true);
  t.toggle("PABXCall", "PABX_Call", true, true);
  t.toggle("RegOpen", "Open_Reg", false, false);
  t.toggle("DeregClose", "Close_Dereg", false, false);
  t.toggle("Callback", "Callback", false, false);
  t.toggle("KeyGrpCall", "KeyGrpEnable", false, false);
  t.number("RingCategory", "RingCategory", 0, 0);
  t.number("Timelimit", "Timelimit", 0, 0);
  t.number("PSTNLength", "limitlength", 255, 255);
  t.number("MaxPhoneNumber", "MaxNumber", 10, 10);
  for (int k = 0; k <= 9; ++k)
    t.digits("PhoneNumber" + std::to_string(k), "Phone_Number" + std::to_string(k), 16, "", "");
}

void features(TableBuilder& t) {
  t.toggle("Dead", "Dead", false, false);
  t.toggle("Talk", "Talk", false, false);
  t.digits("TalkIndivol", "TalkIndivol", 8, "32688888", "326888");
  t.digits("TalkGrp", "TalkGrp", 10, "32699999", "326998");
  t.add("PTT-code", FieldKind::InvertedSwitch, "Transcode", true, true);
  t.text("系统告警号", "SysCallNum", 20, "*8180", "*8180");
}

void menuSwitches(TableBuilder& t) {
  // Every menu switch is on once the main window has first been shown; a data file without the
  // key turns it off.
  for (const auto& s : kMenuSwitches) {
    t.toggle(s.field, s.control, true, false);
    if (!s.valueField) continue;
    if (s.valueIsSlider)
      t.level(s.valueField, s.valueControl, s.sliderStart, s.sliderAbsent);
    else
      t.choice(s.valueField, s.valueControl, s.choiceStart, s.choiceStart);
  }
}

void derivedWorkingValues(TableBuilder& t) {
  t.working("MenuPreset", FieldKind::Integer, 2, std::nullopt,
            [](ProgramState& s) -> int& { return s.values.menuPreset; });
  t.working("RangeSearch", FieldKind::Integer, 1, std::nullopt,
            [](ProgramState& s) -> int& { return s.values.rangeSearch; });
  t.working("GrpWayCurrent", FieldKind::Integer, 0, std::nullopt,
            [](ProgramState& s) -> int& { return s.values.grpWayCurrent; });
}

std::vector<FieldDef> buildTable() {
  TableBuilder t;
  channelPlan(t);
  network(t);
  offNetworkFrequencies(t);
  startUpInformation(t);
  numbering(t);
  otherGroupsAndLabels(t);
  timersAndCounters(t);
  rightsAndPhoneBook(t);
  features(t);
  menuSwitches(t);
  derivedWorkingValues(t);
  return std::move(t.fields);
}

}  // namespace

const std::vector<FieldDef>& fieldTable() {
  static const std::vector<FieldDef> table = buildTable();
  return table;
}

const FieldDef* findField(std::string_view name) {
  static const std::map<std::string, const FieldDef*, std::less<>> index = [] {
    std::map<std::string, const FieldDef*, std::less<>> m;
    for (const auto& f : fieldTable()) m.emplace(f.name, &f);
    return m;
  }();
  auto it = index.find(name);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace rcp::settings
