#include "settings/menu_switch_table.hpp"

namespace rcp::settings {

namespace {
constexpr MenuSwitchDef combo(const char* field, const char* control, const char* valueField,
                              const char* valueControl, const char* start) {
  return {field, control, valueField, valueControl, false, start, 0, 0};
}
constexpr MenuSwitchDef slider(const char* field, const char* control, const char* valueField,
                               const char* valueControl, int start, int absent) {
  return {field, control, valueField, valueControl, true, nullptr, start, absent};
}
constexpr MenuSwitchDef plain(const char* field, const char* control) {
  return {field, control, nullptr, nullptr, false, nullptr, 0, 0};
}
}  // namespace

const std::array<MenuSwitchDef, 17> kMenuSwitches = {
    combo("背光选择菜单", "Led_Choose", "背光选择", "LedBox", "背光开"),
    combo("功率调节菜单", "Power_Mod", "功率调节", "PowerBox", "高功率"),
    combo("振动选择菜单", "Vib_Choose", "振动选择", "VibBox", "振动开"),
    combo("回叫功能菜单", "Recall", "回叫功能", "RecallBox", "回叫功能无效"),
    slider("静噪调节菜单", "SQ_Mod", "静噪电平", "SQBar", 4, 3),
    plain("音量调节菜单", "Volum_Mod"),
    plain("语音发送菜单", "Tone_Trans"),
    plain("电话号码本菜单", "Phone_Book"),
    combo("按键音量选择菜单", "AutoPower", "按键音量选择", "AutoPBox", "按键音开"),
    combo("单呼振铃选择菜单", "InRing_Choose", "单呼振铃选择", "InRingBox", "自动"),
    combo("组呼振铃选择菜单", "GrRing_Choose", "组呼振铃选择", "GrRingBox", "组呼振铃关"),
    combo("语音加密选择菜单", "Scram_Choose", "语音加密", "ScramBox", "语音加密关"),
    combo("铃声种类选择菜单", "RingType", "铃声种类", "RingTypeBox", "铃声一"),
    slider("回铃音量选择菜单", "Key_Volum", "回铃音量", "KeyVolumBar", 1, 1),
    slider("铃声音量选择菜单", "Ring_Volum", "铃声音量", "RingVolumBar", 9, 2),
    plain("脱网信道选择菜单", "Normal_Choose"),
    plain("控制信道选择菜单", "Control_Choose"),
};

}  // namespace rcp::settings
