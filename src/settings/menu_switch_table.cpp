#include "settings/menu_switch_table.hpp"

#include <algorithm>

namespace rcp::settings {

namespace {

struct Bit {
  std::size_t byte;
  std::uint8_t mask;
};

constexpr MenuSwitchDef combo(const char* field, const char* control, Bit bit, int openRank,
                              const char* valueField, const char* valueControl, const char* start) {
  return {field,        control, bit.byte, bit.mask, openRank, valueField,
          valueControl, false,   start,    0,        0};
}
constexpr MenuSwitchDef slider(const char* field, const char* control, Bit bit, int openRank,
                               const char* valueField, const char* valueControl, int start,
                               int absent) {
  return {field,        control, bit.byte, bit.mask, openRank, valueField,
          valueControl, true,    nullptr,  start,    absent};
}
constexpr MenuSwitchDef plain(const char* field, const char* control, Bit bit, int openRank) {
  return {field, control, bit.byte, bit.mask, openRank, nullptr, nullptr, false, nullptr, 0, 0};
}

MenuSwitchOrder sortedBy(bool (*before)(const MenuSwitchDef*, const MenuSwitchDef*)) {
  MenuSwitchOrder order;
  for (std::size_t i = 0; i < kMenuSwitches.size(); ++i) order[i] = &kMenuSwitches[i];
  std::sort(order.begin(), order.end(), before);
  return order;
}

}  // namespace

// Bits of byte 0 (0x2C2), byte 1 (0x2C3) and byte 2 (0x2C4); the bits no switch drives are
// carried over from the last read (small_records.cpp).
const std::array<MenuSwitchDef, 17> kMenuSwitches = {
    combo("背光选择菜单", "Led_Choose", {0, 0x40}, 1, "背光选择", "LedBox", "背光开"),
    combo("功率调节菜单", "Power_Mod", {0, 0x10}, 2, "功率调节", "PowerBox", "高功率"),
    combo("振动选择菜单", "Vib_Choose", {2, 0x04}, 3, "振动选择", "VibBox", "振动开"),
    combo("回叫功能菜单", "Recall", {0, 0x04}, 8, "回叫功能", "RecallBox", "回叫功能无效"),
    slider("静噪调节菜单", "SQ_Mod", {0, 0x20}, 4, "静噪电平", "SQBar", 4, 3),
    plain("音量调节菜单", "Volum_Mod", {0, 0x02}, 5),
    plain("语音发送菜单", "Tone_Trans", {1, 0x80}, 6),
    plain("电话号码本菜单", "Phone_Book", {0, 0x80}, 7),
    combo("按键音量选择菜单", "AutoPower", {0, 0x08}, 10, "按键音量选择", "AutoPBox", "按键音开"),
    combo("单呼振铃选择菜单", "InRing_Choose", {2, 0x80}, 9, "单呼振铃选择", "InRingBox", "自动"),
    combo("组呼振铃选择菜单", "GrRing_Choose", {2, 0x40}, 11, "组呼振铃选择", "GrRingBox",
          "组呼振铃关"),
    combo("语音加密选择菜单", "Scram_Choose", {0, 0x01}, 12, "语音加密", "ScramBox", "语音加密关"),
    combo("铃声种类选择菜单", "RingType", {2, 0x20}, 13, "铃声种类", "RingTypeBox", "铃声一"),
    slider("回铃音量选择菜单", "Key_Volum", {2, 0x08}, 14, "回铃音量", "KeyVolumBar", 1, 1),
    slider("铃声音量选择菜单", "Ring_Volum", {2, 0x10}, 15, "铃声音量", "RingVolumBar", 9, 2),
    plain("脱网信道选择菜单", "Normal_Choose", {1, 0x20}, 16),
    plain("控制信道选择菜单", "Control_Choose", {1, 0x10}, 17),
};

const MenuSwitchOrder& menuSwitchesInBitOrder() {
  static const MenuSwitchOrder order = sortedBy([](const MenuSwitchDef* a, const MenuSwitchDef* b) {
    return a->menuByte != b->menuByte ? a->menuByte < b->menuByte : a->mask < b->mask;
  });
  return order;
}

const MenuSwitchOrder& menuSwitchesInOpenOrder() {
  static const MenuSwitchOrder order = sortedBy(
      [](const MenuSwitchDef* a, const MenuSwitchDef* b) { return a->openRank < b->openRank; });
  return order;
}

}  // namespace rcp::settings
