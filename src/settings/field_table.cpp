#include "settings/field_table.hpp"

#include <algorithm>
#include <array>
#include <map>
#include <string>

#include "settings/menu_switch_table.hpp"
#include "ui/counters.hpp"
#include "ui/number_text.hpp"

namespace rcp::settings {

namespace {

using std::int64_t;
using S = OpenStep;

OpenRead readByKind(FieldKind kind) {
  switch (kind) {
    case FieldKind::Digits:
      return OpenRead::NumberText;
    case FieldKind::Number:
    case FieldKind::Level:
    case FieldKind::Integer:
      return OpenRead::Number;
    case FieldKind::Switch:
    case FieldKind::InvertedSwitch:
      return OpenRead::Toggle;
    case FieldKind::RadioChoice:
      return OpenRead::FirstOption;
    case FieldKind::U32:
      return OpenRead::U32;
    case FieldKind::Text:
    case FieldKind::Choice:
      break;
  }
  return OpenRead::Text;
}

// Builds the rows in the order saving writes them. Each row is saved always, in its kind's form,
// and opened in the current step by its kind's reading unless the row says otherwise.
struct TableBuilder {
  std::vector<FieldDef> fields;
  OpenStep step = S::NotOpened;

  FieldDef& add(std::string name, FieldKind kind, std::string control, FieldValue start,
                std::optional<FieldValue> absent) {
    FieldDef f;
    f.startsTheBox = !control.empty();
    f.name = std::move(name);
    f.kind = kind;
    f.control = std::move(control);
    f.start = std::move(start);
    f.absent = std::move(absent);
    f.openStep = step;
    f.openRead = readByKind(kind);
    fields.push_back(std::move(f));
    return fields.back();
  }
  FieldDef& digits(std::string name, std::string control, int maxLength, std::string start,
                   std::optional<std::string> absent) {
    std::optional<FieldValue> a;
    if (absent) a = FieldValue{*absent};
    FieldDef& f = add(std::move(name), FieldKind::Digits, std::move(control), std::move(start), a);
    f.maxLength = maxLength;
    return f;
  }
  FieldDef& text(std::string name, std::string control, int maxLength, std::string start,
                 std::optional<std::string> absent) {
    FieldDef& f =
        digits(std::move(name), std::move(control), maxLength, std::move(start), std::move(absent));
    f.kind = FieldKind::Text;
    f.openRead = OpenRead::Text;
    return f;
  }
  FieldDef& number(std::string name, std::string control, int64_t start, int64_t absent) {
    return add(std::move(name), FieldKind::Number, std::move(control), start, absent);
  }
  FieldDef& level(std::string name, std::string control, int64_t start, int64_t absent) {
    return add(std::move(name), FieldKind::Level, std::move(control), start, absent);
  }
  FieldDef& toggle(std::string name, std::string control, bool start, bool absent) {
    return add(std::move(name), FieldKind::Switch, std::move(control), start, absent);
  }
  FieldDef& choice(std::string name, std::string control, std::string start, std::string absent) {
    return add(std::move(name), FieldKind::Choice, std::move(control), std::move(start),
               std::move(absent));
  }
  FieldDef& radio(std::string name, std::vector<RadioOption> options, FieldValue start,
                  FieldValue absent) {
    FieldDef& f = add(std::move(name), FieldKind::RadioChoice, "", std::move(start), absent);
    f.options = std::move(options);
    f.startsTheBox = true;
    return f;
  }
  // A working value reached through an accessor of the state.
  template <typename Access>
  FieldDef& working(std::string name, FieldKind kind, int64_t start, std::optional<int64_t> absent,
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
    return f;
  }
  // A working switch the record shows as a number: `on` when set, 0 when not.
  template <typename Access>
  FieldDef& workingSwitch(std::string name, std::int64_t on, Access access) {
    FieldDef& f = add(std::move(name), FieldKind::Integer, "", int64_t{0}, FieldValue{int64_t{0}});
    f.read = [access, on](const ProgramState& s) {
      return FieldValue{access(const_cast<ProgramState&>(s)) ? on : int64_t{0}};
    };
    f.write = [access](ProgramState& s, const FieldValue& v) {
      access(s) = std::get<int64_t>(v) != 0;
    };
    return f;
  }
};

// Row modifiers, applied where a row is declared.
FieldDef& opened(FieldDef& f, OpenStep step, int rank = 0) {
  f.openStep = step;
  f.openRank = rank;
  return f;
}
FieldDef& readAs(FieldDef& f, OpenRead read) {
  f.openRead = read;
  return f;
}
FieldDef& savedWhen(FieldDef& f, WhenWritten when, ValueForm form = ValueForm::Field) {
  f.saveWhen = when;
  f.saveForm = form;
  return f;
}

// Saving visits the main window's fields in the order of the window layout, so the preferred
// control channels and the roaming zone codes come out in the order their boxes are laid out;
// opening sets them by number.
constexpr std::array<int, 50> kHuntLayoutOrder = {
    2,  3,  16, 5,  6,  7,  8,  9,  13, 14, 15, 4,  17, 18, 19, 20, 21,
    22, 23, 24, 25, 26, 27, 28, 29, 30, 10, 11, 12, 1,  33, 34, 35, 36,
    32, 31, 45, 46, 47, 48, 50, 49, 37, 38, 39, 40, 42, 41, 43, 44};
constexpr std::array<int, 12> kZoneCodeLayoutOrder = {3, 2, 1, 6, 5, 4, 9, 8, 7, 11, 12, 10};

void channelPlan(TableBuilder& t) {
  savedWhen(opened(t.toggle("Version", "OldVersion", false, false), S::Version),
            WhenWritten::Always, ValueForm::VersionText)
      .openRead = OpenRead::VersionText;
  opened(t.radio("ChannelSpace", {{int64_t{125}, "ChannelSpace1"}, {int64_t{250}, "ChannelSpace2"}},
                 int64_t{250}, int64_t{250}),
         S::Spacing);
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
  t.step = S::Segments;
  for (const auto& s : segments) {
    const bool first = std::string(s.prefix) == "First";
    const std::string p = s.prefix;
    t.digits(p + "Channel", s.start, 4, first ? "0001" : "0000", first ? "1" : "0");
    t.digits(p + "Stop", s.stop, 4, first ? "0160" : "0000", first ? "1" : "0");
    t.digits(p + "RxFreq", s.rx, 7, first ? "3610250" : "0000000", first ? "3610250" : "0");
    t.digits(p + "TxFreq", s.tx, 7, first ? "3510250" : "0000000", first ? "3510250" : "0");
  }
  t.step = S::Ways;
  t.choice("SearchWay", "SearchWay", "指定范围搜索", "全信道搜索");
  t.step = S::SearchRange;
  savedWhen(t.digits("SearchStartChannel", "ControlStart", 4, "0000", "0"),
            WhenWritten::RangeSearch);
  savedWhen(t.digits("SearchStopChannel", "ControlStop", 4, "0000", "0"), WhenWritten::RangeSearch);
  t.step = S::Hunting;
  for (int k : kHuntLayoutOrder)
    t.digits("Hunt" + ui::twoDigits(k), "ControlChannel" + std::to_string(k), 4, "0000", "0")
        .openRank = k;
}

void network(TableBuilder& t) {
  t.step = S::Network;
  opened(t.radio("NetType",
                 {{std::string("National"), "National"}, {std::string("Regional"), "Regional"}},
                 std::string("National"), std::string("National")),
         S::Network, 1);
  opened(t.radio("SingalCode",
                 {{std::string("Standard"), "Standard"}, {std::string("Enhanced"), "Enhance"}},
                 std::string("Standard"), std::string("Standard")),
         S::Network, 2);
  opened(t.toggle("AutoRoam", "AutoRoam", false, true), S::Network, 5);
  opened(t.toggle("StatusSave", "StatusSave", false, true), S::Network, 3);
  opened(t.number("NetId", "NetId", 0, 0), S::Network, 4);
  opened(t.number("Category", "Category", 1, 1), S::Network, 6);
  int rank = 7;
  opened(t.digits("RegCode", "RegCode", 5, "00000", "0"), S::Network, rank++);
  for (const char* name :
       {"ZoneData", "ZoneLength", "AreaData", "AreaLength", "SilData", "SilLength"})
    opened(t.digits(name, name, 3, "000", "0"), S::Network, rank++);
  for (int k : kZoneCodeLayoutOrder)
    opened(t.digits("ZoneData" + ui::twoDigits(k), "ZoneData" + std::to_string(k), 3, "000", "0"),
           S::Network, rank + k);
  rank += 12;
  for (int k = 1; k <= 12; ++k)
    opened(t.digits("AreaData" + ui::twoDigits(k), "AreaData" + std::to_string(k), 3, "000", "0"),
           S::Network, rank + k);
}

void offNetwork(TableBuilder& t) {
  t.step = S::OffNetwork;
  for (int k = 1; k <= 8; ++k)
    t.digits("Simplex" + std::to_string(k), "SimplexChannel" + std::to_string(k), 4, "0000", "0")
        .openRank = k;
  // Opening sets channel 9 receive then transmit, then the transmit frequencies of channels 10 to
  // 19, then their receive frequencies; saving writes receive before transmit throughout.
  constexpr int first = WorkingValues::firstSimplex;
  const auto frequency = [&](int ch, bool rx) -> FieldDef& {
    const int i = ch - first;
    const int64_t value = ch != first ? 0 : rx ? 3610250 : 3510250;
    const std::string name = "Simplex" + std::to_string(ch) + (rx ? "RxFreq" : "TxFreq");
    if (rx)
      return t.working(name, FieldKind::Integer, value, value,
                       [i](ProgramState& s) -> int& { return s.values.simplexRx[i]; });
    return t.working(name, FieldKind::Integer, value, value,
                     [i](ProgramState& s) -> int& { return s.values.simplexTx[i]; });
  };
  frequency(first, true).openRank = 9;
  frequency(first, false).openRank = 10;
  for (int ch = first + 1; ch <= WorkingValues::lastSimplex; ++ch)
    frequency(ch, true).openRank = 21 + ch - first;
  for (int ch = first + 1; ch <= WorkingValues::lastSimplex; ++ch)
    frequency(ch, false).openRank = 11 + ch - first;
}

void startUpInformation(TableBuilder& t) {
  t.step = S::NotOpened;
  t.text("StartUp-Infomation", "Infomation", 8, "Veltraco", std::nullopt);
  t.digits("StartUp-Password", "password", 8, "47120385", std::nullopt);
}

void numbering(TableBuilder& t) {
  t.step = S::Scheme;
  t.radio("DiallingScheme", {{std::string("MPT1343"), "MPT1343"}, {std::string("CPSX"), "CPSX"}},
          std::string("MPT1343"), std::string("MPT1343"));
  t.step = S::Mpt1343Fleet;
  readAs(savedWhen(t.digits("MaxIndivol", "MaxIndivol", 3, "899", "899"), WhenWritten::Mpt1343),
         OpenRead::Text);
  readAs(savedWhen(t.digits("MaxFleet", "MaxFleet", 3, "998", "998"), WhenWritten::Mpt1343),
         OpenRead::Text);
  readAs(
      savedWhen(t.digits("GroupFleet", "MPT1343_Fleet", 4, "5500", "5500"), WhenWritten::Mpt1343),
      OpenRead::Text);
  t.step = S::CpsxFleet;
  savedWhen(t.choice("Block", "Block", "一级队", "一级队"), WhenWritten::Cpsx);
  savedWhen(t.working("LargeBlock", FieldKind::Integer, 10, 10,
                      [](ProgramState& s) -> int& { return s.values.largeBlock; }),
            WhenWritten::Cpsx);
  savedWhen(t.working("MediumBlock", FieldKind::Integer, 10, 10,
                      [](ProgramState& s) -> int& { return s.values.mediumBlock; }),
            WhenWritten::Cpsx);
  savedWhen(t.working("SmallBlock", FieldKind::Integer, 10, 10,
                      [](ProgramState& s) -> int& { return s.values.smallBlock; }),
            WhenWritten::Cpsx);
  t.step = S::Numbers;
  readAs(t.digits("IndivolStart", "indivolstart", 7, "2001200", ""), OpenRead::Text).openRank = 20;
  readAs(t.digits("IndivolStop", "indivolstop", 7, "2001899", ""), OpenRead::Text).openRank = 21;
  readAs(t.digits("GrpStart", "grpstart", 7, "5500900", ""), OpenRead::Text).openRank = 22;
  readAs(t.digits("GrpStop", "grpstop", 7, "5500998", ""), OpenRead::Text).openRank = 23;
  opened(t.choice("GrpWay", "GrpWay", "全部有效", "全部有效"), S::Ways);
  readAs(
      opened(t.digits("Indivol", "MPT1343_Indivol", 10, "3262001201", "3262001201"), S::OwnNumber),
      OpenRead::ByCode);
  for (int k = 1; k <= 8; ++k)
    readAs(t.digits("Group" + std::to_string(k), "MPT1343_Grp" + std::to_string(k), 10,
                    k == 1 ? "3265500900" : "", ""),
           OpenRead::Text)
        .openRank = k;
}

void otherGroupsAndLabels(TableBuilder& t) {
  t.step = S::Lists;
  for (int k = 1; k <= 48; ++k) {
    const std::string name =
        k <= 8 ? "HideGroup" + std::to_string(k) : "WaitGroup" + std::to_string(k - 8);
    t.working(name, FieldKind::U32, 0, 0,
              [k](ProgramState& s) -> std::uint32_t& { return s.values.otherGroups[k - 1]; });
  }
  // Each entry of the system-label list as a pair, the route number first.
  for (int k = 1; k <= 40; ++k) {
    savedWhen(t.working("无线局向号" + std::to_string(k), FieldKind::U32, 0, 0,
                        [k](ProgramState& s) -> std::uint32_t& {
                          return s.values.systemLabels[k - 1].route;
                        }),
              WhenWritten::LabelInUse)
        .label = k;
    savedWhen(t.working("对应系统号" + std::to_string(k), FieldKind::U32, 0, 0,
                        [k](ProgramState& s) -> std::uint32_t& {
                          return s.values.systemLabels[k - 1].system;
                        }),
              WhenWritten::LabelInUse)
        .label = k;
  }
}

void rightsCountersAndPhoneBook(TableBuilder& t) {
  t.step = S::Rights;
  opened(t.toggle("DynaCode", "Dyna_Enable", false, false), S::Rights, 9);
  readAs(opened(savedWhen(t.digits("DynaGroup", "MPT1343_Dyna", 10, "", ""), WhenWritten::DynaCode),
                S::Numbers, 9),
         OpenRead::Text);
  // The data file keeps the timers, then the message counts.
  int rank = 17;
  for (ui::CounterGroup group : {ui::CounterGroup::Timers, ui::CounterGroup::MessageCounts})
    for (const ui::CounterDef& c : ui::kCounters)
      if (c.group == group) t.number(c.name, c.name, c.start, c.start).openRank = rank++;
  t.toggle("IncludeCall", "Include_Call", true, true).openRank = 5;
  t.toggle("PSTNCall", "PSTN_Call", true, true).openRank = 6;
  t.toggle("PABXCall", "PABX_Call", true, true).openRank = 7;
  t.toggle("Dead", "Dead", false, false).openRank = 10;
  t.toggle("RegOpen", "Open_Reg", false, false).openRank = 11;
  t.toggle("DeregClose", "Close_Dereg", false, false).openRank = 12;
  t.toggle("KeyGrpCall", "KeyGrpEnable", false, false).openRank = 13;
  t.toggle("Shrink", "Shrink_num", false, true).openRank = 8;
  FieldDef& more = t.workingSwitch("MoreGrpDisp", kMoreGroupsShown,
                                   [](ProgramState& s) -> bool& { return s.values.moreGrpDisp; });
  readAs(savedWhen(more, WhenWritten::Always, ValueForm::MoreGroups), OpenRead::MoreGroups)
      .openRank = 14;
  t.toggle("Callback", "Callback", false, false).openRank = 15;
  savedWhen(t.add("PTT-code", FieldKind::InvertedSwitch, "Transcode", true, true),
            WhenWritten::TranscodeShown)
      .openRank = 16;  // the switch shows the opposite; opening leaves its visibility alone
  opened(t.toggle("Talk", "Talk", false, false), S::TalkSwitch);
  t.step = S::TalkNumbers;
  readAs(
      savedWhen(t.digits("TalkIndivol", "TalkIndivol", 8, "32688888", "326888"), WhenWritten::Talk),
      OpenRead::DigitString);
  readAs(savedWhen(t.digits("TalkGrp", "TalkGrp", 10, "32699999", "326998"), WhenWritten::Talk),
         OpenRead::DigitString);
  t.step = S::Rights;
  t.number("RingCategory", "RingCategory", 0, 0).openRank = 1;
  t.number("Timelimit", "Timelimit", 0, 0).openRank = 2;
  t.number("PSTNLength", "limitlength", 255, 255).openRank = 3;
  savedWhen(t.number("MaxPhoneNumber", "MaxNumber", 10, 10), WhenWritten::Always,
            ValueForm::SpinText)
      .openRank = 4;
  t.step = S::Numbers;
  for (int k = 0; k <= 9; ++k)
    readAs(
        t.digits("PhoneNumber" + std::to_string(k), "Phone_Number" + std::to_string(k), 16, "", ""),
        OpenRead::Text)
        .openRank = 10 + k;
}

void menuSwitches(TableBuilder& t) {
  // Every menu switch is on once the main window has first been shown; a data file without the
  // key turns it off.
  t.step = S::MenuSwitches;
  for (const auto& s : kMenuSwitches) {
    FieldDef& sw = t.toggle(s.field, s.control, true, false);
    sw.startsTheBox = false;
    readAs(savedWhen(sw, WhenWritten::Always, ValueForm::MenuSwitch), OpenRead::MenuSwitch)
        .openRank = s.openRank;
    if (!s.valueField) continue;
    if (s.valueIsSlider)
      t.level(s.valueField, s.valueControl, s.sliderStart, s.sliderAbsent).openRank = s.openRank;
    else
      t.choice(s.valueField, s.valueControl, s.choiceStart, s.choiceStart).openRank = s.openRank;
  }
  t.step = S::Alarm;
  t.text("系统告警号", "SysCallNum", 20, "*8180", "*8180");
}

// Working values the program derives; only the menu preset is kept in a data file, under two
// keys of its own (data_file_keys.cpp).
void derivedWorkingValues(TableBuilder& t) {
  t.step = S::MenuPreset;
  readAs(t.working("MenuPreset", FieldKind::Integer, 2, std::nullopt,
                   [](ProgramState& s) -> MenuPreset& { return s.values.menuPreset; }),
         OpenRead::ByCode);
  t.step = S::NotOpened;
  t.working("RangeSearch", FieldKind::Integer, 1, std::nullopt, [](ProgramState& s) -> SearchMode& {
     return s.values.rangeSearch;
   }).saveWhen = WhenWritten::Never;
  t.working("GrpWayCurrent", FieldKind::Integer, 0, std::nullopt,
            [](ProgramState& s) -> GroupCallMode& { return s.values.grpWayCurrent; })
      .saveWhen = WhenWritten::Never;
}

std::vector<FieldDef> buildTable() {
  TableBuilder t;
  channelPlan(t);
  network(t);
  offNetwork(t);
  startUpInformation(t);
  numbering(t);
  otherGroupsAndLabels(t);
  rightsCountersAndPhoneBook(t);
  menuSwitches(t);
  derivedWorkingValues(t);
  std::vector<FieldDef> fields = std::move(t.fields);
  int saved = 0;
  for (FieldDef& f : fields)
    if (f.saveWhen != WhenWritten::Never) f.savePosition = saved++;
  return fields;
}

std::vector<FieldDef*> openOrder(std::vector<FieldDef>& fields) {
  std::vector<FieldDef*> order;
  for (FieldDef& f : fields)
    if (f.openStep != S::NotOpened) order.push_back(&f);
  std::stable_sort(order.begin(), order.end(), [](const FieldDef* a, const FieldDef* b) {
    return a->openStep != b->openStep ? a->openStep < b->openStep : a->openRank < b->openRank;
  });
  for (std::size_t i = 0; i < order.size(); ++i) order[i]->openPosition = static_cast<int>(i);
  return order;
}

struct Registry {
  std::vector<FieldDef> fields = buildTable();
  std::vector<const FieldDef*> opening;
  Registry() {
    for (FieldDef* f : openOrder(fields)) opening.push_back(f);
  }
};

const Registry& registry() {
  static const Registry r;
  return r;
}

}  // namespace

const std::vector<FieldDef>& fieldTable() {
  return registry().fields;
}

const std::vector<const FieldDef*>& fieldsInOpenOrder() {
  return registry().opening;
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

const FieldDef* fieldOfControl(std::string_view control) {
  static const std::map<std::string, const FieldDef*, std::less<>> index = [] {
    std::map<std::string, const FieldDef*, std::less<>> m;
    for (const auto& f : fieldTable()) {
      if (!f.control.empty()) m.emplace(f.control, &f);
      for (const auto& o : f.options) m.emplace(o.control, &f);
    }
    return m;
  }();
  auto it = index.find(control);
  return it == index.end() ? nullptr : it->second;
}

}  // namespace rcp::settings
