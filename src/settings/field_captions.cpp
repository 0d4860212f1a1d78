#include "settings/field_captions.hpp"

#include <array>
#include <optional>
#include <utility>
#include <vector>

#include "settings/field_table.hpp"
#include "settings/fleet_levels.hpp"
#include "ui/number_text.hpp"
#include "ui/spoken_names.hpp"

namespace rcp::settings {

namespace {

using Names = std::pair<std::string_view, std::string_view>;

// The far end of a range stands after "~" and is named as the range.
constexpr std::array<Names, 2> kRangeEnds = {
    {{"IndivolStop", "IndivolStart"}, {"GrpStop", "GrpStart"}}};

// The channel segments: a row per segment, a column per box.
constexpr std::array<Names, 3> kSegmentRows = {
    {{"First", "第一段"}, {"Second", "第二段"}, {"Third", "第三段"}}};
constexpr std::array<Names, 4> kSegmentColumns = {
    {{"Channel", "起始"}, {"Stop", "终止"}, {"RxFreq", "接收频率"}, {"TxFreq", "发射频率"}}};

// The block values are shown, one level at a time, in the highest-segment box.
constexpr std::array<std::pair<std::string_view, int>, 3> kBlocks = {
    {{"LargeBlock", 1}, {"MediumBlock", 2}, {"SmallBlock", 3}}};

// The number between a family's stem and its tail: "Group3" is number 3 of "Group".
std::optional<int> numberIn(std::string_view field, std::string_view stem,
                            std::string_view tail = {}) {
  if (field.size() <= stem.size() + tail.size() || !field.starts_with(stem) ||
      !field.ends_with(tail))
    return std::nullopt;
  const std::string_view digits =
      field.substr(stem.size(), field.size() - stem.size() - tail.size());
  if (!ui::isDigits(digits)) return std::nullopt;
  return ui::parseInt32(digits);
}

std::optional<std::string> segmentCell(std::string_view field) {
  for (const auto& [rowStem, row] : kSegmentRows)
    for (const auto& [columnTail, column] : kSegmentColumns)
      if (field == std::string(rowStem) + std::string(columnTail))
        return std::string(row) + std::string(column);
  return std::nullopt;
}

// The label of the n-th box of the other-groups dialog: "隐含组一" to "隐含组八" for the hidden
// groups, then the waiting groups' row numbers "09" to "48".
std::string otherGroupLabel(const ProgramState& state, int n) {
  return state.otherGrpSet->at("OtherGrpLab" + std::to_string(n)).caption;
}

// A box or a row of boxes without a label of its own.
std::optional<std::string> namedByItsPlace(const ProgramState& state, std::string_view field) {
  for (const auto& [end, start] : kRangeEnds)
    if (field == end) return fieldCaption(state, start);
  if (field == "SearchStartChannel" || field == "SearchStopChannel") return "控制信道搜索范围";
  if (auto cell = segmentCell(field)) return cell;
  for (const auto& [block, level] : kBlocks)
    if (field == block) return std::string(segmentChoice(level, {}).caption);
  if (const auto k = numberIn(field, "Group")) return "组呼号" + std::to_string(*k);
  if (const auto k = numberIn(field, "PhoneNumber")) return "电话号码本" + std::to_string(*k);
  if (const auto k = numberIn(field, "Hunt")) return "控制信道" + std::to_string(*k);
  if (const auto k = numberIn(field, "Simplex")) return "脱网信道" + std::to_string(*k);
  if (const auto k = numberIn(field, "ZoneData"))
    return "漫游系统码" + ui::twoDigits(*k) + "省级码";
  if (const auto k = numberIn(field, "AreaData"))
    return "漫游系统码" + ui::twoDigits(*k) + "地区码";
  if (const auto k = numberIn(field, "Simplex", "RxFreq"))
    return "脱网频率" + ui::twoDigits(*k) + "接收频率";
  if (const auto k = numberIn(field, "Simplex", "TxFreq"))
    return "脱网频率" + ui::twoDigits(*k) + "发射频率";
  if (const auto k = numberIn(field, "HideGroup")) return otherGroupLabel(state, *k);
  if (const auto k = numberIn(field, "WaitGroup")) return "守候组" + otherGroupLabel(state, 8 + *k);
  return std::nullopt;
}

// The label just left of the field's box on the main window, in the same container and row.
std::optional<std::string> labelBeside(const ui::Form& window, std::string_view field) {
  const FieldDef* def = findField(field);
  if (!def || def->control.empty() || !window.contains(def->control)) return std::nullopt;
  if (const ui::Control* label = ui::labelBeside(window, window.at(def->control)))
    return label->caption;
  return std::nullopt;
}

// The working values kept on a dialog, by the start of their names, with the main window's button
// that opens the dialog.
struct DialogFamily {
  std::string_view stem;
  std::string_view tail;
  std::string_view button;
  std::unique_ptr<ui::Form> ProgramState::*dialog;
};
const std::array<DialogFamily, 6> kDialogFamilies = {{
    {"HideGroup", "", "OtherGrpButt", &ProgramState::otherGrpSet},
    {"WaitGroup", "", "OtherGrpButt", &ProgramState::otherGrpSet},
    {"MoreGrpDisp", "", "OtherGrpButt", &ProgramState::otherGrpSet},
    {"Simplex", "Freq", "Advance", &ProgramState::simplexSet},
    {"无线局向号", "", "SysLabel", &ProgramState::sysLableform},
    {"对应系统号", "", "SysLabel", &ProgramState::sysLableform},
}};

// The box that shows a working value: the fleet level's, the search mode's and the group-call
// mode's.
constexpr std::array<std::pair<std::string_view, std::string_view>, 5> kWorkingValueBoxes = {{
    {"LargeBlock", "Block"},
    {"MediumBlock", "Block"},
    {"SmallBlock", "Block"},
    {"RangeSearch", "SearchWay"},
    {"GrpWayCurrent", "GrpWay"},
}};

// The main window's control that shows the field, if any.
std::string_view boxOf(const FieldDef& f) {
  if (f.kind == FieldKind::RadioChoice) return f.options.front().control;
  for (const auto& [field, box] : kWorkingValueBoxes)
    if (f.name == field) return box;
  return f.control;
}

std::string ownCaption(const ProgramState& state, const FieldDef& f) {
  const ui::Form& main = *state.main;
  if (f.kind == FieldKind::Switch || f.kind == FieldKind::InvertedSwitch)
    return main.at(f.control).caption;
  if (f.kind != FieldKind::RadioChoice) {
    const std::string caption = fieldCaption(state, f.name);
    // A working value is named by the box that shows it.
    return caption == f.name && f.control.empty() ? fieldCaption(state, boxOf(f)) : caption;
  }
  std::string joined;
  for (const RadioOption& o : f.options)
    joined += (joined.empty() ? "" : "/") + main.at(o.control).caption;
  return joined;
}

std::string joinedPath(const std::vector<std::string>& parts) {
  std::string out;
  for (const std::string& p : parts) out += (out.empty() ? "" : " › ") + ui::withoutColon(p);
  return out;
}

}  // namespace

std::string fieldPath(const ProgramState& state, std::string_view field) {
  const FieldDef* f = findField(field);
  if (!f) return std::string(field);
  const ui::Form& main = *state.main;
  const std::string_view box = boxOf(*f);
  if (!box.empty() && main.contains(box)) {
    std::vector<std::string> parts = ui::placeOf(main, box, true);
    parts.push_back(ownCaption(state, *f));
    return joinedPath(parts);
  }
  for (const DialogFamily& family : kDialogFamilies) {
    if (!field.starts_with(family.stem) || !field.ends_with(family.tail)) continue;
    std::vector<std::string> parts = ui::placeOf(main, family.button, true);
    parts.push_back((state.*family.dialog)->caption());
    parts.push_back(fieldCaption(state, field));
    return joinedPath(parts);
  }
  return std::string(field);
}

std::string fieldCaption(const ProgramState& state, std::string_view field) {
  if (auto caption = namedByItsPlace(state, field)) return *caption;
  if (auto caption = labelBeside(*state.main, field)) return *caption;
  return std::string(field);
}

namespace {

// A caption, then the group boxes around the box innermost first.
std::string spokenInPlace(const ui::Form& form, std::string_view box, const std::string& caption) {
  std::string spoken = ui::withoutColon(caption);
  const std::vector<std::string> around = ui::placeOf(form, box, false);
  for (auto group = around.rbegin(); group != around.rend(); ++group)
    if (!group->empty()) spoken += "，" + ui::withoutColon(*group);
  return spoken;
}

}  // namespace

void nameFieldBoxes(ProgramState& state) {
  ui::Form& main = *state.main;
  for (const FieldDef& f : fieldTable()) {
    // A choice's buttons and a switch are named by their own captions.
    if (f.kind == FieldKind::RadioChoice || f.control.empty() || !main.contains(f.control))
      continue;
    const ui::Control& box = main.at(f.control);
    if (!ui::takesInput(box.kind) || box.kind == ui::ControlKind::CheckBox) continue;
    main.setSpokenName(f.control, spokenInPlace(main, f.control, ownCaption(state, f)));
  }
}

void nameDialogBoxes(ProgramState& state, ui::Form& dialog,
                     const std::function<std::string(std::string_view box)>& fieldOfBox) {
  for (const ui::Control& box : dialog.controls()) {
    const std::string field = fieldOfBox(box.name);
    if (field.empty()) continue;
    dialog.setSpokenName(box.name, spokenInPlace(dialog, box.name, fieldCaption(state, field)));
  }
}

}  // namespace rcp::settings
