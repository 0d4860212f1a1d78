#include "testmode/test_frequencies.hpp"

#include <array>
#include <cstdint>

#include "rules/field_rules.hpp"
#include "ui/number_text.hpp"

namespace rcp::testmode {

namespace {

constexpr const char* kGroup = "TestFram";

// R and T are the test channel's receive and transmit frequencies in 100 Hz steps, F the first
// intermediate frequency in kHz. Every division drops the fraction.
struct Inputs {
  std::int64_t r;
  std::int64_t t;
  std::int64_t f;
};

struct Computed {
  const char* field;
  std::int64_t (*value)(const Inputs&);
};

const std::array<Computed, 16> kComputed = {{
    {"MirrorFreq", [](const Inputs& in) { return in.r / 10 - 2 * in.f; }},
    {"NeChannel1", [](const Inputs& in) { return in.r / 10 - 25; }},
    {"NeChannel2", [](const Inputs& in) { return in.r / 10 + 25; }},
    {"ClogFreq", [](const Inputs& in) { return in.r / 10 - in.r / 1000; }},
    {"DisFreq1", [](const Inputs& in) { return in.r / 10 - 42; }},
    {"DisFreq2", [](const Inputs& in) { return in.r / 10 + 42; }},
    {"DisFreq3", [](const Inputs& in) { return in.r / 10 - in.f; }},
    {"HalfMF", [](const Inputs& in) { return in.r / 10 - in.f / 2; }},
    {"InterM1", [](const Inputs& in) { return in.r / 10 - 25; }},
    {"InterM2", [](const Inputs& in) { return in.r / 10 + 25; }},
    {"InterM3", [](const Inputs& in) { return in.r / 10 - 50; }},
    {"InterM4", [](const Inputs& in) { return in.r / 10 + 50; }},
    {"InterM5", [](const Inputs& in) { return in.r / 10 - 100; }},
    {"InterM6", [](const Inputs& in) { return in.r / 10 + 100; }},
    {"TwiceFreq", [](const Inputs& in) { return in.t / 5; }},
    {"ThriceFreq", [](const Inputs& in) { return in.t / 10 * 3; }},
}};

}  // namespace

void Image1DblClick(settings::ProgramState& state) {
  ui::Form& form = *state.main;
  form.setEnabled(kGroup, true);
  form.setFontColor(kGroup, ui::colors::Navy);
  for (const ui::Control* c : form.children(kGroup)) {
    form.setFontColor(c->name, ui::colors::Navy);
    if (c->kind == ui::ControlKind::Edit) form.setColor(c->name, ui::colors::LightCyan);
  }
  recalculateTestFrequencies(state);
}

void recalculateTestFrequencies(settings::ProgramState& state) {
  ui::Form& form = *state.main;
  const Inputs in{rules::numberIn(form, "CurrentRxFreq"), rules::numberIn(form, "CurrentTxFreq"),
                  rules::numberIn(form, "FirstMF")};
  for (const Computed& c : kComputed) form.setText(c.field, ui::decimal(c.value(in)));
}

void followTestChannel(settings::ProgramState& state) {
  if (state.main->at(kGroup).enabled) recalculateTestFrequencies(state);
}

void bindTestFrequencies(settings::ProgramState& state) {
  ui::Form& form = *state.main;
  form.on("Image1", ui::Event::DblClick, [&state](ui::Control&) { Image1DblClick(state); });
  form.on("FirstMF", ui::Event::Exit,
          [&state](ui::Control&) { recalculateTestFrequencies(state); });
  for (const ui::Control* c : form.children(kGroup))
    if (c->kind == ui::ControlKind::Edit) rules::bindDigitFilter(form, c->name);
}

}  // namespace rcp::testmode
