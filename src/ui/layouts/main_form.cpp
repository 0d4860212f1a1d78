// The main window: five tab pages beside a column of command buttons, and the status bar. The
// boxes of the settings fields are placed here; their start values and length limits come from
// the field registry (settings/field_table.cpp) when the program creates the window.

#include <array>
#include <string>
#include <vector>

#include "ui/counters.hpp"
#include "ui/layouts/layout_support.hpp"
#include "ui/layouts/layouts.hpp"

namespace rcp::ui::layouts {
namespace {

using detail::chineseNumeral;
using detail::digitField;
using detail::fieldBox;
using detail::labelled;
using detail::nth;

constexpr const char* kTabs = "HomeControlPage";

// ---------------------------------------------------------------------------------------------
// Frame: tab control, button column, pictures, status bar, timer.

void frame(LayoutWriter& w) {
  // Root grid: the tab control fills column 0; column 1 stacks the picture, the hidden version
  // switch, the test-mode picture, the command buttons and the exit button.
  w << tabControl(kTabs, "", "NormalSet").at(0, 0, 5, 1);
  w << picture("Image2", "").at(0, 1);
  w << checkBox("OldVersion", "", "旧版本").hidden().at(1, 1);
  w << panel("Panel3", "").at(2, 1).align(Align::Center);
  w << picture("TestOpen", "Panel3").at(0, 0);
  w << panel("Panel1", "").at(3, 1);
  const std::array<std::pair<const char*, const char*>, 5> commands = {{
      {"ComSet", "通讯设置"},
      {"OpenFile", "打开文件"},
      {"SaveFile", "存储文件"},
      {"ReadData", "读取数据"},
      {"WriteData", "写录数据"},
  }};
  for (int i = 0; i < static_cast<int>(commands.size()); ++i)
    w << button(commands[i].first, "Panel1", commands[i].second).at(i, 0);
  w << button("OutProg", "", "退出").at(4, 1);
  w << statusBar("StatusBar", "")
           .panel(310, Align::Center, false, "Website: www.veltra-comm.com")
           .panel(230, Align::Center, true, " ", true)
           .panel(100, Align::Center, true, "", true)
           .at(5, 0, 1, 2);
  w << timer("Timer1", 10000);
}

// ---------------------------------------------------------------------------------------------
// 基本设置: channel plan, signalling, network, system codes, off-network channels.

constexpr Color kNormalInput = colors::InputLight;

void channelPlan(LayoutWriter& w) {
  const std::string fram = "ChannelSet_Fram";
  // The group stacks four strips, each with its own grid.
  w << panel("ChannelSpacePanel", fram).at(0, 0);
  w << label("ChannelSpaceLab", "ChannelSpacePanel", "信道间隔：").at(0, 0);
  w << radioButton("ChannelSpace1", "ChannelSpacePanel", "12.5KHz").at(0, 1);
  w << radioButton("ChannelSpace2", "ChannelSpacePanel", "25KHz").at(0, 2);

  // Three segments: start and stop channel, receive and transmit start frequency.
  const std::string seg = "SegmentPanel";
  w << panel(seg, fram).at(1, 0);
  const std::array<std::pair<const char*, const char*>, 4> heads = {{
      {"SegStartLab", "起始"},
      {"SegStopLab", "终止"},
      {"SegRxLab", "接收频率"},
      {"SegTxLab", "发射频率"},
  }};
  for (int c = 0; c < 4; ++c)
    w << label(heads[c].first, seg, heads[c].second).at(0, c + 1).align(Align::Center);
  struct Segment {
    const char* caption;
    const char* start;
    const char* stop;
    const char* rx;
    const char* tx;
  };
  const std::array<Segment, 3> segments = {{
      {"第一段", "ChannelNum", "Channel1StopNum", "RxFreq", "TxFreq"},
      {"第二段", "Channel2StartNum", "Channel2StopNum", "Rx2Freq", "Tx2Freq"},
      {"第三段", "Channel3StartNum", "Channel3StopNum", "Rx3Freq", "Tx3Freq"},
  }};
  for (int i = 0; i < 3; ++i) {
    const Segment& s = segments[i];
    const int row = i + 1;
    w << label(nth("Seg", i + 1) + "Lab", seg, s.caption).at(row, 0);
    w << fieldBox(s.start, seg, kNormalInput).at(row, 1);
    w << fieldBox(s.stop, seg, kNormalInput).at(row, 2);
    w << fieldBox(s.rx, seg, kNormalInput).at(row, 3);
    w << fieldBox(s.tx, seg, kNormalInput).at(row, 4);
  }

  // Control-channel search mode and range.
  const std::string search = "SearchPanel";
  w << panel(search, fram).at(2, 0);
  w << label("SearchWayLab", search, "控制信道搜索方式:").at(0, 0);
  w << comboBox("SearchWay", search, {"指定范围搜索", "全信道搜索"}).color(kNormalInput).at(0, 1);
  w << fieldBox("ControlStart", search, kNormalInput).at(0, 2);
  w << label("ControlRangeLab", search, "~").at(0, 3).align(Align::Center);
  w << fieldBox("ControlStop", search, kNormalInput).at(0, 4);

  // Fifty preferred control channels: ten rows of five label + field pairs, numbered down the
  // columns ("01" to "10" in the first).
  const std::string hunt = "HuntPanel";
  w << panel(hunt, fram).at(3, 0);
  w << label("HuntLab", hunt, "优先寻找的控制信道号：").at(0, 0, 1, 6);
  w << button("SysLabel", hunt, "无线局向号列表").at(0, 6, 1, 4);
  for (int n = 1; n <= 50; ++n) {
    const int row = 1 + (n - 1) % 10;
    const int col = 2 * ((n - 1) / 10);
    w << label(nth("ControlChannelLab", n), hunt, twoDigits(n))
             .hint(nth("控制信道", n))
             .at(row, col);
    w << fieldBox(nth("ControlChannel", n), hunt, kNormalInput).at(row, col + 1);
  }
}

void signalling(LayoutWriter& w) {
  const std::string fram = "BaseSet_Fram";
  w << radioButton("Standard", fram, "标准型").at(0, 0);
  w << radioButton("Enhance", fram, "增强型").at(1, 0);
}

void network(LayoutWriter& w) {
  const std::string fram = "NetSet_Fram";
  w << radioButton("National", fram, "全国网").at(0, 0, 1, 2);
  w << radioButton("Regional", fram, "地区网").at(0, 2, 1, 2);
  w << checkBox("AutoRoam", fram, "自动漫游").at(1, 0, 1, 2);
  w << checkBox("StatusSave", fram, "状态保存").at(1, 2, 1, 2);
  labelled(w, "NetIdLab", "网络号", spinEdit("NetId", fram, 0, 3).color(kNormalInput), 2, 0);
  labelled(w, "CategoryLab", "网络类型", spinEdit("Category", fram, 0, 7).color(kNormalInput), 2,
           2);
  labelled(w, "RegCodeLab", "登记码", fieldBox("RegCode", fram, kNormalInput), 3, 0);
}

void systemCodes(LayoutWriter& w) {
  const std::string fram = "NetData_Fram";
  // The own system codes, each beside its length.
  const std::string own = "SysCodePanel";
  w << panel(own, fram).at(0, 0);
  const std::array<std::array<const char*, 4>, 3> codes = {{
      {"ZoneData", "省级码", "ZoneLength", "省级码长度"},
      {"AreaData", "地区码", "AreaLength", "地区码长度"},
      {"SilData", "子区码", "SilLength", "子区码长度"},
  }};
  for (int i = 0; i < 3; ++i) {
    const auto& c = codes[i];
    labelled(w, std::string(c[0]) + "Lab", c[1], fieldBox(c[0], own, kNormalInput), i, 0);
    labelled(w, std::string(c[2]) + "Lab", c[3], fieldBox(c[2], own, kNormalInput), i, 2);
  }

  // Twelve roaming system codes: three blocks of four rows, each row "NN" 省级码 地区码.
  const std::string roam = "RoamPanel";
  w << panel(roam, fram).at(1, 0);
  w << label("RoamLab", roam, "漫游系统码设置").at(0, 0, 1, 9);
  for (int block = 0; block < 3; ++block) {
    w << label(nth("RoamZoneLab", block + 1), roam, "省级码").at(1, 3 * block + 1);
    w << label(nth("RoamAreaLab", block + 1), roam, "地区码").at(1, 3 * block + 2);
  }
  for (int n = 1; n <= 12; ++n) {
    const int row = 2 + (n - 1) % 4;
    const int col = 3 * ((n - 1) / 4);
    w << label(nth("RoamNumLab", n), roam, twoDigits(n)).at(row, col);
    w << fieldBox(nth("ZoneData", n), roam, kNormalInput).at(row, col + 1);
    w << fieldBox(nth("AreaData", n), roam, kNormalInput).at(row, col + 2);
  }
}

void offNetwork(LayoutWriter& w) {
  const std::string fram = "GroupBox1";
  w << label("SimplexLab", fram, "信道").at(0, 0);
  for (int n = 1; n <= 8; ++n)
    w << fieldBox(nth("SimplexChannel", n), fram, kNormalInput).at((n - 1) / 4, 1 + (n - 1) % 4);
  w << button("Advance", fram, "高级").at(0, 5, 2, 1);
}

void normalSetPage(LayoutWriter& w) {
  const std::string page = "NormalSet";
  w << tabPage(page, kTabs, "基本设置");
  // Channel plan on the left; on the right signalling beside network, then the system codes
  // and the off-network channels.
  w << groupBox("ChannelSet_Fram", page, "信道设置").at(0, 0, 3, 1);
  channelPlan(w);
  w << groupBox("BaseSet_Fram", page, "信令方式").at(0, 1);
  signalling(w);
  w << groupBox("NetSet_Fram", page, "网络设置").at(0, 2);
  network(w);
  w << groupBox("NetData_Fram", page, "系统码设置").at(1, 1, 1, 2);
  systemCodes(w);
  w << groupBox("GroupBox1", page, "脱网信道").at(2, 1, 1, 2);
  offNetwork(w);
}

// ---------------------------------------------------------------------------------------------
// 用户信息: numbering, phone book, rights, fleet scheme, message counts, timers, personal data.

constexpr Color kUserInput = colors::UserInput;

void numbering(LayoutWriter& w) {
  const std::string fram = "MPT1343_Fram";
  // Four columns: caption, field, caption, field.
  labelled(w, "IndivolLab", "个呼号", fieldBox("MPT1343_Indivol", fram, kUserInput), 0, 0);
  // The dynamic group waits for "动态编组"; its caption is grey while it is off.
  w << label("DynaLab", fram, "动态重组号").fontColor(colors::Grey).at(0, 2);
  w << fieldBox("MPT1343_Dyna", fram, colors::ButtonFace).disabled().at(0, 3);

  // Eight group numbers, numbered down two columns.
  w << label("GrpLab", fram, "组呼号").at(1, 0);
  const std::string grp = "GrpPanel";
  w << panel(grp, fram).at(1, 1, 1, 3);
  for (int n = 1; n <= 8; ++n) {
    const int row = (n - 1) % 4;
    const int col = 2 * ((n - 1) / 4);
    w << label(nth("GrpNumLab", n), grp, std::to_string(n)).at(row, col);
    w << fieldBox(nth("MPT1343_Grp", n), grp, kUserInput).at(row, col + 1);
  }

  // The MPT1343 fleet limits start enabled (navy captions); the CPSX fleet level starts disabled.
  w << label("MaxIndivolLab", fram, "最大个呼号").fontColor(colors::Navy).at(2, 0);
  w << fieldBox("MaxIndivol", fram, kUserInput).at(2, 1);
  w << label("MaxFleetLab", fram, "最大组呼号").fontColor(colors::Navy).at(2, 2);
  w << fieldBox("MaxFleet", fram, kUserInput).at(2, 3);
  w << label("MPT1343_FleetLab", fram, "组呼本队号").fontColor(colors::Navy).at(3, 0);
  w << fieldBox("MPT1343_Fleet", fram, kUserInput).at(3, 1);
  w << label("BlockLab", fram, "分队级别").fontColor(colors::Grey).at(3, 2);
  w << comboBox("Block", fram, {"一级队", "二级队", "三级队", "四级队"})
           .color(colors::ButtonFace)
           .disabled()
           .at(3, 3);
  w << label("MaxUnitLab", fram, "一级队的最高段号").fontColor(colors::Grey).at(4, 0, 1, 2);
  w << spinEdit("MaxUnit", fram, 0, 10, 10).color(colors::ButtonFace).disabled().at(4, 2);
  w << button("OtherGrpButt", fram, "更多组").at(4, 3);

  labelled(w, "IndivolRangeLab", "个呼范围", fieldBox("indivolstart", fram, kUserInput), 5, 0);
  w << label("IndivolRangeToLab", fram, "~").at(5, 2).align(Align::Center);
  w << fieldBox("indivolstop", fram, kUserInput).at(5, 3);
  labelled(w, "GrpRangeLab", "组呼范围", fieldBox("grpstart", fram, kUserInput), 6, 0);
  w << label("GrpRangeToLab", fram, "~").at(6, 2).align(Align::Center);
  w << fieldBox("grpstop", fram, kUserInput).at(6, 3);

  labelled(w, "GrpWayLab", "组呼方式",
           comboBox("GrpWay", fram, {"全部有效", "当前有效"}).color(kUserInput), 7, 0);
  w << checkBox("Shrink_num", fram, "缩位允许").at(7, 2, 1, 2);
}

void fleetScheme(LayoutWriter& w) {
  const std::string fram = "UnitWay_Fram";
  w << radioButton("MPT1343", fram, "MPT1343").at(0, 0);
  w << radioButton("CPSX", fram, "CPSX").at(0, 1);
}

void rights(LayoutWriter& w) {
  const std::string fram = "PowerSet_Fram";
  // Three columns of switches; "PSTN" and "PABX" carry the word "呼叫" beside them.
  w << checkBox("Include_Call", fram, "包容呼叫").at(0, 0, 1, 2);
  w << checkBox("PSTN_Call", fram, "PSTN").at(1, 0);
  w << label("PSTN_CallLab", fram, "呼叫").at(1, 1);
  w << checkBox("PABX_Call", fram, "PABX").at(2, 0);
  w << label("PABX_CallLab", fram, "呼叫").at(2, 1);
  w << checkBox("Open_Reg", fram, "开机登记").at(0, 2, 1, 2);
  w << checkBox("Close_Dereg", fram, "关机取消登记").at(1, 2, 1, 2);
  w << checkBox("Callback", fram, "回叫允许").at(2, 2, 1, 2);
  w << checkBox("KeyGrpEnable", fram, "禁止键盘组呼").at(0, 4, 1, 2);
  w << checkBox("Dyna_Enable", fram, "动态编组").at(1, 4, 1, 2);

  // Spin fields with their captions and units.
  const std::string spins = "PowerSpinPanel";
  w << panel(spins, fram).at(3, 0, 1, 6);
  labelled(w, "RingCategoryLab", "回铃音种类",
           spinEdit("RingCategory", spins, 0, 9).color(kUserInput), 0, 0);
  w << label("TimelimitLab", spins, "呼叫限时").at(0, 2);
  w << spinEdit("Timelimit", spins, 0, 999).color(kUserInput).at(0, 3);
  w << label("TimelimitUnitLab", spins, "(秒)").at(0, 4);
  w << label("limitlengthPSTNLab", spins, "PSTN").at(1, 0).align(Align::Right);
  w << label("limitlengthLab", spins, "限拨号码长度").at(1, 1, 1, 2);
  w << spinEdit("limitlength", spins, 0, 255).color(kUserInput).at(1, 3);
}

void phoneBook(LayoutWriter& w) {
  const std::string fram = "PhoneBook_Fram";
  const std::string size = "MaxNumberPanel";
  w << panel(size, fram).at(0, 0, 1, 4);
  labelled(w, "MaxNumberLab", "最多输入号码", spinEdit("MaxNumber", size, 0, 10).color(kUserInput),
           0, 0);
  w << label("MaxNumberUnitLab", size, "个").at(0, 2);
  // Entries 0 to 4 in the first column, 5 to 9 in the second.
  for (int n = 0; n <= 9; ++n) {
    const int row = 1 + n % 5;
    const int col = 2 * (n / 5);
    w << label(nth("PhoneLab", n), fram, std::to_string(n)).at(row, col);
    w << fieldBox(nth("Phone_Number", n), fram, kUserInput).at(row, col + 1);
  }
}

// The counters of one group box, five to a row: each a spin field captioned with its own name,
// the label carrying the explanation as its hint.
void counters(LayoutWriter& w, const std::string& fram, CounterGroup group) {
  constexpr int kPerRow = 5;
  int i = 0;
  for (const CounterDef& c : kCounters) {
    if (c.group != group) continue;
    const int row = i / kPerRow;
    const int col = 2 * (i % kPerRow);
    w << label(std::string(c.name) + "Lab", fram, c.name).hint(c.hint).at(row, col);
    w << spinEdit(c.name, fram, c.min, c.max).step(c.step).color(kUserInput).at(row, col + 1);
    ++i;
  }
}

void messageCounts(LayoutWriter& w) {
  counters(w, "GroupBox2", CounterGroup::MessageCounts);
  w << button("Default", "GroupBox2", "还原默认值").at(1, 8, 1, 2);
}

void timers(LayoutWriter& w) {
  counters(w, "GroupBox3", CounterGroup::Timers);
}

void personal(LayoutWriter& w) {
  const std::string fram = "GroupBox4";
  labelled(w, "Label48", "启动信息", fieldBox("Infomation", fram, kUserInput), 0, 0);
  labelled(w, "Label51", "启动密码", fieldBox("password", fram, kUserInput), 1, 0);
}

void userInfoPage(LayoutWriter& w) {
  const std::string page = "UserInfo";
  w << tabPage(page, kTabs, "用户信息");
  // Numbering on the left, rights over the phone book on the right; across the bottom the
  // counters over the timers, with the scheme over the personal data beside them.
  w << groupBox("MPT1343_Fram", page, "MPT1343").at(0, 0, 2, 1);
  numbering(w);
  w << groupBox("PowerSet_Fram", page, "权限设置").at(0, 1, 1, 2);
  rights(w);
  w << groupBox("PhoneBook_Fram", page, "电话号码本").at(1, 1, 1, 2);
  phoneBook(w);
  w << groupBox("GroupBox2", page, "消息帧数").at(2, 0, 1, 2);
  messageCounts(w);
  w << groupBox("UnitWay_Fram", page, "编队方式").at(2, 2);
  fleetScheme(w);
  w << groupBox("GroupBox3", page, "时间常数").at(3, 0, 1, 2);
  timers(w);
  w << groupBox("GroupBox4", page, "个人信息").at(3, 2);
  personal(w);
}

// ---------------------------------------------------------------------------------------------
// 测试: test channel, test commands, alignment, typical test frequencies.

void testChannel(LayoutWriter& w) {
  const std::string fram = "TestChannel_Fram";
  w << label("CurrentChannelLab", fram, "当前信道").at(0, 0);
  w << label("CurrentChannelNumLab", fram, "编号").at(0, 1);
  w << digitField("CurrentChannelNum", fram, 3, "001").at(0, 2);
  w << label("CurrentRxFreqLab", fram, "接收频点").at(1, 0, 1, 2);
  w << digitField("CurrentRxFreq", fram, 7, "3610250").at(1, 2);
  w << label("CurrentTxFreqLab", fram, "发射频点").at(2, 0, 1, 2);
  w << digitField("CurrentTxFreq", fram, 7, "3510250").at(2, 2);
  w << label("FreqIncLab", fram, "步进带宽").at(3, 0, 1, 2);
  w << digitField("FreqInc", fram, 4, "2000").at(3, 2);
  w << label("FreqIncUnitLab", fram, "KHz").at(3, 3);
  w << label("ChangeChannelLab", fram, "切换信道").at(0, 3, 2, 1).align(Align::Center);
  w << upDown("ChangeChannel", fram).at(0, 4, 3, 1);
}

void testCommands(LayoutWriter& w) {
  const std::string fram = "TestOperate_Fram";
  const std::array<std::pair<const char*, const char*>, 10> buttons = {{
      {"TxMsk", "信令发射"},
      {"TxTone", "话音发射"},
      {"DTMF", "双音频测试"},
      {"RxTone", "话音接收"},
      {"DualTest", "双工测试"},
      {"CloseTest", "关闭测试"},
      {"PowerM", "功率调节"},
      {"Rssi1", "场强一格"},
      {"Rssi5", "场强五格"},
      {"SpeedButton2", "缺省"},
  }};
  for (int i = 0; i < static_cast<int>(buttons.size()); ++i)
    w << button(buttons[i].first, fram, buttons[i].second).at(i / 3, i % 3);
  w << picture("Image1", fram).at(3, 1, 1, 2);
  // Each radio family in its own strip, so that the two choices stay independent.
  w << panel("BaudPanel", fram).at(4, 0, 1, 3);
  w << radioButton("baudrate1", "BaudPanel", "4800bps").checked().at(0, 0);
  w << radioButton("baudrate2", "BaudPanel", "9600bps").at(0, 1);
  w << panel("TypePanel", fram).at(5, 0, 1, 3);
  w << radioButton("Type1", "TypePanel", "HX33").at(0, 0);
  w << radioButton("Type2", "TypePanel", "HX77").at(0, 1);
  w << radioButton("Type3", "TypePanel", "HX34s").at(0, 2);
}

void alignment(LayoutWriter& w) {
  const std::string fram = "Baseband_Fram";
  // Four spin fields with their bars.
  struct Vr {
    const char* name;
    const char* caption;
    int max;
    int value;
  };
  const std::array<Vr, 4> vrs = {{
      {"VR1", "话音频偏调整", 15, 5},
      {"VR2", "信令频偏调整", 15, 5},
      {"VR3", "话音音量微调", 15, 7},
      {"VR4", "话音音量粗调", 7, 1},
  }};
  const std::string bars = "VrPanel";
  w << panel(bars, fram).at(0, 0);
  for (int i = 0; i < 4; ++i) {
    const Vr& v = vrs[i];
    labelled(w, std::string(v.name) + "Lab", v.caption, spinEdit(v.name, bars, 0, v.max, v.value),
             i, 0);
    w << trackBar(std::string(v.name) + "Bar", bars, 0, v.max, v.value).at(i, 2);
  }

  // Ten three-digit values, each stepped by its own up/down pair, in two columns.
  struct Stepped {
    const char* name;
    const char* button;
    const char* caption;
  };
  const std::array<Stepped, 10> stepped = {{
      {"VRSQ", "CSpinButton1", "静噪电平调节"},
      {"VRBF", "CSpinButton3", "基准频率调节"},
      {"VRPWR", "CSpinButton4", "发射功率调节"},
      {"VRPP", "CSpinButton2", "低段频偏调节"},
      {"VRPP2", "CSpinButton5", "中段频偏调节"},
      {"VRPP3", "CSpinButton6", "高段频偏调节"},
      {"VRPP0", "CSpinButton7", "最大频偏调节"},
      {"VR_Sen1", "CSpinButton8", "低段灵敏度"},
      {"VR_Sen2", "CSpinButton9", "中段灵敏度"},
      {"VR_Sen3", "CSpinButton10", "高段灵敏度"},
  }};
  const std::string values = "StepPanel";
  w << panel(values, fram).at(1, 0);
  for (int i = 0; i < 10; ++i) {
    const Stepped& s = stepped[i];
    const int row = i % 5;
    const int col = 3 * (i / 5);
    w << label(std::string(s.name) + "Lab", values, s.caption).at(row, col);
    w << digitField(s.name, values, 3, "0").range(0, 255).at(row, col + 1);
    w << upDown(s.button, values).at(row, col + 2);
  }

  const std::string switches = "CompressPanel";
  w << panel(switches, fram).at(2, 0);
  w << radioButton("CompressOpen", switches, "TX S/N").at(0, 0);
  w << radioButton("CompressClose", switches, "TEST").checked().at(0, 1);
  w << checkBox("SecretCheck", switches, "加密/解密").at(0, 2);
}

void testFrequencies(LayoutWriter& w) {
  const std::string fram = "TestFram";
  // Six digits are typed; the harmonics of the higher bands reach seven, so every box shows seven.
  const auto frequency = [&fram](const char* name, const char* text) {
    return digitField(name, fram, 6, text).width(7);
  };
  // Four caption + field pairs to a row.
  w << label("TestFreqTitleLab", fram, "综合测试典型频率值").at(0, 0, 1, 4);
  w << label("TestFreqUnitLab", fram, "单位").at(0, 6).align(Align::Right);
  w << label("TestFreqKHzLab", fram, "KHz").at(0, 7);
  struct Single {
    const char* name;
    const char* caption;
    const char* text;
  };
  const std::array<Single, 12> singles = {{
      {"FirstMF", "第一中频", "021400"},
      {"SecondMF", "第二中频", "000445"},
      {"MirrorFreq", "镜像频率", "318225"},
      {"NeChannel1", "上邻道频率", "361000"},
      {"NeChannel2", "下邻道频率", "361050"},
      {"ClogFreq", "阻塞频率", "357415"},
      {"DisFreq1", "杂散频率", "360983"},
      {"DisFreq2", "杂散频率", "361067"},
      {"DisFreq3", "本振频率", "339625"},
      {"HalfMF", "半中频", "350325"},
      {"TwiceFreq", "二次谐波", "702050"},
      {"ThriceFreq", "三次谐波", "1053075"},
  }};
  for (int i = 0; i < static_cast<int>(singles.size()); ++i) {
    const Single& s = singles[i];
    labelled(w, std::string(s.name) + "Lab", s.caption, frequency(s.name, s.text), 1 + i / 4,
             2 * (i % 4));
  }
  // Interference pairs, two to a row: caption, the frequency below, the offset, the one above.
  struct Pair {
    const char* caption;
    const char* offset;
    const char* low;
    const char* lowText;
    const char* high;
    const char* highText;
  };
  const std::array<Pair, 3> pairs = {{
      {"第一干扰频率", "(25K)", "InterM1", "361000", "InterM2", "361050"},
      {"第二干扰频率", "(50K)", "InterM3", "360975", "InterM4", "361075"},
      {"第二干扰频率", "(100K)", "InterM5", "360925", "InterM6", "361125"},
  }};
  for (int i = 0; i < 3; ++i) {
    const Pair& p = pairs[i];
    const int row = 4 + i / 2;
    const int col = 4 * (i % 2);
    labelled(w, nth("InterMLab", i + 1), p.caption, frequency(p.low, p.lowText), row, col);
    labelled(w, nth("InterMOffsetLab", i + 1), p.offset, frequency(p.high, p.highText), row,
             col + 2);
  }
}

void testPage(LayoutWriter& w) {
  const std::string page = "Test";
  // Offered only once the password has been given.
  w << tabPage(page, kTabs, "测试").hidden();
  w << groupBox("TestChannel_Fram", page, "选择信道").at(0, 0);
  testChannel(w);
  w << groupBox("TestOperate_Fram", page, "操作").at(1, 0);
  testCommands(w);
  w << groupBox("Baseband_Fram", page, "基带信号处理").at(0, 1, 2, 1);
  alignment(w);
  // Enabled by a double click on the picture of group "操作".
  w << groupBox("TestFram", page, "综合测试").disabled().at(2, 0, 1, 2);
  testFrequencies(w);
}

// ---------------------------------------------------------------------------------------------
// 附加功能: the radio's Chinese menu switches and feature options.

constexpr Color kAppendixInput = colors::InputLight;

// A menu switch and the control holding the entry's setting, if it has one.
struct MenuSwitch {
  const char* name;
  const char* caption;
  bool checked;
  const char* companion;           // null when the switch stands alone
  std::vector<std::string> items;  // a choice; empty for a level
  int levelMax;
};

std::vector<std::string> ringTypes() {
  std::vector<std::string> out;
  for (int n = 1; n <= 16; ++n) out.push_back("铃声" + chineseNumeral(n));
  return out;
}

void menuSwitch(LayoutWriter& w, const std::string& parent, const MenuSwitch& m, int row, int col) {
  // The layout shows each switch in its own state: a checked switch has a purple caption, an
  // unchecked one a grey caption and a disabled companion.
  auto sw = checkBox(m.name, parent, m.caption)
                .checked(m.checked)
                .fontColor(m.checked ? colors::Purple : colors::Grey);
  if (!m.companion) {
    w << sw.at(row, col, 1, 2);
    return;
  }
  w << sw.at(row, col);
  if (m.items.empty()) {
    auto bar = trackBar(m.companion, parent, 0, m.levelMax);
    if (!m.checked) bar.disabled();
    w << bar.at(row, col + 1);
    return;
  }
  auto box = comboBox(m.companion, parent, m.items);
  if (m.checked)
    box.color(kAppendixInput).fontColor(colors::Navy);
  else
    box.color(colors::ButtonFace).fontColor(colors::Grey).disabled();
  w << box.at(row, col + 1);
}

void menuOptions(LayoutWriter& w) {
  const std::string fram = "GroupBox6";
  const std::vector<MenuSwitch> switches = {
      {"Led_Choose", "背光选择", false, "LedBox", {"背光开", "背光关"}, 0},
      {"Power_Mod", "功率调节", false, "PowerBox", {"高功率", "中功率", "低功率"}, 0},
      {"Vib_Choose", "振动选择", false, "VibBox", {"振动开", "振动关"}, 0},
      {"Recall", "回叫功能", false, "RecallBox", {"回叫功能无效", "回叫功能有效"}, 0},
      {"Tone_Trans", "语音发送(用于脱网信道监听)", false, nullptr, {}, 0},
      {"SQ_Mod", "静噪调节", false, "SQBar", {}, 16},
      {"Volum_Mod", "音量调节", true, nullptr, {}, 0},
      {"Phone_Book", "电话号码本", false, nullptr, {}, 0},
      {"AutoPower", "按键音量选择", false, "AutoPBox", {"按键音开", "按键音关"}, 0},
      {"InRing_Choose", "单呼振铃选择", false, "InRingBox", {"自动", "振铃有效"}, 0},
      {"GrRing_Choose", "组呼振铃选择", false, "GrRingBox", {"组呼振铃关", "组呼振铃开"}, 0},
      {"Scram_Choose", "语音加密选择", false, "ScramBox", {"语音加密关", "语音加密开"}, 0},
      {"RingType", "铃声种类选择", false, "RingTypeBox", ringTypes(), 0},
      {"Key_Volum", "回铃音量选择", false, "KeyVolumBar", {}, 15},
      {"Ring_Volum", "铃声音量选择", false, "RingVolumBar", {}, 15},
      {"Normal_Choose", "脱网信道选择", true, nullptr, {}, 0},
      {"Control_Choose", "控制信道选择", false, nullptr, {}, 0},
  };
  // Two columns of switch + companion: nine rows on the left, eight on the right.
  const std::string menu = "MenuPanel";
  w << panel(menu, fram).at(0, 0);
  for (int i = 0; i < static_cast<int>(switches.size()); ++i)
    menuSwitch(w, menu, switches[static_cast<std::size_t>(i)], i % 9, 2 * (i / 9));

  const std::string presets = "PresetPanel";
  w << panel(presets, fram).at(1, 0);
  w << button("Often_OK", presets, "常用菜单有效").fontColor(colors::Navy).at(0, 0);
  w << button("All_NO", presets, "全部菜单无效").fontColor(colors::Navy).at(0, 1);
  w << button("All_OK", presets, "全部菜单有效").fontColor(colors::Navy).at(0, 2);

  // Feature options; all but the alarm number stay hidden until asked for.
  const std::string features = "FeaturePanel";
  w << panel(features, fram).at(2, 0);
  w << label("SysCallNumLab", features, "系统告警号").at(0, 0);
  w << fieldBox("SysCallNum", features, kAppendixInput).at(0, 1, 1, 4);
  w << checkBox("Talk", features, "对讲功能").hidden().at(1, 0);
  w << label("TalkLab1", features, "对讲个呼号").hidden().at(1, 1);
  w << fieldBox("TalkIndivol", features, kAppendixInput).hidden().at(1, 2);
  w << label("TalkLab2", features, "对讲组呼号").hidden().at(1, 3);
  w << fieldBox("TalkGrp", features, kAppendixInput).hidden().at(1, 4);
  // Unchecked "PTT": the PTT key sends its code.
  w << checkBox("Transcode", features, "PTT").hidden().at(2, 0);
  w << label("PTTname", features, "不发码").hidden().at(2, 1);
  // Carried with the settings only; never offered to the user.
  w << checkBox("Dead", features, "遥毙").hidden().disabled().at(2, 3);
}

void appendixPage(LayoutWriter& w) {
  const std::string page = "Appendix";
  w << tabPage(page, kTabs, "附加功能");
  w << groupBox("GroupBox6", page, "中文菜单及其它功能").at(0, 0);
  menuOptions(w);
}

// ---------------------------------------------------------------------------------------------
// 帮助

void helpPage(LayoutWriter& w) {
  const std::string page = "Help";
  w << tabPage(page, kTabs, "帮助");
  w << label("Label42", page, "RCP520中文写码软件说明").at(0, 0).align(Align::Center);
  w << richText("HelpText", page).at(1, 0);
}

}  // namespace

FormSpec mainForm() {
  FormSpec windowLayout;
  windowLayout.name = "Main_Form";
  windowLayout.className = "TMain_Form";
  windowLayout.caption = "RCP520中文写码软件";
  windowLayout.clientWidth = 788;
  windowLayout.clientHeight = 543;
  LayoutWriter w(windowLayout);
  frame(w);
  normalSetPage(w);
  userInfoPage(w);
  testPage(w);
  appendixPage(w);
  helpPage(w);
  return windowLayout;
}

}  // namespace rcp::ui::layouts
