#include "rules/numbering.hpp"

#include <array>

#include "rules/field_rules.hpp"
#include "settings/fleet_levels.hpp"
#include "ui/number_text.hpp"

namespace rcp::rules {

using settings::DiallingScheme;

namespace {

using settings::carriesIndividuals;
using settings::FleetBlocks;
using settings::fleetBlocks;
using settings::fleetPlan;
using settings::groupMembers;
using settings::individualMembers;
using settings::isCrossFleet;
using settings::levelName;
using settings::levelNamed;
using settings::MemberRange;
using settings::ProgramState;
using settings::SegmentChoice;
using settings::segmentChoice;

constexpr const char* kIndividual = "MPT1343_Indivol";
// The group numbers in the order the plan check visits them: fixed groups, then the dynamic one.
constexpr std::array<const char*, 9> kGroupNumbers = {
    "MPT1343_Grp1", "MPT1343_Grp2", "MPT1343_Grp3", "MPT1343_Grp4", "MPT1343_Grp5",
    "MPT1343_Grp6", "MPT1343_Grp7", "MPT1343_Grp8", "MPT1343_Dyna"};
constexpr std::array<const char*, 4> kRanges = {"indivolstart", "indivolstop", "grpstart",
                                                "grpstop"};
// The MPT1343 fleet limits and the CPSX fleet level, each with its caption label.
struct LabelledField {
  const char* field;
  const char* label;
};
constexpr std::array<LabelledField, 3> kMpt1343Limits = {{
    {"MaxIndivol", "MaxIndivolLab"},
    {"MaxFleet", "MaxFleetLab"},
    {"MPT1343_Fleet", "MPT1343_FleetLab"},
}};
constexpr std::array<LabelledField, 2> kCpsxLevel = {{
    {"Block", "BlockLab"},
    {"MaxUnit", "MaxUnitLab"},
}};

constexpr const char* kAllGroupsActive = "全部有效";
constexpr int kLongLength = 10;  // a 10-digit MPT1343 number; anything else is the short form

// What a scheme switch puts into the fields.
struct Scheme {
  bool cpsx;
  const char* caption;
  const char* individual;
  const char* firstGroup;
  int numberLength;
  std::array<const char*, 4> ranges;  // in the order of kRanges
  int rangeLength;
};
constexpr Scheme kMpt1343{
    false, "MPT1343", "3262001206", "3265500900", 10, {"2001200", "2001899", "5500900", "5500998"},
    7};
constexpr Scheme kCpsx{
    true, "CPSX", "32620201", "32620900", 8, {"20200", "20899", "20900", "20998"}, 5};

bool isCpsx(const ProgramState& state) {
  return state.values.diallingScheme == settings::DiallingScheme::Cpsx;
}

bool longIndividual(const ProgramState& state) {
  return state.main->text(kIndividual).size() == kLongLength;
}

std::string rangeText(MemberRange r) {
  return "(" + std::to_string(r.first) + "--" + std::to_string(r.last) + ")";
}

void switchScheme(ProgramState& state, const Scheme& s) {
  ui::Form& form = *state.main;
  state.values.diallingScheme = s.cpsx ? DiallingScheme::Cpsx : DiallingScheme::Mpt1343;
  form.setCaption("MPT1343_Fram", s.caption);
  form.setText(kIndividual, s.individual);
  form.setMaxLength(kIndividual, s.numberLength);
  for (const char* group : kGroupNumbers) {
    form.setText(group, "");
    form.setMaxLength(group, s.numberLength);
  }
  form.setText("MPT1343_Grp1", s.firstGroup);
  for (std::size_t i = 0; i < kRanges.size(); ++i) {
    form.setText(kRanges[i], s.ranges[i]);
    form.setMaxLength(kRanges[i], s.rangeLength);
  }
  if (!s.cpsx) form.setText("MPT1343_Fleet", "5500");
  for (const auto& f : kCpsxLevel)
    setFieldEnabled(form, f.field, f.label, s.cpsx, ui::colors::UserInput);
  for (const auto& f : kMpt1343Limits)
    setFieldEnabled(form, f.field, f.label, !s.cpsx, ui::colors::UserInput);
  state.values.otherGroups.fill(0);
  // Short dialling exists only under MPT1343.
  if (s.cpsx) form.setChecked("Shrink_num", false);
  form.setVisible("Shrink_num", !s.cpsx);
}

// An MPT1343 number of the right shape left: its fleet code, then its number inside the fleet.
void checkMpt1343Number(ProgramState& state, const std::string& field, const std::string& text) {
  ui::Form& form = *state.main;
  if (ui::toInt32(text.substr(3, 4)) <= 2000) return warn(state, field, "队号应大于2000");
  const bool longForm = text.size() == kLongLength;
  const int head = ui::toInt32(text.substr(7, 2));  // the number inside the fleet, or its head
  if (field == kIndividual) {
    if (20 <= head && head <= 89) return form.setText("MaxIndivol", longForm ? "899" : "089");
    return warn(state, field, longForm ? "个呼号超出范围!(200---899)" : "个呼号超出范围!(20---89)");
  }
  form.setText("MaxFleet", longForm ? "998" : "099");
  if (head >= 90) return;
  form.setText("MaxFleet", longForm ? "998" : "098");
  warn(state, field, longForm ? "组呼号超出范围!(900---999)" : "组呼号超出范围!(90---99)");
}

// Under CPSX the individual number decides the fleet level.
void classifyIndividual(ProgramState& state) {
  ui::Form& form = *state.main;
  const std::int64_t number = numberIn(form, kIndividual);
  const int fleet = static_cast<int>(number / 1000 % 100);
  const int member = static_cast<int>(number % 1000);
  const auto level = fleetPlan(state.values).levelOf(fleet);
  if (!level) return warn(state, kIndividual, "输入号码有误!");
  if (!carriesIndividuals(*level, fleet)) return warn(state, kIndividual, "一级队队号为偶数!");
  const MemberRange members = individualMembers(*level);
  if (!members.contains(member))
    return warn(state, kIndividual,
                std::string(levelName(*level)) + "个呼号超出范围" + rangeText(members) + "!");
  form.setText("Block", std::string(levelName(*level)));
  BlockChange(state);
  // A level-4 fleet has no segment number of its own to store.
  if (*level != 4) MaxUnitChange(state);
}

// A fleet limit left. The limits have no empty-field step: an empty or unreadable limit counts
// as out of range, so the user is sent back to give it a number.
void checkLimit(ProgramState& state, const char* field, int lowest, std::optional<int> highest,
                const char* warning) {
  const auto value = ui::parseInt64(state.main->text(field));
  if (!value || *value < lowest || (highest && *value > *highest)) warn(state, field, warning);
}

}  // namespace

std::optional<std::string> numberShapeProblem(std::string_view text, bool cpsx) {
  if (cpsx && text.size() < 8) return "号码应为8位！";
  if (!cpsx && text.size() < 9) return "号码应大于9位！";
  const int area = ui::toInt32(text.substr(0, 3));
  if (area < 200 || area > 327) return "区号超出范围(200--327)！";
  return std::nullopt;
}

bool checkCpsxGroup(ProgramState& state, std::int64_t number) {
  const int fleet = static_cast<int>(number / 1000 % 100);
  const int member = static_cast<int>(number % 1000);
  std::string problem;
  if (const auto level = fleetPlan(state.values).levelOf(fleet)) {
    const MemberRange members = groupMembers(*level, fleet);
    if (!members.contains(member))
      problem = std::string(isCrossFleet(*level, fleet) ? "跨队" : levelName(*level)) +
                "组呼号超出范围" + rangeText(members) + "！";
  } else {
    problem = "输入号码有误！";
  }
  if (problem.empty()) return true;
  ui::Message box{problem, "系统信息", ui::MessageIcon::Error};
  box.ownerless = true;
  state.dialogs.message(box);
  return false;
}

void MPT1343Click(ProgramState& state) {
  switchScheme(state, kMpt1343);
}
void CPSXClick(ProgramState& state) {
  switchScheme(state, kCpsx);
}

void subscriberNumberExit(ProgramState& state, const ui::Control& sender) {
  const std::string field = sender.name;
  const std::string text = state.main->text(field);
  if (text.empty()) {
    if (field == kIndividual) warn(state, field, "个呼号不得为空！");
    return;
  }
  const bool cpsx = isCpsx(state);
  if (const auto problem = numberShapeProblem(text, cpsx)) return warn(state, field, *problem);
  if (cpsx) return classifyIndividual(state);
  checkMpt1343Number(state, field, text);
}

void MaxIndivolExit(ProgramState& state) {
  if (longIndividual(state))
    return checkLimit(state, "MaxIndivol", 200, 900, "超出范围(200---900)!");
  checkLimit(state, "MaxIndivol", 20, 90, "超出范围(20---90)!");
}

void MaxFleetExit(ProgramState& state) {
  if (longIndividual(state)) return checkLimit(state, "MaxFleet", 900, {}, "超出范围(900---999)!");
  checkLimit(state, "MaxFleet", 90, {}, "超出范围(90---99)!");
}

void BlockChange(ProgramState& state) {
  ui::Form& form = *state.main;
  // Any text that names no other level offers the level-3 segment.
  const int level = levelNamed(form.text("Block")).value_or(3);
  const SegmentChoice choice = segmentChoice(level, fleetBlocks(state.values));
  const ui::Control& box = form.at("MaxUnit");
  form.setCaption("MaxUnitLab", std::string(choice.caption));
  form.setEnabled("MaxUnit", choice.editable);
  form.setRange("MaxUnit", choice.min.value_or(box.min), choice.max);
  // The value is held inside the bounds, unless they are equal; a value that differs from the
  // one shown runs the change rule.
  form.setValue("MaxUnit", choice.value);
}

void MaxUnitChange(ProgramState& state) {
  ui::Form& form = *state.main;
  const ui::Control& box = form.at("MaxUnit");
  // Equal bounds leave the box unbounded: the value is pulled to them. That change runs this
  // rule again with the corrected value, which does the rest.
  if (box.min == box.max && box.numericValue() != box.min) return form.setValue("MaxUnit", box.min);

  settings::WorkingValues& v = state.values;
  if (const auto level = levelNamed(form.text("Block"))) {
    const FleetBlocks blocks = fleetBlocks(v).withSegment(*level, box.numericValue());
    v.largeBlock = blocks.large;
    v.mediumBlock = blocks.medium;
    v.smallBlock = blocks.small;
  }
  settings::boundLevelsByBlocks(v);

  for (const char* group : kGroupNumbers) {
    if (form.text(group).empty()) continue;
    if (!checkCpsxGroup(state, numberIn(form, group))) {
      form.setFocus(group);
      return;
    }
  }
}

void individualRangeExit(ProgramState& state, const ui::Control& sender) {
  const std::string field = sender.name;
  const std::string text = state.main->text(field);
  if (text.empty()) return;
  if (isCpsx(state)) {
    if (text.size() < 5) warn(state, field, "号码错误");
    return;
  }
  // The range ends in the member number inside the fleet: three digits or two.
  const bool longForm = longIndividual(state);
  const MemberRange members = longForm ? MemberRange{200, 899} : MemberRange{20, 89};
  if (text.size() < (longForm ? 7u : 6u)) return warn(state, field, "号码错误");
  if (!members.contains(static_cast<int>(numberIn(*state.main, field) % (longForm ? 1000 : 100))))
    warn(state, field, "号码超出范围");
}

void groupRangeExit(ProgramState& state, const ui::Control& sender) {
  const std::string field = sender.name;
  const std::string text = state.main->text(field);
  if (text.empty()) return;
  if (isCpsx(state)) {
    if (text.size() < 3) warn(state, field, "号码错误");
    return;
  }
  // The group range is checked on its whole value.
  const bool longForm = longIndividual(state);
  if (text.size() < (longForm ? 3u : 2u)) return warn(state, field, "号码错误");
  if (numberIn(*state.main, field) < (longForm ? 900 : 90)) warn(state, field, "号码超出范围");
}

void GrpWayChange(ProgramState& state) {
  state.values.grpWayCurrent = state.main->text("GrpWay") == kAllGroupsActive
                                   ? settings::GroupCallMode::AllGroups
                                   : settings::GroupCallMode::CurrentGroup;
}

void dynamicGroupSwitchClick(ProgramState& state) {
  const bool on = state.main->checked("Dyna_Enable");
  setFieldEnabled(*state.main, "MPT1343_Dyna", "DynaLab", on, ui::colors::UserInput);
}

// The network number is not re-checked: a value above the new maximum stays.
void NationalClick(ProgramState& state) {
  state.main->setRange("NetId", state.main->at("NetId").min, 3);
}

void RegionalClick(ProgramState& state) {
  state.main->setRange("NetId", state.main->at("NetId").min, 127);
}

void RegCodeExit(ProgramState& state) {
  fillIfEmpty(*state.main, "RegCode", "0");
  if (numberIn(*state.main, "RegCode") > 32767) warn(state, "RegCode", "登记码应小于32767");
}

void bindNumberingRules(ProgramState& state) {
  ui::Form& form = *state.main;
  auto bind = [&](const char* control, ui::Event event, StateRule rule) {
    bindRule(state, form, control, event, rule);
  };
  auto bindExit = [&](const char* control, SenderRule rule) {
    bindRule(state, form, control, ui::Event::Exit, rule);
  };

  bind("MPT1343", ui::Event::Click, MPT1343Click);
  bind("CPSX", ui::Event::Click, CPSXClick);
  bindExit(kIndividual, subscriberNumberExit);
  for (const char* group : kGroupNumbers) bindExit(group, subscriberNumberExit);
  bind("MaxIndivol", ui::Event::Exit, MaxIndivolExit);
  bind("MaxFleet", ui::Event::Exit, MaxFleetExit);
  bind("Block", ui::Event::Change, BlockChange);
  bind("MaxUnit", ui::Event::Change, MaxUnitChange);
  bindExit("indivolstart", individualRangeExit);
  bindExit("indivolstop", individualRangeExit);
  bindExit("grpstart", groupRangeExit);
  bindExit("grpstop", groupRangeExit);
  bind("GrpWay", ui::Event::Change, GrpWayChange);
  bind("Dyna_Enable", ui::Event::Click, dynamicGroupSwitchClick);
  bind("Shrink_num", ui::Event::Click, dynamicGroupSwitchClick);
  bind("National", ui::Event::Click, NationalClick);
  bind("Regional", ui::Event::Click, RegionalClick);
  bind("RegCode", ui::Event::Exit, RegCodeExit);

  bindDigitFilter(
      form, {kIndividual, "MaxIndivol", "MaxFleet", "MPT1343_Fleet", "indivolstart", "indivolstop",
             "grpstart", "grpstop", "RegCode", "NetId", "Category", "MaxUnit", "Block", "GrpWay"});
  for (const char* group : kGroupNumbers) bindDigitFilter(form, group);
}

}  // namespace rcp::rules
