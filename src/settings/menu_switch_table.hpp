#pragma once

#include <array>
#include <cstdint>

namespace rcp::settings {

// One of the seventeen switches that decide which entries the radio's Chinese menu offers, with
// the companion control that holds the entry's setting (enabled only while the switch is on).
struct MenuSwitchDef {
  const char* field;           // data-file key of the switch, e.g. "背光选择菜单"
  const char* control;         // check box, e.g. "Led_Choose"
  const char* valueField;      // companion's settings field, or null
  const char* valueControl;    // companion control, or null
  bool valueIsSlider = false;  // companion is a slider (else a combo box)
  const char* choiceStart = nullptr;  // combo box: start and absent text
  int sliderStart = 0;                // slider: start position
  int sliderAbsent = 0;               // slider: position when a data file lacks the key
};

extern const std::array<MenuSwitchDef, 17> kMenuSwitches;

}  // namespace rcp::settings
