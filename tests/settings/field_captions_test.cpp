#include "settings/field_captions.hpp"

#include <gtest/gtest.h>

#include <map>
#include <string>

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

}  // namespace
}  // namespace rcp::settings
