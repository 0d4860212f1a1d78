#include "ui/layouts/layouts.hpp"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "settings/field_starts.hpp"
#include "ui/counters.hpp"
#include "ui/layout.hpp"
#include "ui/number_text.hpp"

namespace rcp::ui {
namespace {

// The main window as the program creates it, its boxes started from the field registry.
FormSpec mainWindow() {
  return settings::withFieldStarts(layouts::mainForm());
}

struct Window {
  std::string name;
  std::string caption;
  std::function<FormSpec()> build;
};

const std::vector<Window>& allWindows() {
  static const std::vector<Window> all = {
      {"Main_Form", "RCP520中文写码软件", mainWindow},
      {"Password_Form", "密码框", layouts::passwordForm},
      {"Error1_Form", "警告", layouts::error1Form},
      {"ComSet_Form", "设置串口", layouts::comSetForm},
      {"WriteData_Form", "数据读写", layouts::writeDataForm},
      {"Version_Form", "版本信息", layouts::versionForm},
      {"SimplexSet", "脱网频率设置", layouts::simplexSet},
      {"OtherGrpSet", "更多组及隐含组", layouts::otherGrpSet},
      {"SysLableform", "无线局向号列表框", layouts::sysLableform},
      {"Fleet_Form", "批量写频", layouts::fleetForm},
  };
  return all;
}

std::string nth(const std::string& stem, int n) {
  return stem + std::to_string(n);
}

// The label standing directly left of a control in its parent's grid, or null.
const Control* captionOf(const Form& form, const std::string& name) {
  const Control& field = form.at(name);
  for (const Control* c : form.children(field.parent))
    if (c->kind == ControlKind::Label && c->cell.row == field.cell.row &&
        c->cell.col + c->cell.colSpan == field.cell.col)
      return c;
  return nullptr;
}

TEST(Layouts, EveryWindowBuildsWithItsIdentity) {
  for (const auto& window : allWindows()) {
    const Form form(window.build());  // rejects duplicate names and unknown parents
    EXPECT_EQ(form.name(), window.name);
    EXPECT_EQ(form.className(), "T" + window.name);
    EXPECT_EQ(form.caption(), window.caption);
  }
  const Form main(mainWindow());
  EXPECT_EQ(main.clientWidth(), 788);
  EXPECT_EQ(main.clientHeight(), 543);
  const Form progress(layouts::writeDataForm());
  EXPECT_EQ(progress.clientWidth(), 344);
  EXPECT_EQ(progress.clientHeight(), 91);
}

// Two controls in one cell of a container would be drawn on top of each other.
TEST(Layouts, NoTwoControlsShareAGridCell) {
  for (const auto& window : allWindows()) {
    const Form form(window.build());
    std::map<std::tuple<std::string, int, int>, std::string> taken;
    for (const Control& c : form.controls()) {
      if (c.kind == ControlKind::Timer || c.kind == ControlKind::TabPage) continue;
      for (int r = c.cell.row; r < c.cell.row + c.cell.rowSpan; ++r)
        for (int col = c.cell.col; col < c.cell.col + c.cell.colSpan; ++col) {
          auto [it, fresh] = taken.emplace(std::make_tuple(c.parent, r, col), c.name);
          EXPECT_TRUE(fresh) << window.name << ": " << c.name << " overlaps " << it->second
                             << " at (" << r << ", " << col << ") of '" << c.parent << "'";
        }
    }
  }
}

TEST(Layouts, MainWindowOffersItsPagesInOrder) {
  const Form form(mainWindow());
  std::vector<std::pair<std::string, std::string>> pages;
  for (const Control* c : form.children("HomeControlPage")) pages.emplace_back(c->name, c->caption);
  const std::vector<std::pair<std::string, std::string>> expected = {{"NormalSet", "基本设置"},
                                                                     {"UserInfo", "用户信息"},
                                                                     {"Test", "测试"},
                                                                     {"Appendix", "附加功能"},
                                                                     {"Help", "帮助"}};
  EXPECT_EQ(pages, expected);
  EXPECT_EQ(form.activePage("HomeControlPage"), "NormalSet");
  EXPECT_FALSE(form.at("Test").visible);

  std::vector<std::string> column;
  for (const Control* c : form.children("Panel1")) column.push_back(c->caption);
  EXPECT_EQ(column,
            (std::vector<std::string>{"通讯设置", "打开文件", "存储文件", "读取数据", "写录数据"}));

  const auto& panels = form.at("StatusBar").panels;
  ASSERT_EQ(panels.size(), 3u);
  EXPECT_EQ(panels[0].width, 310);
  EXPECT_EQ(panels[0].text.rfind("Website: ", 0), 0u);
  EXPECT_EQ(panels[1].text, " ");
  EXPECT_TRUE(panels[1].rightToLeft);
  EXPECT_EQ(panels[2].width, 100);
  EXPECT_EQ(panels[2].text, "");
  EXPECT_EQ(form.at("Timer1").value, 10000);
  EXPECT_TRUE(form.at("Timer1").enabled);
}

TEST(Layouts, NumberedFamiliesAreCompleteAndCaptioned) {
  const Form form(mainWindow());
  for (int n = 1; n <= 50; ++n) {
    const std::string name = nth("ControlChannel", n);
    EXPECT_EQ(form.pageOf(name)->name, "NormalSet");
    EXPECT_EQ(form.text(name), "0000");
    EXPECT_EQ(form.at(name).maxLength, 4);
    const Control* caption = captionOf(form, name);
    ASSERT_NE(caption, nullptr) << name;
    EXPECT_EQ(caption->caption, twoDigits(n));
    EXPECT_EQ(caption->hint, nth("控制信道", n));
  }
  // The first ten preferred channels fill the first column, top to bottom.
  EXPECT_EQ(form.at("ControlChannel2").cell.row, form.at("ControlChannel1").cell.row + 1);
  EXPECT_EQ(form.at("ControlChannel11").cell.row, form.at("ControlChannel1").cell.row);
  for (int n = 1; n <= 12; ++n) {
    EXPECT_EQ(captionOf(form, nth("ZoneData", n))->caption, twoDigits(n));
    EXPECT_EQ(form.at(nth("AreaData", n)).cell.row, form.at(nth("ZoneData", n)).cell.row);
    EXPECT_EQ(form.text(nth("AreaData", n)), "000");
  }
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(form.at(nth("SimplexChannel", n)).parent, "GroupBox1");
  for (int n = 0; n <= 9; ++n) {
    EXPECT_EQ(form.at(nth("Phone_Number", n)).maxLength, 16);
    EXPECT_TRUE(form.at(nth("Phone_Number", n)).enabled);
  }
  for (int n = 1; n <= 8; ++n) EXPECT_EQ(form.at(nth("MPT1343_Grp", n)).maxLength, 10);
  EXPECT_EQ(form.text("MPT1343_Grp1"), "3265500900");
  EXPECT_EQ(form.text("MPT1343_Grp2"), "");
}

TEST(Layouts, FieldsStartWithTheirStartValues) {
  const Form form(mainWindow());
  EXPECT_TRUE(form.checked("ChannelSpace2"));
  EXPECT_EQ(form.text("ChannelNum"), "0001");
  EXPECT_EQ(form.text("Channel1StopNum"), "0160");
  EXPECT_EQ(form.text("RxFreq"), "3610250");
  EXPECT_EQ(form.at("RxFreq").maxLength, 7);
  EXPECT_EQ(form.text("Tx3Freq"), "0000000");
  EXPECT_EQ(form.text("SearchWay"), "指定范围搜索");
  EXPECT_EQ(form.at("SearchWay").items, (std::vector<std::string>{"指定范围搜索", "全信道搜索"}));
  EXPECT_EQ(form.text("RegCode"), "00000");
  EXPECT_EQ(form.value("Category"), 1);
  EXPECT_EQ(form.at("NetId").max, 3);
  EXPECT_EQ(form.text("MPT1343_Indivol"), "3262001201");
  EXPECT_EQ(form.text("indivolstop"), "2001899");
  EXPECT_EQ(form.at("Block").items.size(), 4u);
  EXPECT_EQ(form.text("GrpWay"), "全部有效");
  EXPECT_EQ(form.at("MaxUnitLab").caption, "一级队的最高段号");
  EXPECT_EQ(form.value("limitlength"), 255);
  EXPECT_EQ(form.value("MaxNumber"), 10);
  EXPECT_EQ(form.text("Infomation"), "Veltraco");
  EXPECT_EQ(form.text("password"), "47120385");
  EXPECT_EQ(form.text("SysCallNum"), "*8180");
  EXPECT_EQ(form.at("SysCallNum").maxLength, 20);

  // Counters and timers: value, bounds and step as "还原默认值" restores them.
  struct Spin {
    const char* name;
    int value, min, max, step;
  };
  for (const Spin& s :
       {Spin{"TA", 60, 10, 120, 10}, Spin{"TJ", 20, 0, 60, 10}, Spin{"NT", 1, 1, 12, 1},
        Spin{"NE", 16, 0, 31, 1}, Spin{"NPOFF", 1, 0, 7, 1}}) {
    const Control& c = form.at(s.name);
    EXPECT_EQ(c.numericValue(), s.value) << s.name;
    EXPECT_EQ(std::tie(c.min, c.max, c.step), std::tie(s.min, s.max, s.step)) << s.name;
    EXPECT_EQ(captionOf(form, s.name)->caption, s.name);
  }
  EXPECT_EQ(captionOf(form, "NW")->hint, "在工作开始时的WAIT值");
  // Every declared counter is in its group box as declared, and nothing else is there.
  for (const CounterDef& d : kCounters) {
    const Control& c = form.at(d.name);
    EXPECT_EQ(c.parent, d.group == CounterGroup::Timers ? "GroupBox3" : "GroupBox2") << d.name;
    EXPECT_EQ(std::tie(c.min, c.max, c.step), std::tie(d.min, d.max, d.step)) << d.name;
    EXPECT_EQ(c.numericValue(), d.start) << d.name;
    EXPECT_EQ(captionOf(form, d.name)->hint, d.hint) << d.name;
  }
  EXPECT_EQ(form.children("GroupBox2").size() + form.children("GroupBox3").size(),
            2u * kCounters.size() + 1u);  // label and field each, and the restore button

  EXPECT_EQ(form.text("CurrentChannelNum"), "001");
  EXPECT_EQ(form.text("FreqInc"), "2000");
  EXPECT_EQ(form.value("VR3"), 7);
  EXPECT_EQ(form.at("VR4").max, 7);
  EXPECT_EQ(form.at("VR4Bar").max, 7);
  EXPECT_EQ(form.text("VRPP0"), "0");
  EXPECT_EQ(form.text("ThriceFreq"), "1053075");
  EXPECT_EQ(form.text("FirstMF"), "021400");
}

TEST(Layouts, RadioFamiliesStandAloneWithTheirStartChoice) {
  const Form form(mainWindow());
  const std::vector<std::pair<std::vector<std::string>, std::string>> families = {
      {{"ChannelSpace1", "ChannelSpace2"}, "ChannelSpace2"},
      {{"Standard", "Enhance"}, "Standard"},
      {{"National", "Regional"}, "National"},
      {{"MPT1343", "CPSX"}, "MPT1343"},
      {{"baudrate1", "baudrate2"}, "baudrate1"},
      {{"Type1", "Type2", "Type3"}, ""},
      {{"CompressOpen", "CompressClose"}, "CompressClose"},
  };
  for (const auto& [members, chosen] : families) {
    const std::string& parent = form.at(members.front()).parent;
    std::vector<std::string> siblings;
    for (const Control* c : form.children(parent))
      if (c->kind == ControlKind::RadioButton) siblings.push_back(c->name);
    EXPECT_EQ(siblings, members);
    EXPECT_EQ(form.checkedRadio(parent), chosen);
  }
  const Form ports(layouts::comSetForm());
  EXPECT_EQ(ports.checkedRadio(ports.at("Com1").parent), "Com2");
  EXPECT_EQ(ports.children(ports.at("Com1").parent).size(), 4u);
  // The write's two options start unticked; every showing of the dialog sets them from Com.ini.
  for (const char* option : {"BackupBeforeWrite", "VerifyAfterWrite"}) {
    EXPECT_EQ(ports.at(option).parent, "WriteSafe_Fram");
    EXPECT_FALSE(ports.checked(option));
  }
}

TEST(Layouts, HiddenAndDisabledAtStart) {
  const Form form(mainWindow());
  for (const char* name : {"OldVersion", "Talk", "TalkLab1", "TalkLab2", "TalkIndivol", "TalkGrp",
                           "Transcode", "PTTname", "Dead"})
    EXPECT_FALSE(form.at(name).visible) << name;
  EXPECT_FALSE(form.at("Dead").enabled);
  for (const char* name : {"MPT1343_Dyna", "Block", "MaxUnit", "TestFram"})
    EXPECT_FALSE(form.at(name).enabled) << name;
  EXPECT_EQ(form.text("TalkIndivol"), "32688888");
  EXPECT_FALSE(form.checked("Transcode"));
  EXPECT_EQ(form.at("DynaLab").fontColor, colors::Grey);
  EXPECT_EQ(form.at("MaxUnitLab").fontColor, colors::Grey);
  EXPECT_EQ(form.at("MaxIndivolLab").fontColor, colors::Navy);

  const Form simplex(layouts::simplexSet());
  for (int n = 9; n <= 20; ++n) {
    EXPECT_EQ(simplex.at("S" + std::to_string(n) + "RxFreq").enabled, n != 20);
    EXPECT_EQ(simplex.at("S" + std::to_string(n) + "TxFreq").enabled, n != 20);
    EXPECT_EQ(simplex.text("S" + std::to_string(n) + "TxFreq"), "0000000");
  }
  const Form groups(layouts::otherGrpSet());
  EXPECT_FALSE(groups.at("WaitGrpPage1").visible);
  EXPECT_FALSE(groups.at("WaitGrpPage2").visible);
  EXPECT_FALSE(groups.at("MoreGrpEnable").checked);
}

// Enabled input fields wear the page's light colour, disabled ones the button face.
TEST(Layouts, InputColoursFollowThePageAndTheEnabledState) {
  const Form form(mainWindow());
  const std::map<std::string, Color> light = {{"NormalSet", colors::InputLight},
                                              {"UserInfo", colors::UserInput},
                                              {"Appendix", colors::InputLight}};
  int checkedFields = 0;
  for (const Control& c : form.controls()) {
    if (c.kind != ControlKind::Edit && c.kind != ControlKind::ComboBox &&
        c.kind != ControlKind::SpinEdit)
      continue;
    const auto page = light.find(form.pageOf(c.name)->name);
    if (page == light.end()) continue;
    EXPECT_EQ(c.color, c.enabled ? page->second : colors::ButtonFace) << c.name;
    ++checkedFields;
  }
  EXPECT_GT(checkedFields, 150);
}

TEST(Layouts, MenuSwitchesStartAsLaidOutWithTheirCompanions) {
  const Form form(mainWindow());
  const std::map<std::string, std::string> companions = {{"Led_Choose", "LedBox"},
                                                         {"Power_Mod", "PowerBox"},
                                                         {"Vib_Choose", "VibBox"},
                                                         {"Recall", "RecallBox"},
                                                         {"Tone_Trans", ""},
                                                         {"SQ_Mod", "SQBar"},
                                                         {"Volum_Mod", ""},
                                                         {"Phone_Book", ""},
                                                         {"AutoPower", "AutoPBox"},
                                                         {"InRing_Choose", "InRingBox"},
                                                         {"GrRing_Choose", "GrRingBox"},
                                                         {"Scram_Choose", "ScramBox"},
                                                         {"RingType", "RingTypeBox"},
                                                         {"Key_Volum", "KeyVolumBar"},
                                                         {"Ring_Volum", "RingVolumBar"},
                                                         {"Normal_Choose", ""},
                                                         {"Control_Choose", ""}};
  for (const auto& [name, companion] : companions) {
    const Control& sw = form.at(name);
    EXPECT_EQ(sw.kind, ControlKind::CheckBox);
    EXPECT_EQ(form.pageOf(name)->name, "Appendix");
    EXPECT_EQ(sw.checked, name == "Volum_Mod" || name == "Normal_Choose") << name;
    EXPECT_EQ(sw.fontColor, sw.checked ? colors::Purple : colors::Grey) << name;
    if (!companion.empty()) {
      EXPECT_EQ(form.at(companion).enabled, sw.checked) << companion;
    }
  }
  const auto& rings = form.at("RingTypeBox").items;
  ASSERT_EQ(rings.size(), 16u);
  EXPECT_EQ(rings[9], "铃声十");
  EXPECT_EQ(rings[15], "铃声十六");
  EXPECT_EQ(form.text("RecallBox"), "回叫功能无效");
  EXPECT_EQ(form.value("SQBar"), 4);
  EXPECT_EQ(form.at("SQBar").max, 16);
  EXPECT_EQ(form.value("RingVolumBar"), 9);
  for (const char* preset : {"Often_OK", "All_NO", "All_OK"})
    EXPECT_EQ(form.at(preset).fontColor, colors::Navy);
}

TEST(Layouts, DialogFieldFamilies) {
  const Form labels(layouts::sysLableform());
  for (int k = 1; k <= 40; ++k) {
    const Control& route = labels.at(nth("SysLabNum", 2 * k - 1));
    const Control& system = labels.at(nth("SysLabNum", 2 * k));
    EXPECT_EQ(route.cell.row, system.cell.row) << k;
    EXPECT_EQ(route.cell.col + 1, system.cell.col) << k;
    // Column pair c holds pairs 10c+1..10c+10; an empty column keeps the pairs' headings apart.
    EXPECT_EQ(route.cell.col, 3 * ((k - 1) / 10)) << k;
    EXPECT_EQ(route.text, "000");
    EXPECT_EQ(system.maxLength, 3);
  }
  const Form groups(layouts::otherGrpSet());
  for (int n = 1; n <= 48; ++n) {
    const std::string page = groups.pageOf(nth("OtherGrp", n))->name;
    EXPECT_EQ(page, n <= 8 ? "HideGrpPage" : n <= 28 ? "WaitGrpPage1" : "WaitGrpPage2") << n;
  }
  EXPECT_EQ(captionOf(groups, "OtherGrp8")->caption, "隐含组八");
  EXPECT_EQ(captionOf(groups, "OtherGrp48")->caption, "48");
  EXPECT_EQ(groups.at("electcode2").maxLength, 5);

  const Form password(layouts::passwordForm());
  EXPECT_EQ(password.at("PassWords").passwordChar, '*');
  EXPECT_TRUE(password.at("Ok_Button").isDefault);
  EXPECT_TRUE(password.at("Cancel_Button").isCancel);
  const Form warning(layouts::error1Form());
  EXPECT_EQ(warning.at("WarnLab1").caption, "最小值为");
  EXPECT_EQ(warning.at("WarnLab2").caption, "1");
  const Form progress(layouts::writeDataForm());
  EXPECT_EQ(progress.at("WriteProgressBar").max, 100);
  EXPECT_EQ(progress.at("Percent").text, "0");
}

}  // namespace
}  // namespace rcp::ui
