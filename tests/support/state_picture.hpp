#pragma once

#include <sstream>
#include <string>

#include "settings/program_state.hpp"

namespace rcp::test {

// Everything a command on the record could touch, one line a control of the main window, then
// the working values: two pictures compare equal exactly when nothing changed.
inline std::string everything(const settings::ProgramState& s) {
  std::ostringstream out;
  for (const auto& c : s.main->controls())
    out << c.name << '|' << c.text << '|' << c.checked << '|' << c.value << '|' << c.min << '|'
        << c.max << '|' << c.enabled << '|' << c.visible << '|' << c.color << '|' << c.fontColor
        << '|' << c.caption << '|' << c.maxLength << '|' << c.items.size() << '\n';
  const settings::WorkingValues& v = s.values;
  for (int n : {v.baseRxFreq, v.baseTxFreq, v.duplexSpacing, v.highestChannel,
                static_cast<int>(v.rangeSearch), static_cast<int>(v.diallingScheme),
                static_cast<int>(v.grpWayCurrent), v.largeBlock, v.mediumBlock, v.smallBlock,
                v.levelBound1, v.levelBound2, v.levelBound3, static_cast<int>(v.menuPreset),
                static_cast<int>(v.moreGrpDisp)})
    out << n << ' ';
  for (int n : v.simplexRx) out << n << ' ';
  for (int n : v.simplexTx) out << n << ' ';
  for (auto n : v.otherGroups) out << n << ' ';
  for (auto l : v.systemLabels) out << l.route << ':' << l.system << ' ';
  return out.str();
}

}  // namespace rcp::test
