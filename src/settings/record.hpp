#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "settings/field_table.hpp"
#include "settings/program_state.hpp"

namespace rcp::settings {

// The settings record: every field by its name, read from and set through the control that
// holds it, with the side effects of a user making that change (a switch or radio button that
// changes state runs its click rule, a spin field or slider clamps and runs its change rule).
// Working values are read and set directly.
class Record {
 public:
  explicit Record(ProgramState& state) : state_(state) {}

  // Reading a spin field whose text is not a number sets it to its minimum.
  FieldValue get(std::string_view field);
  void set(std::string_view field, const FieldValue& value);

  std::string text(std::string_view field);
  std::int64_t number(std::string_view field);
  bool flag(std::string_view field);

 private:
  const FieldDef& def(std::string_view field) const;
  ProgramState& state_;
};

// A value as messages show it: a text as it is, a number in decimal, a switch as "是" or "否".
std::string shownValue(const FieldValue& value);

// The step between neighbouring channel numbers that the transfers use: the channel spacing
// while the old-version switch is on, else 125.
int channelStep(ProgramState& state);

}  // namespace rcp::settings
