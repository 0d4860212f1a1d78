#include "rules/simplex_dialog.hpp"

#include <array>
#include <string>

#include "rules/field_rules.hpp"
#include "ui/number_text.hpp"

namespace rcp::rules {

namespace {

using settings::ProgramState;
using settings::WorkingValues;

constexpr int kFirstRow = WorkingValues::firstSimplex;
constexpr int kLastChannel = WorkingValues::lastSimplex;
constexpr int kLastRow = 20;  // shown, disabled, belongs to no channel
constexpr std::size_t kChannels = kLastChannel - kFirstRow + 1;

std::string rxField(int row) {
  return "S" + std::to_string(row) + "RxFreq";
}
std::string txField(int row) {
  return "S" + std::to_string(row) + "TxFreq";
}
std::size_t indexOf(int row) {
  return static_cast<std::size_t>(row - kFirstRow);
}

}  // namespace

void SimplexSetFormShow(ProgramState& state) {
  ui::Form& form = *state.simplexSet;
  const WorkingValues& v = state.values;
  for (int row = kFirstRow; row <= kLastChannel; ++row) {
    form.setText(rxField(row), ui::decimal(v.simplexRx[indexOf(row)]));
    form.setText(txField(row), ui::decimal(v.simplexTx[indexOf(row)]));
  }
}

void simplexFrequencyExit(ProgramState& state, const ui::Control& sender) {
  ui::Form& form = *state.simplexSet;
  fillIfEmpty(form, sender.name, "0");
  if (numberIn(form, sender.name) % 125 != 0) warn(state, form, sender.name, "应整除125！");
}

void Set_OKClick(ProgramState& state) {
  ui::Form& form = *state.simplexSet;
  // Every field is read before anything is stored, so a field that holds no number leaves all
  // the frequencies as they were.
  auto typed = [&form](const std::string& field) {
    fillIfEmpty(form, field, "0");
    return ui::toInt32(form.text(field));
  };
  std::array<int, kChannels> rx{};
  std::array<int, kChannels> tx{};
  for (int row = kFirstRow; row <= kLastChannel; ++row) {
    rx[indexOf(row)] = typed(rxField(row));
    tx[indexOf(row)] = typed(txField(row));
  }
  state.values.simplexRx = rx;
  state.values.simplexTx = tx;
  form.close();
}

void Set_CancleClick(ProgramState& state) {
  state.simplexSet->close();
}

std::string simplexFieldOfBox(std::string_view box) {
  for (int row = kFirstRow; row <= kLastChannel; ++row) {
    const std::string channel = "Simplex" + std::to_string(row);
    if (box == rxField(row)) return channel + "RxFreq";
    if (box == txField(row)) return channel + "TxFreq";
  }
  return {};
}

void bindSimplexDialog(ProgramState& state) {
  ui::Form& form = *state.simplexSet;
  form.onShown([&state] { SimplexSetFormShow(state); });
  for (int row = kFirstRow; row <= kLastRow; ++row)
    for (const std::string& field : {rxField(row), txField(row)}) {
      bindRule(state, form, field, ui::Event::Exit, simplexFrequencyExit);
      bindDigitFilter(form, field);
    }
  bindRule(state, form, "Set_OK", ui::Event::Click, Set_OKClick);
  bindRule(state, form, "Set_Cancle", ui::Event::Click, Set_CancleClick);
}

}  // namespace rcp::rules
