#include "settings/field_captions.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

#include "settings/field_table.hpp"
#include "support/test_program.hpp"

namespace rcp::settings {
namespace {

// A box with a label of its own is named by it; the others as the window shows their place.
TEST(FieldCaptions, FieldsAreNamedAsTheWindowsShowThem) {
  test::TestProgram app;
  const std::map<std::string, std::string> expected = {
      {"IndivolStart", "个呼范围"},
      {"IndivolStop", "个呼范围"},
      {"GrpStop", "组呼范围"},
      {"TalkGrp", "对讲组呼号"},
      {"StartUp-Password", "启动密码"},
      {"ZoneData", "省级码"},
      {"AreaData12", "漫游系统码12地区码"},
      {"SecondRxFreq", "第二段接收频率"},
      {"SearchStopChannel", "控制信道搜索范围"},
      {"Hunt07", "控制信道7"},
      {"Simplex1", "脱网信道1"},
      {"Simplex10TxFreq", "脱网频率10发射频率"},
      {"Group8", "组呼号8"},
      {"HideGroup8", "隐含组八"},
      {"WaitGroup40", "守候组48"},
      {"SmallBlock", "三级队的最高段号"},
      {"对应系统号40", "对应系统号40"},
  };
  for (const auto& [field, caption] : expected)
    EXPECT_EQ(fieldCaption(app.state(), field), caption) << field;
}

// The path leads from the tab to the box; dialog fields go through the button that opens them.
TEST(FieldCaptions, PathsGoFromTheTabToTheBox) {
  test::TestProgram app;
  const std::map<std::string, std::string> expected = {
      {"TA", "用户信息 › 时间常数 › TA"},
      {"SecondStop", "基本设置 › 信道设置 › 第二段终止"},
      {"SearchWay", "基本设置 › 信道设置 › 控制信道搜索方式"},
      {"ChannelSpace", "基本设置 › 信道设置 › 12.5KHz/25KHz"},
      {"IncludeCall", "用户信息 › 权限设置 › 包容呼叫"},
      {"LargeBlock", "用户信息 › MPT1343 › 一级队的最高段号"},
      {"语音加密选择菜单", "附加功能 › 中文菜单及其它功能 › 语音加密选择"},
      {"WaitGroup3", "用户信息 › MPT1343 › 更多组及隐含组 › 守候组11"},
      {"Simplex9RxFreq", "基本设置 › 脱网信道 › 脱网频率设置 › 脱网频率09接收频率"},
      {"对应系统号6", "基本设置 › 信道设置 › 无线局向号列表框 › 对应系统号6"},
      {"MenuPreset", "MenuPreset"},
  };
  for (const auto& [field, path] : expected) EXPECT_EQ(fieldPath(app.state(), field), path);
}

}  // namespace
}  // namespace rcp::settings
