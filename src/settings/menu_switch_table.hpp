#pragma once

#include <array>
#include <cstddef>
#include <cstdint>

namespace rcp::settings {

// One of the seventeen switches that decide which entries the radio's Chinese menu offers, with
// the companion control that holds the entry's setting (enabled only while the switch is on) and
// the bit that carries the switch in the radio's three menu bytes.
struct MenuSwitchDef {
  const char* field;           // settings field and data-file key, e.g. "背光选择菜单"
  const char* control;         // check box, e.g. "Led_Choose"
  std::size_t menuByte;        // 0 to 2: which of the menu bytes holds the bit
  std::uint8_t mask;           // the bit
  int openRank;                // where opening a data file sets it among the switches (1 to 17)
  const char* valueField;      // companion's settings field, or null
  const char* valueControl;    // companion control, or null
  bool valueIsSlider = false;  // companion is a slider (else a combo box)
  const char* choiceStart = nullptr;  // combo box: start and absent text
  int sliderStart = 0;                // slider: start position
  int sliderAbsent = 0;               // slider: position when a data file lacks the key
};

// The switches in the window's order, which is also the order saving writes them. A read from
// the radio sets them in bit order (menuSwitchesInBitOrder), opening a file by openRank.
extern const std::array<MenuSwitchDef, 17> kMenuSwitches;

using MenuSwitchOrder = std::array<const MenuSwitchDef*, 17>;
const MenuSwitchOrder& menuSwitchesInBitOrder();
const MenuSwitchOrder& menuSwitchesInOpenOrder();

}  // namespace rcp::settings
